#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "fuzz/fuzz_target.h"

namespace velk::fuzz {

std::vector<Target>& Targets() {
    static std::vector<Target> targets;
    return targets;
}

namespace {

struct Scratch {
    std::filesystem::path dir;
    Scratch() {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
        dir = base / ("velk-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir, ec);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

class QuietMessages : public Messages {
public:
    Answer show(const std::string&, const std::string&, Buttons buttons, Icon) override {
        switch (buttons) {
        case Buttons::OK: return Answer::OK;
        case Buttons::YesNo: return Answer::No;
        case Buttons::AbortRetryIgnore: return Answer::Abort;
        default: return Answer::Cancel;
        }
    }
};
class QuietPrompt : public Prompt {
public:
    int ask(const std::string&, int) override { return static_cast<int>(Answer::Cancel); }
};
class QuietPump : public EventPump {
public:
    void DoEvents() override {}
};
class RoomyDisk : public DiskSpace {
public:
    std::optional<std::uint64_t> freeBytes(const std::string&) override { return std::uint64_t{1} << 40; }
};

}  // namespace

const std::filesystem::path& ScratchDir() {
    static Scratch scratch;
    return scratch.dir;
}

std::filesystem::path WriteScratch(const std::string& relative, std::string_view bytes) {
    const std::filesystem::path path = ScratchDir() / relative;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

QuietApp::QuietApp() {
    static QuietMessages messages;
    static QuietPrompt prompt;
    static QuietPump pump;
    static RoomyDisk disk;
    app.ports.messages = &messages;
    app.ports.prompt = &prompt;
    app.ports.pump = &pump;
    app.ports.disk = &disk;
    app.config.AppDir = ScratchDir().string();
    app.config.CollectionMode = kModePatents;
}

}  // namespace velk::fuzz
