// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RULES_H
#define RULES_H

#include "platform/rounding.h"

#include <QString>

#include <array>

namespace Platform {
class RandomSource;
}

// Rules of the game that need no screen. The windows call them; the tests
// drive them with scripted random draws.
namespace Rules {

// Nearest integer, a tie going to the even one (2.5 gives 2, 3.5 gives 4),
// the rounding every computed value gets when it is stored, a position in
// pixels included.
using Rounding::roundHalfEven;

// Int(n * r): a zero-based pick of one of n items, 0..n-1.
int drawIndex(Platform::RandomSource &random, int n);
// Int(r * n + 1): a one-based pick of one of n items, 1..n.
int drawOneOf(Platform::RandomSource &random, int n);

// Shuffles the four answers of a record by rejection: four positions 1..4
// are drawn, one draw each, and drawn again while any two are equal. The
// result says which answer (1 = the correct one) goes on buttons A..D.
std::array<int, 4> shuffleAnswers(Platform::RandomSource &random);
// Rounds the shuffle draws before it gives up on a generator that never
// yields four distinct positions (a real one needs about eleven).
inline constexpr int MaxShuffleRounds = 10000;

// "A.   " .. "D.   ": the five-character prefix of answer button 0..3.
QString answerPrefix(int button);
QString answerCaption(int button, const QString &answer);

// The verdict: the caption is exactly a prefix followed by the correct
// answer; case and blanks count.
bool isRightAnswer(const QString &caption, const QString &correctAnswer);

// The lifelines' answer test: the caption contains the correct answer text.
bool holdsCorrectAnswer(const QString &caption, const QString &correctAnswer);

} // namespace Rules

#endif
