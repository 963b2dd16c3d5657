// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/access.h"

#include "game/ladder.h"

#include <QStringList>
#include <QtCore/qnamespace.h>

namespace Access {

namespace {

const std::array<QChar, 4> Letters = {u'A', u'B', u'C', u'D'};

// A sum as a speech synthesiser reads it as a number: "1.000.000" read
// aloud would be one, point, zero...
QString spokenSum(QString caption)
{
    return caption.remove(u'.');
}

} // namespace

QString questionReadout(int level, const QString &stake, const QString &question)
{
    return QString::number(level) + QStringLiteral(" вопрос на ") + spokenSum(stake) + QStringLiteral(" рублей: ") + question;
}

QString answersReadout(const std::array<QString, 4> &captions, const std::array<bool, 4> &enabled, const QString &won)
{
    QStringList answers;
    for (int i = 0; i < 4; ++i)
        if (enabled[i])
            answers << captions[i];
    QString text = answers.join(QStringLiteral("; ")) + QStringLiteral(".");
    if (const QString removed = removedAnswers(enabled); !removed.isEmpty())
        text += u' ' + removed + u'.';
    return text + QStringLiteral(" Выигрыш: ") + spokenSum(won) + QStringLiteral(" рублей.");
}

QString removedAnswers(const std::array<bool, 4> &enabled)
{
    QStringList letters;
    for (int i = 0; i < 4; ++i)
        if (!enabled[i])
            letters << Letters[i];
    if (letters.isEmpty())
        return {};
    if (letters.size() == 1)
        return QStringLiteral("Убран ответ ") + letters.first();
    const QString last = letters.takeLast();
    return QStringLiteral("Убраны ответы ") + letters.join(QStringLiteral(", ")) + QStringLiteral(" и ") + last;
}

QString ladderDescription(int level, int currentLevel)
{
    QStringList parts;
    if (level == currentLevel)
        parts << QStringLiteral("текущий вопрос");
    if (Ladder::isGuaranteed(level))
        parts << QStringLiteral("несгораемая сумма");
    return parts.join(QStringLiteral(", "));
}

int answerForAltKey(int key)
{
    switch (key) {
    case Qt::Key_A:
    case 0x0410: // А
        return 0;
    case Qt::Key_B:
    case 0x0412: // В
        return 1;
    case Qt::Key_C:
    case 0x0421: // С
        return 2;
    case Qt::Key_D:
    case 0x0414: // Д
        return 3;
    default:
        return -1;
    }
}

bool isLetterKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return true;
    // Qt gives a Cyrillic letter key as its capital letter, Ё included.
    return (key >= 0x0410 && key <= 0x042F) || key == 0x0401;
}

} // namespace Access
