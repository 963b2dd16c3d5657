// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ACCESS_H
#define ACCESS_H

#include <QString>

#include <array>

// What the game screen tells a screen reader and which keys answer: small
// pure functions that the windows call.
namespace Access {

// The question as the focus holder reads it out: its number, its stake and
// its text, as in "2 вопрос на 200 рублей: Столица Франции?". `stake` is the
// ladder caption of the level; sums are read without the dots between
// thousands, which a speech synthesiser would read out.
QString questionReadout(int level, const QString &stake, const QString &question);

// The answers as the focus holder describes them, each caption in its button
// order, then what the player has won so far (`won`, a ladder caption or
// "0"). A button that fifty-fifty took away (`enabled` false) is left out
// and named as removed.
QString answersReadout(const std::array<QString, 4> &captions, const std::array<bool, 4> &enabled, const QString &won);

// What fifty-fifty says it did: "Убраны ответы B и D".
QString removedAnswers(const std::array<bool, 4> &enabled);

// What a ladder label adds to its sum: whether it is the question being
// played and whether its sum is kept after a wrong answer; empty otherwise.
QString ladderDescription(int level, int currentLevel);

// The answer (0..3 for A..D) that an Alt chord with the key `key` clicks,
// by the letter printed on the button: the Latin A, B, C, D or the Cyrillic
// letters that look the same, А, В, С, and Д (which stands for D). -1 for
// any other key.
int answerForAltKey(int key);

// Whether `key` is a letter of either alphabet: with Alt, such a chord must
// never reach an answer by another letter.
bool isLetterKey(int key);

} // namespace Access

#endif
