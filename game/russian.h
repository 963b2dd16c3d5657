// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUSSIAN_H
#define RUSSIAN_H

#include <QString>

// "1 строка", "3 строки", "11 строк": a number with the noun form Russian
// grammar gives it.
inline QString countedInRussian(qsizetype n, const char *one, const char *few, const char *many)
{
    const qsizetype lastTwo = n % 100;
    const qsizetype last = n % 10;
    const char *word = many;
    if (lastTwo < 11 || lastTwo > 14) {
        if (last == 1)
            word = one;
        else if (last >= 2 && last <= 4)
            word = few;
    }
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(word);
}

#endif
