#pragma once
// One running copy per installation: a second copy would empty the first copy's
// lists at its start. The lock is an flock on a file beside the list database, so
// it goes away with the process however that ends.
#include <memory>
#include <string>

#include "platform/config.h"

namespace velk {

// A shared installation's directory lets its group write and passes its group on (as
// velk-setup makes it): a file a run makes there is given group write, so the next
// user of the group can open the lists and the lock. Elsewhere, or for a file of
// another owner, nothing changes.
void ShareWithGroup(const std::string& file);

class InstallLock {
public:
    ~InstallLock();
    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;

    // Takes the lock on lockFile (created when missing; where it cannot be made, the
    // directory itself is locked). nullptr when another copy holds it, with the text
    // to show in *message. A file system without locks lets the program run unlocked.
    static std::unique_ptr<InstallLock> acquire(const std::string& lockFile, std::string* message);
    // The lock of the installation in config.AppDir that guards its list database.
    static std::unique_ptr<InstallLock> acquire(const Config& config, std::string* message);
    static std::string LockFileName(const Config& config);  // "VELKWp.mdb.lock"
    // The text a refused second copy shows.
    static std::string BusyMessage(const std::string& appDir);

    bool held() const { return fd_ >= 0; }

    // The mark of a run under way, kept in the lock file: set once a run has taken
    // over the lists, cleared when it ends in order. A run that crashed or was killed
    // leaves it for the next start to find.
    bool previousRunUnfinished() const { return unfinished_; }
    void markRunning();
    void markEnded();

private:
    explicit InstallLock(int fd);
    void writeMark(const char* text);
    int fd_ = -1;
    bool unfinished_ = false;
};

}  // namespace velk
