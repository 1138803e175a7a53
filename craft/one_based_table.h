#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "library/byte_order.h"

namespace vexlor {

// A table of unsigned 16-bit entries numbered from 1, as the game numbers its craft and SHIP
// slots, so that callers index it with those numbers as they are. Entries are stored in the file
// as consecutive little-endian values, entry 1 first.
template <std::size_t N>
struct OneBasedTable {
    static constexpr int kCount = static_cast<int>(N);
    static constexpr std::size_t kBytes = 2 * N;

    std::array<std::uint16_t, N> entries{};

    // `number` must lie in 1..kCount.
    std::uint16_t& operator[](int number) { return entries[static_cast<std::size_t>(number - 1)]; }
    std::uint16_t operator[](int number) const {
        return entries[static_cast<std::size_t>(number - 1)];
    }

    static constexpr bool Holds(int number) { return number >= 1 && number <= kCount; }

    void Decode(const std::uint8_t* bytes) {
        for (std::size_t i = 0; i < N; ++i) {
            entries[i] = GetU16(bytes + 2 * i);
        }
    }

    std::array<std::uint8_t, kBytes> Encode() const {
        std::array<std::uint8_t, kBytes> bytes{};
        for (std::size_t i = 0; i < N; ++i) {
            PutU16(&bytes[2 * i], entries[i]);
        }
        return bytes;
    }

    bool operator==(const OneBasedTable&) const = default;
};

}  // namespace vexlor
