#pragma once
// What every target needs: a private scratch directory for the parsers that read files,
// and an App whose ports answer without a screen.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/app.h"

namespace velk::fuzz {

// This process's scratch directory (in /dev/shm when it exists), emptied at exit.
const std::filesystem::path& ScratchDir();
// Writes the bytes to a file under the scratch directory and returns its path.
std::filesystem::path WriteScratch(const std::string& relative, std::string_view bytes);

// Ports that never block: messages answer Cancel/No, prompts cancel, the disk is roomy.
struct QuietApp {
    QuietApp();
    App app;
};

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Splits the input at the first occurrence of the separator: a key and a file, say.
inline std::pair<std::string_view, std::string_view> SplitInput(std::string_view in, std::string_view sep = "\n") {
    auto at = in.find(sep);
    if (at == std::string_view::npos) return {{}, in};
    return {in.substr(0, at), in.substr(at + sep.size())};
}

}  // namespace velk::fuzz
