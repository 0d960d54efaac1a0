#pragma once
// One entry per parser. Under libFuzzer a target is the program's LLVMFuzzerTestOneInput;
// in the ordinary build every target registers itself so a test can replay the corpus.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velk::fuzz {

using TargetFn = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    std::string name;
    TargetFn fn;
};

std::vector<Target>& Targets();

struct Registrar {
    Registrar(const char* name, TargetFn fn) { Targets().push_back({name, fn}); }
};

}  // namespace velk::fuzz

#ifdef VELK_LIBFUZZER
#define VELK_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
#else
#define VELK_FUZZ_TARGET(name)                                                \
    static int name##_input(const std::uint8_t* data, std::size_t size);       \
    static const velk::fuzz::Registrar name##_registrar(#name, name##_input);  \
    static int name##_input(const std::uint8_t* data, std::size_t size)
#endif
