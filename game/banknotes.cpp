// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/banknotes.h"

#include "game/rules.h"
#include "platform/platform.h"

namespace Banknotes {

using Rules::roundHalfEven;

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
