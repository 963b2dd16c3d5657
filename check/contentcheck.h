// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CONTENTCHECK_H
#define CONTENTCHECK_H

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Checks a data folder the way the game reads it, and reports by file and
// line what the game cannot play (errors) apart from what only breaks the
// bank's own rules of style (warnings).
namespace ContentCheck {

enum class Severity {
    Error,   // the game ends, shows something other than the text, or a lifeline misbehaves
    Warning, // the game plays it; an editorial rule of the bank is broken
};

struct Problem
{
    QString file; // relative to the data folder: "qa/7.dat"
    int line = 0; // 1-based; 0 for the file as a whole
    Severity severity = Severity::Error;
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

    int count(Severity severity) const;
};

// The bytes of a file the game reads `needed` lines of.
QList<Problem> checkBytes(const QString &file, QByteArrayView bytes, int needed);

// The records of a level file (its first 50 lines).
QList<Problem> checkLevel(const QString &file, const QStringList &lines, const Fits &fits);

// The lines of a host file that the game shows.
QList<Problem> checkHostLines(const QString &file, const QStringList &lines, int shown, const Fits &fits);

// The whole folder: qa/1.dat .. qa/15.dat, the three host files, the
// used-lifeline pictures and their optional 2x twins (gfx/5050d@2x.gif, ...).
Report checkFolder(const QString &dataFolder, const Fits &fits);

// Measures with the game's own windows, fonts and box sizes. Needs a
// running QApplication.
Fits measuredByTheGame();

// "qa/7.dat:12: вопрос 3: …" for one problem.
QString describe(const Problem &problem);

// The errors, then the warnings, each under its heading. Within a group
// each kind of problem shows its first few places in file order and then
// one line with how many more there are; the closing line counts them all.
QString format(const Report &report);
inline constexpr int ShownPlacesPerKind = 5;

// A plain UTF-8 text (any line ends, with or without a byte order mark)
// as a content file: Windows-1251 with CR LF after every line. On failure
// `problems` names the lines that cannot be converted and `bytes` is empty.
struct Conversion
{
    QByteArray bytes;
    int lines = 0;
    QList<Problem> problems;
};
Conversion fromUtf8Text(const QString &file, QByteArrayView utf8);

} // namespace ContentCheck

#endif
