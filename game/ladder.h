// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LADDER_H
#define LADDER_H

#include <QString>

// The prize ladder: fifteen levels from "100" to "1.000.000" roubles.
namespace Ladder {

inline constexpr int Levels = 15;
inline constexpr int TopPrizeLevel = Levels + 1; // Level after the fifteenth right answer

// Caption of the ladder label of a level (1..15), dots between thousands.
QString caption(int level);

// Levels 5, 10 and 15 keep a guaranteed sum and are shown in yellow.
bool isGuaranteed(int level);

// Top edge of the ladder label of a level, in twips: 240 between
// neighbours, 360 on both sides of a guaranteed level.
int topTwips(int level);

// The sum, in plain digits, that a player keeps after answering question n
// (1..15) wrongly.
QString sumAfterWrongAnswer(int question);

} // namespace Ladder

#endif
