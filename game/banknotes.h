// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BANKNOTES_H
#define BANKNOTES_H

#include <cstdint>

namespace Platform {
class RandomSource;
}

// The falling banknotes of the victory window, without the window: where a
// note is placed, how fast it falls and when it has left the window. All
// lengths are twips.
namespace Banknotes {

// Where one note stands and how far it falls on each tick.
struct Note
{
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint8_t speed = 0;
};

// A new random place and speed, from three draws in this order: left edge
// anywhere the whole note fits across the area; top edge from one note
// height above the area down to one note height above its bottom (the
// height is taken off after scaling the draw); speed 10..40.
Note place(Platform::RandomSource &random, int areaWidth, int areaHeight, int noteWidth, int noteHeight);

// One tick of the fall: the note moves down by its speed. True when its top
// is then below the bottom of the area (strictly), so that it must be
// placed again; a top exactly on the bottom edge falls once more first.
bool fall(Note &note, int areaHeight);

} // namespace Banknotes

#endif
