// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MODULE1_H
#define MODULE1_H

#include <QString>

#include <array>
#include <cstdint>

// The state of the one game a run plays. Every window reads and writes the
// single instance `Module1` directly. Index 0 of every array is never used,
// so that record, answer and line numbers read as they are counted in the
// content files (1-based).
struct GameState
{
    // Number of the question on screen (1..15); 16 once the fifteenth
    // question was answered right. Advanced when an answer is clicked, so
    // during a verdict it already names the next question.
    std::uint8_t Level = 0;
    // Which of the ten records of the level file is on screen (1..10).
    std::int16_t QuestionIndex = 0;
    // Answer button the player clicked: 1 = A .. 4 = D.
    std::uint8_t ChosenAnswer = 0;
    // The correct answer of the question on screen, without its prefix.
    QString CorrectAnswer;

    std::array<QString, 11> QuestionTexts;
    // AnswerTexts[record][1] is the correct answer, [2..4] the wrong ones.
    std::array<std::array<QString, 5>, 11> AnswerTexts;

    std::array<QString, 17> IntrigueLines;
    std::array<QString, 12> RightLines;
    std::array<QString, 8> WrongLines;

    // Verdict on the last clicked answer: 1 right, 0 wrong.
    std::int16_t AnswerWasRight = 0;

    // Lifeline flags: 0 unused, -1 used.
    std::int16_t FiftyFiftyUsed = 0;
    std::int16_t PhoneUsed = 0;
    std::int16_t AudienceUsed = 0;
};

extern GameState Module1;

// Flag values of the lifelines.
inline constexpr std::int16_t FlagClear = 0;
inline constexpr std::int16_t FlagSet = -1;

#endif
