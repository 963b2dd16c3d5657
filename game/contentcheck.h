// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CONTENTCHECK_H
#define CONTENTCHECK_H

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Checks a data folder the way the game reads it, and reports every problem
// a content author must fix, by file and line.
namespace ContentCheck {

struct Problem
{
    QString file; // relative to the data folder: "qa/7.dat"
    int line = 0; // 1-based; 0 for the file as a whole
    QString what;
};

// Whether a text fits where the game shows it: the question label, an
// answer button (caption with its prefix), the verdict banner.
struct Fits
{
    std::function<bool(const QString &)> question;
    std::function<bool(const QString &)> answerCaption;
    std::function<bool(const QString &)> hostLine;
};

struct Report
{
    QList<Problem> problems;
    int filesRead = 0;
    int questions = 0;
    int hostLines = 0;
};

// Bytes that are not Windows-1251 text as the game expects it.
QList<Problem> checkBytes(const QString &file, QByteArrayView bytes);

// The records of a level file (its first 50 lines).
QList<Problem> checkLevel(const QString &file, const QStringList &lines, const Fits &fits);

// The lines of a host file that the game shows.
QList<Problem> checkHostLines(const QString &file, const QStringList &lines, int shown, const Fits &fits);

// The whole folder: qa/1.dat .. qa/15.dat, the three host files, and the
// used-lifeline pictures' optional 2x twins (gfx/5050d@2x.gif, ...).
Report checkFolder(const QString &dataFolder, const Fits &fits);

// Measures with the game's own windows, fonts and box sizes. Needs a
// running QApplication.
Fits measuredByTheGame();

// "qa/7.dat:12: …" lines and a closing summary.
QString format(const Report &report);

} // namespace ContentCheck

#endif
