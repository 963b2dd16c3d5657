// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/rules.h"

#include "platform/platform.h"

#include <algorithm>
#include <cmath>

namespace Rules {

int drawIndex(Platform::RandomSource &random, int n)
{
    const double r = random.next();
    // Clamp guards against a product that rounds up to n for r just below 1.
    return std::clamp(static_cast<int>(std::floor(r * n)), 0, n - 1);
}

int drawOneOf(Platform::RandomSource &random, int n)
{
    return drawIndex(random, n) + 1;
}

std::array<int, 4> shuffleAnswers(Platform::RandomSource &random)
{
    for (int round = 0; round < MaxShuffleRounds; ++round) {
        std::array<int, 4> p{};
        for (int &position : p)
            position = drawOneOf(random, 4);
        if (p[0] != p[1] && p[0] != p[2] && p[0] != p[3] && p[1] != p[2] && p[1] != p[3] && p[2] != p[3])
            return p;
    }
    // Only a broken generator gets here; the answers keep the file order.
    return {1, 2, 3, 4};
}

QString answerPrefix(int button)
{
    return QString(QChar(u'A' + button)) + QStringLiteral(".   ");
}

QString answerCaption(int button, const QString &answer)
{
    return answerPrefix(button) + answer;
}

bool isRightAnswer(const QString &caption, const QString &correctAnswer)
{
    constexpr qsizetype PrefixLength = 5;
    return caption.size() == correctAnswer.size() + PrefixLength
        && QStringView(caption).sliced(PrefixLength) == correctAnswer;
}

bool holdsCorrectAnswer(const QString &caption, const QString &correctAnswer)
{
    return caption.contains(correctAnswer, Qt::CaseSensitive);
}

} // namespace Rules
