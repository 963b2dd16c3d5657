// SPDX-License-Identifier: GPL-3.0-or-later
#include "title/linklooks.h"

namespace LinkLooks {

Look designed()
{
    return {false, QColor(255, 255, 192)};
}

Look normal()
{
    return {false, QColor(255, 255, 128)};
}

Look highlighted()
{
    return {true, QColor(0, 130, 255)};
}

} // namespace LinkLooks
