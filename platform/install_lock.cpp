#include "platform/install_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace velk {

namespace {
constexpr char kRunning[] = "running\n";
}

InstallLock::InstallLock(int fd) : fd_(fd) {
    char head[sizeof kRunning - 1] = {};
    // A locked directory (read-only installation) reads nothing and keeps no mark.
    unfinished_ = fd_ >= 0 && ::pread(fd_, head, sizeof head, 0) == ssize_t(sizeof head) &&
                  std::string_view(head, sizeof head) == std::string_view(kRunning, sizeof head);
}

void InstallLock::writeMark(const char* text) {
    if (fd_ < 0) return;
    const std::size_t size = std::strlen(text);
    // Synced, so a power cut finds the mark as the run left it.
    if (::ftruncate(fd_, 0) == 0 && ::pwrite(fd_, text, size, 0) == ssize_t(size)) (void)::fdatasync(fd_);
}

void InstallLock::markRunning() {
    writeMark(kRunning);
}

void InstallLock::markEnded() {
    writeMark("");
}

InstallLock::~InstallLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the flock
}

std::string InstallLock::BusyMessage(const std::string& appDir) {
    return "Another copy of Velk is already running on this installation (" + appDir +
           "). Close it before starting a new one.";
}

std::string InstallLock::LockFileName(const Config& config) {
    std::string db = config.listDatabaseName();
    if (!db.empty() && db.front() == '\\') db.erase(0, 1);
    return db + ".lock";
}

std::unique_ptr<InstallLock> InstallLock::acquire(const Config& config, std::string* message) {
    std::string path = (std::filesystem::path(config.AppDir) / LockFileName(config)).string();
    auto lock = acquire(path, message);
    if (!lock && message) *message = BusyMessage(config.AppDir);
    return lock;
}

void ShareWithGroup(const std::string& file) {
    const std::string dir = std::filesystem::path(file).parent_path().string();
    struct stat d = {};
    struct stat f = {};
    if (::stat(dir.empty() ? "." : dir.c_str(), &d) != 0 ||
        (d.st_mode & (S_ISGID | S_IWGRP)) != (S_ISGID | S_IWGRP))
        return;
    if (::stat(file.c_str(), &f) == 0 && f.st_uid == ::geteuid() && !(f.st_mode & S_IWGRP))
        (void)::chmod(file.c_str(), (f.st_mode & 07777) | S_IWGRP);
}

std::unique_ptr<InstallLock> InstallLock::acquire(const std::string& lockFile, std::string* message) {
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) ShareWithGroup(lockFile);
    if (fd < 0) fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // A read-only installation directory: lock the directory instead.
        std::string dir = std::filesystem::path(lockFile).parent_path().string();
        fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) return std::unique_ptr<InstallLock>(new InstallLock(-1));
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) {
            if (message) *message = BusyMessage(std::filesystem::path(lockFile).parent_path().string());
            return nullptr;
        }
        return std::unique_ptr<InstallLock>(new InstallLock(-1));  // no locking here (ENOLCK)
    }
    return std::unique_ptr<InstallLock>(new InstallLock(fd));
}

}  // namespace velk
