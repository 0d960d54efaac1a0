#pragma once
// Moving 1-bit rows between Leptonica's layout (pixels from the most significant bit of
// native 32-bit words, 1 = black) and byte streams (most significant bit first).
#include <allheaders.h>

#include <bit>
#include <cstdint>
#include <cstring>

namespace velk::pixbits {

inline std::uint8_t RowByte(const l_uint32* line, int byteIndex) {
    return static_cast<std::uint8_t>(line[byteIndex >> 2] >> (24 - 8 * (byteIndex & 3)));
}

// The first `count` bytes of a row as a byte stream.
inline void RowToBytes(const l_uint32* line, int count, std::uint8_t* out) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {  // a word at a time: this is on every row of every export
        std::uint32_t w = line[i >> 2];
        if constexpr (std::endian::native == std::endian::little) w = __builtin_bswap32(w);
        std::memcpy(out + i, &w, 4);
    }
    for (; i < count; ++i) out[i] = RowByte(line, i);
}

// Fills a row from `count` bytes of a byte stream; the rest of its words become 0.
inline void BytesToRow(const std::uint8_t* in, int count, l_uint32* line, int wpl) {
    std::memset(line, 0, static_cast<std::size_t>(wpl) * 4);
    for (int i = 0; i < count; ++i) line[i >> 2] |= static_cast<l_uint32>(in[i]) << (24 - 8 * (i & 3));
}

inline bool Bit(const l_uint32* line, int x) {
    return (line[x >> 5] >> (31 - (x & 31))) & 1u;
}

}  // namespace velk::pixbits
