// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ROUNDING_H
#define ROUNDING_H

#include <cmath>

namespace Rounding {

// The nearest whole number, a tie going to the even one (2.5 gives 2, 3.5
// gives 4).
inline double roundHalfEven(double value)
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

} // namespace Rounding

#endif
