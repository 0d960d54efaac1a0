#pragma once
// What this process has read from files so far, as the kernel counts it: for tests and
// benchmarks of how much a page costs to fetch.
#include <cstdint>
#include <fstream>
#include <string>

namespace velk::test {

// Bytes read through read() and its kin since the process started; 0 where unknown.
inline std::uint64_t BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

}  // namespace velk::test
