// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CONTENTFILE_H
#define CONTENTFILE_H

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Reading the game's line-oriented content files: Windows-1251 text whose
// lines end at CR or CR LF. A lone LF is part of the text, the last line
// may lack its line end, and nothing is trimmed.
namespace ContentFile {

// Decodes Windows-1251 bytes and splits them into lines. At most maxLines
// lines are returned (a negative maxLines means all of them); bytes after
// them are not looked at beyond finding the line ends.
QStringList splitLines(QByteArrayView bytes, qsizetype maxLines = -1);

// The reverse of the decoding, for the content check's conversion of an
// author's text (the game itself writes nothing). `failedAt` gets the index
// of the first character that has no Windows-1251 byte, or -1.
QByteArray encodeWindows1251(QStringView text, qsizetype *failedAt);

struct ReadResult
{
    enum Status { Ok, NotFound, Unreadable, TooShort };
    Status status = Ok;
    QStringList lines;      // exactly `needed` lines when status is Ok, else empty
    qsizetype linesFound = 0; // for TooShort: how many lines the file has
};

// Reads the first `needed` lines of a file. Lines after them are ignored.
ReadResult readLines(const QString &path, qsizetype needed);

// A Russian message for the player that names the file and says what is
// wrong with it; empty for a successful read.
QString describeFailure(const QString &path, const ReadResult &result, qsizetype needed);

} // namespace ContentFile

#endif
