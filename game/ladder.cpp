// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/ladder.h"

#include <array>

namespace Ladder {

namespace {
const std::array<const char *, Levels + 1> Captions = {
    "",      "100",    "200",    "300",     "500",     "1.000",   "2.000",   "4.000",
    "8.000", "16.000", "32.000", "64.000",  "125.000", "250.000", "500.000", "1.000.000",
};
} // namespace

QString caption(int level)
{
    if (level < 1 || level > Levels)
        return {};
    return QString::fromLatin1(Captions[level]);
}

bool isGuaranteed(int level)
{
    return level == 5 || level == 10 || level == 15;
}

int topTwips(int level)
{
    int top = 5340; // level 1
    for (int l = 2; l <= level && l <= Levels; ++l)
        top -= (isGuaranteed(l) || isGuaranteed(l - 1)) ? 360 : 240;
    return top;
}

QString sumAfterWrongAnswer(int question)
{
    if (question <= 5)
        return QStringLiteral("0");
    if (question <= 10)
        return QStringLiteral("1000");
    return QStringLiteral("32000");
}

} // namespace Ladder
