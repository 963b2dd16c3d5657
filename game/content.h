// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CONTENT_H
#define CONTENT_H

#include <QString>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

// The game's content readers. They fill the game state from the files in
// the data folder beside the program; a missing or short file is reported
// to the player (over `parent`) and ends the program, and nothing that was
// read before the failure is used.
namespace Content {

inline constexpr int RecordsPerLevel = 10;
inline constexpr int LinesPerRecord = 5;
inline constexpr int IntrigueLineCount = 16;
inline constexpr int RightLineCount = 11;
inline constexpr int WrongLineCount = 7;

// "7.dat" for level 7, and the full paths of the data files.
QString levelFileName(int level);
QString levelFilePath(const QString &fileName);
QString hostFilePath(const QString &fileName);

// Reads intrigue.dat, Right.dat and Wrong.dat, in that order.
void readHostFiles(QWidget *parent);

// Reads a level file ("7.dat") into the question and answer texts.
void readLevelFile(QWidget *parent, const QString &fileName);

} // namespace Content

#endif
