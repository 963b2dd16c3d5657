#include "game/contentfile.h"

#include "game/russian.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace ContentFile {

QStringList splitLines(QByteArrayView bytes, qsizetype maxLines)
{
    QStringList lines;
    QStringDecoder decoder("windows-1251");
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size && (maxLines < 0 || lines.size() < maxLines)) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r')
            ++end;
        lines.append(decoder.decode(bytes.sliced(start, end - start)));
        if (end == size)
            break; // the last line has no line end
        start = end + 1;
        if (start < size && bytes[start] == '\n')
            ++start; // CR LF is one line end
    }
    return lines;
}

ReadResult readLines(const QString &path, qsizetype needed)
{
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = ReadResult::NotFound;
        return result;
    }
    QFile file(path);
    // Only a regular file is content. A device such as /dev/zero never ends
    // and a named pipe blocks the opening until someone writes to it: the
    // game would hang or run out of memory reading either.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    QStringList lines = splitLines(bytes, needed);
    if (lines.size() < needed) {
        result.status = ReadResult::TooShort;
        result.linesFound = lines.size();
        return result;
    }
    result.lines = std::move(lines);
    return result;
}


QString describeFailure(const QString &path, const ReadResult &result, qsizetype needed)
{
    const QString file = QDir::toNativeSeparators(path);
    QString problem;
    switch (result.status) {
    case ReadResult::Ok:
        return {};
    case ReadResult::NotFound:
        problem = QStringLiteral("Файл не найден.");
        break;
    case ReadResult::Unreadable:
        problem = QStringLiteral("Файл не удаётся прочитать.");
        break;
    case ReadResult::TooShort:
        problem = QStringLiteral("В файле %1, а нужно %2.").arg(countedInRussian(result.linesFound, "строка", "строки", "строк")).arg(needed);
        break;
    }
    return QStringLiteral("Ошибка в файле данных игры:\n%1\n\n%2\nИгра будет закрыта.").arg(file, problem);
}

} // namespace ContentFile
