// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/banknotes.h"

#include "game/platform.h"

#include <cmath>

namespace Banknotes {

double roundHalfEven(double value)
{
    // Spelled out rather than left to the floating-point rounding mode.
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

Note place(Platform::RandomSource &random, int areaWidth, int areaHeight, int noteWidth, int noteHeight)
{
    Note note;
    note.x = static_cast<std::int16_t>(roundHalfEven(random.next() * (areaWidth - noteWidth)));
    note.y = static_cast<std::int16_t>(roundHalfEven(random.next() * areaHeight - noteHeight));
    note.speed = static_cast<std::uint8_t>(roundHalfEven(random.next() * 30 + 10));
    return note;
}

bool fall(Note &note, int areaHeight)
{
    // The sum stays far inside 16 bits: a note is placed again as soon as
    // its top passes the bottom edge, at most 40 below it.
    note.y = static_cast<std::int16_t>(note.y + note.speed);
    return note.y > areaHeight;
}

} // namespace Banknotes
