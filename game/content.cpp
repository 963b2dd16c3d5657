// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/content.h"

#include "game/contentfile.h"
#include "game/module1.h"
#include "platform/platform.h"

#include <algorithm>

namespace Content {

namespace {

// Reads the first `count` lines of a file or ends the program.
QStringList readOrDie(QWidget *parent, const QString &path, int count)
{
    ContentFile::ReadResult result = ContentFile::readLines(path, count);
    if (result.status != ContentFile::ReadResult::Ok)
        Platform::fatalError(parent, ContentFile::describeFailure(path, result, count));
    return result.lines;
}

// Line 1 goes to index 1; index 0 stays unused. Lines beyond the array are
// dropped, however many the reader returned.
template<std::size_t N>
void fillFromLine1(std::array<QString, N> &target, const QStringList &lines)
{
    const qsizetype count = std::min(lines.size(), qsizetype(N) - 1);
    for (qsizetype i = 0; i < count; ++i)
        target[std::size_t(i) + 1] = lines[i];
}

} // namespace

QString levelFileName(int level)
{
    return QString::number(level) + QStringLiteral(".dat");
}

QString levelFilePath(const QString &fileName)
{
    return Platform::programPath(QStringLiteral("\\data\\qa\\") + fileName);
}

QString hostFilePath(const QString &fileName)
{
    return Platform::programPath(QStringLiteral("\\data\\host\\") + fileName);
}

void readHostFiles(QWidget *parent)
{
    const QStringList intrigue = readOrDie(parent, hostFilePath(QStringLiteral("intrigue.dat")), IntrigueLineCount);
    const QStringList right = readOrDie(parent, hostFilePath(QStringLiteral("Right.dat")), RightLineCount);
    const QStringList wrong = readOrDie(parent, hostFilePath(QStringLiteral("Wrong.dat")), WrongLineCount);
    fillFromLine1(Module1.IntrigueLines, intrigue);
    fillFromLine1(Module1.RightLines, right);
    fillFromLine1(Module1.WrongLines, wrong);
}

void readLevelFile(QWidget *parent, const QString &fileName)
{
    const QStringList lines = readOrDie(parent, levelFilePath(fileName), RecordsPerLevel * LinesPerRecord);
    for (int record = 1; record <= RecordsPerLevel; ++record) {
        const qsizetype first = (record - 1) * LinesPerRecord;
        Module1.QuestionTexts[record] = lines[first];
        for (int answer = 1; answer <= 4; ++answer)
            Module1.AnswerTexts[record][answer] = lines[first + answer];
    }
}

} // namespace Content
