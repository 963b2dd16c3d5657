// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/contentfile.h"

#include "game/russian.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace ContentFile {

namespace {

// The upper half of Windows-1251, bytes 0x80..0xBF; 0xC0..0xFF are А..я in
// order. 0x98 has no character of its own and passes through as U+0098.
// The code page is small enough to decode here: a general converter would
// load a whole conversion library into the game for these few files.
constexpr char16_t UpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

QString decodeWindows1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80)
            *out++ = QChar(b);
        else if (b < 0xC0)
            *out++ = QChar(UpperHalf[b - 0x80]);
        else
            *out++ = QChar(char16_t(0x0410 + (b - 0xC0)));
    }
    return text;
}

} // namespace

QByteArray encodeWindows1251(QStringView text, qsizetype *failedAt)
{
    *failedAt = -1;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += char(c);
        } else if (c >= 0x0410 && c <= 0x044F) {
            bytes += char(0xC0 + (c - 0x0410));
        } else {
            // 0x98 stands for no character, so U+0098 has no byte either.
            const char16_t *found = c == 0x0098 ? std::end(UpperHalf) : std::find(std::begin(UpperHalf), std::end(UpperHalf), c);
            if (found == std::end(UpperHalf)) {
                *failedAt = i;
                return {};
            }
            bytes += char(0x80 + (found - std::begin(UpperHalf)));
        }
    }
    return bytes;
}

QStringList splitLines(QByteArrayView bytes, qsizetype maxLines)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size && (maxLines < 0 || lines.size() < maxLines)) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r')
            ++end;
        lines.append(decodeWindows1251(bytes.sliced(start, end - start)));
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
