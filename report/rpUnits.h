// Report units, colours and the one rounding rule of the report engine.
// Positions and sizes are long double report pixels (96 per inch); paper
// sizes and margins are millimetres.
#pragma once

#include <cmath>
#include <cstdint>

using Extended = long double;
using TrpColor = uint32_t;

// Pixels per millimetre: the rounded value, not 96 / 25.4, for every
// millimetre conversion.
inline constexpr Extended rp01cm = 3.77953L;
inline constexpr Extended rp1cm = 37.7953L;
inline constexpr Extended rp01in = 9.6L;
inline constexpr int rp1in = 96;
inline constexpr Extended rp1CharX = 9.6L;
inline constexpr int rp1CharY = 17; // character cell height of character-grid pages

inline constexpr TrpColor clNone = 0x1FFFFFFF;
inline constexpr TrpColor clWhite = 0xFFFFFF;
inline constexpr TrpColor clBlack = 0;

// Float to device integer: nearest, halves to the even neighbour. Used
// wherever a position or size becomes a whole number.
inline int64_t rpRound(Extended Value)
{
    // Values beyond the integer range (from a damaged file, say) saturate
    // instead of overflowing the conversion; NaN counts as 0.
    if (!(Value == Value))
        return 0;
    if (Value >= 9.2e18L)
        return INT64_MAX;
    if (Value <= -9.2e18L)
        return INT64_MIN;
    const Extended floor = std::floor(Value);
    const Extended diff = Value - floor;
    int64_t r = int64_t(floor);
    if (diff > 0.5L || (diff == 0.5L && (r & 1) != 0))
        ++r;
    return r;
}
