#pragma once
// Deterministic pseudo-random numbers: the same seed gives the same installation on
// every machine, so the generator avoids the standard distributions (whose results
// are left to each library).
#include <cstdint>
#include <string_view>

namespace velk::mksample {

// SplitMix64 step: a good 64-bit mix, used both as a stream and as a hash.
inline std::uint64_t Mix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

inline std::uint64_t HashText(std::uint64_t seed, std::string_view s) {
    std::uint64_t h = Mix64(seed);
    for (unsigned char c : s) h = Mix64(h ^ c);
    return h;
}

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(Mix64(seed)) {}
    std::uint64_t next() { return state_ = Mix64(state_); }
    // Uniform enough for sample data in [0, n); n == 0 gives 0.
    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : next() % n; }
    int range(int lo, int hi) {
        return lo + static_cast<int>(below(static_cast<std::uint64_t>(hi - lo + 1)));
    }
    bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }
    template <class Seq>
    const auto& pick(const Seq& s) {
        return s[below(std::size(s))];
    }

private:
    std::uint64_t state_;
};

}  // namespace velk::mksample
