// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/contentcheck.h"

#include "game/content.h"
#include "game/contentfile.h"
#include "game/form2.h"
#include "game/form3.h"
#include "game/ladder.h"
#include "game/rules.h"
#include "game/russian.h"
#include "lifelines/lifelines.h"
#include "ui/controls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <memory>

namespace ContentCheck {

namespace {

// Line number (1-based) of each byte offset's line, counted the game's way.
int lineAt(QByteArrayView bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset; ++i) {
        if (bytes[i] == '\r') {
            ++line;
            if (i + 1 < offset && bytes[i + 1] == '\n')
                ++i;
        }
    }
    return line;
}

QString hex(unsigned char byte)
{
    return QStringLiteral("0x%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("0X"), QLatin1String("0x"));
}

// Whether the bytes look like UTF-8 text with Cyrillic letters in it, the
// most common mistake of an editor that saves in the wrong encoding.
bool looksLikeUtf8(QByteArrayView bytes)
{
    bool sawMultibyte = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80)
            continue;
        int follow = 0;
        if ((b & 0xE0) == 0xC0)
            follow = 1;
        else if ((b & 0xF0) == 0xE0)
            follow = 2;
        else if ((b & 0xF8) == 0xF0)
            follow = 3;
        else
            return false;
        for (int k = 1; k <= follow; ++k) {
            if (i + k >= bytes.size() || (static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += follow;
        sawMultibyte = true;
    }
    return sawMultibyte;
}

QString relative(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name;
}

} // namespace

QList<Problem> checkBytes(const QString &file, QByteArrayView bytes)
{
    QList<Problem> problems;
    if (bytes.startsWith("\xEF\xBB\xBF") || looksLikeUtf8(bytes)) {
        problems.append({file, 0, QStringLiteral("файл записан в UTF-8, а нужна кодировка Windows-1251")});
        return problems;
    }
    if (bytes.contains('\n') && !bytes.contains('\r')) {
        problems.append({file, 0, QStringLiteral("строки разделены только LF, а нужен CR LF: игра прочтёт весь файл как одну строку")});
        return problems;
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool lineEnd = b == '\r' || (b == '\n' && i > 0 && bytes[i - 1] == '\r');
        if (lineEnd)
            continue;
        if (b == '\n')
            problems.append({file, lineAt(bytes, i), QStringLiteral("перевод строки LF без CR внутри строки")});
        else if (b < 0x20 || b == 0x7F)
            problems.append({file, lineAt(bytes, i), QStringLiteral("управляющий символ %1").arg(hex(b))});
        else if (b == 0x98)
            problems.append({file, lineAt(bytes, i), QStringLiteral("байт 0x98 не обозначает никакого символа в Windows-1251")});
    }
    return problems;
}

QList<Problem> checkLevel(const QString &file, const QStringList &lines, const Fits &fits)
{
    QList<Problem> problems;
    for (int record = 0; record < Content::RecordsPerLevel; ++record) {
        const int first = record * Content::LinesPerRecord;
        if (first + Content::LinesPerRecord > lines.size())
            break;
        const QString &question = lines[first];
        const QString &correct = lines[first + 1];
        const int questionLine = first + 1;

        if (question.isEmpty())
            problems.append({file, questionLine, QStringLiteral("пустой вопрос")});
        else if (fits.question && !fits.question(question))
            problems.append({file, questionLine, QStringLiteral("вопрос не помещается в поле вопроса")});

        for (int a = 1; a <= 4; ++a) {
            const QString &answer = lines[first + a];
            const int line = questionLine + a;
            if (answer.isEmpty()) {
                problems.append({file, line, QStringLiteral("пустой ответ")});
                continue;
            }
            for (int b = 1; b < a; ++b) {
                if (lines[first + b] == answer)
                    problems.append({file, line, QStringLiteral("ответ совпадает с ответом в строке %1").arg(questionLine + b)});
            }
            if (a > 1 && !correct.isEmpty() && Rules::holdsCorrectAnswer(answer, correct))
                problems.append({file, line,
                                 QStringLiteral("неверный ответ содержит текст верного ответа (строка %1): подсказки примут его за верный")
                                     .arg(questionLine + 1)});
            if (fits.answerCaption) {
                for (int button = 0; button < 4; ++button) {
                    if (!fits.answerCaption(Rules::answerCaption(button, answer))) {
                        problems.append({file, line, QStringLiteral("ответ не помещается на кнопку ответа")});
                        break;
                    }
                }
            }
        }
    }
    return problems;
}

QList<Problem> checkHostLines(const QString &file, const QStringList &lines, int shown, const Fits &fits)
{
    QList<Problem> problems;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            problems.append({file, i + 1, QStringLiteral("пустая реплика")});
        else if (i < shown && fits.hostLine && !fits.hostLine(lines[i]))
            problems.append({file, i + 1, QStringLiteral("реплика не помещается в одну строку табло")});
    }
    return problems;
}

Report checkFolder(const QString &dataFolder, const Fits &fits)
{
    Report report;
    const auto readFile = [&](const QString &name, int needed, QStringList &lines) {
        const QString path = relative(dataFolder, name);
        const ContentFile::ReadResult result = ContentFile::readLines(path, needed);
        if (result.status == ContentFile::ReadResult::NotFound) {
            report.problems.append({name, 0, QStringLiteral("файл не найден")});
            return false;
        }
        if (result.status == ContentFile::ReadResult::Unreadable) {
            report.problems.append({name, 0, QStringLiteral("файл не удаётся прочитать")});
            return false;
        }
        ++report.filesRead;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            report.problems.append(checkBytes(name, file.readAll()));
        if (result.status == ContentFile::ReadResult::TooShort) {
            report.problems.append({name, 0, QStringLiteral("в файле %1, а нужно %2").arg(countedInRussian(result.linesFound, "строка", "строки", "строк")).arg(needed)});
            return false;
        }
        lines = result.lines;
        return true;
    };

    for (int level = 1; level <= Ladder::Levels; ++level) {
        const QString name = QStringLiteral("qa/") + Content::levelFileName(level);
        QStringList lines;
        if (readFile(name, Content::RecordsPerLevel * Content::LinesPerRecord, lines)) {
            report.problems.append(checkLevel(name, lines, fits));
            report.questions += Content::RecordsPerLevel;
        }
    }
    const struct
    {
        const char *name;
        int read;
        int shown;
    } hostFiles[] = {
        {"host/intrigue.dat", Content::IntrigueLineCount, 15},
        {"host/Right.dat", Content::RightLineCount, Content::RightLineCount},
        {"host/Wrong.dat", Content::WrongLineCount, Content::WrongLineCount},
    };
    for (const auto &host : hostFiles) {
        QStringList lines;
        if (readFile(QString::fromLatin1(host.name), host.read, lines)) {
            report.problems.append(checkHostLines(QString::fromLatin1(host.name), lines, host.shown, fits));
            report.hostLines += host.read;
        }
    }
    // A used-lifeline picture's 2x twin is optional, and the game never
    // complains about one: it shows the 1x picture where the twin cannot be
    // read, and scales a twin of any other size to fit. So this is the only
    // place that can tell its author.
    for (const char *used : Lifelines::UsedPictures) {
        const QString name = QStringLiteral("gfx/") + QLatin1String(used);
        const QString twin = Lifelines::doubledPicture(name);
        if (!QFileInfo::exists(relative(dataFolder, twin)))
            continue;
        const QImage doubled(relative(dataFolder, twin));
        if (doubled.isNull()) {
            report.problems.append({twin, 0, QStringLiteral("файл не удаётся прочитать")});
            continue;
        }
        const QSize normal = QImageReader(relative(dataFolder, name)).size();
        if (normal.isValid() && doubled.size() != normal * 2)
            report.problems.append({twin, 0, QStringLiteral("картинка %1×%2, а нужна %3×%4: вдвое больше %5")
                                                 .arg(doubled.width()).arg(doubled.height())
                                                 .arg(normal.width() * 2).arg(normal.height() * 2).arg(name)});
    }
    return report;
}

Fits measuredByTheGame()
{
    // The real windows, never shown: their controls carry the fonts and
    // box sizes the player sees.
    auto gameScreen = std::make_shared<Form2>();
    auto verdict = std::make_shared<Form3>(*gameScreen);
    verdict->Timer1.stop();
    Fits fits;
    fits.question = [gameScreen](const QString &text) { return gameScreen->Label3->fits(text); };
    fits.answerCaption = [gameScreen](const QString &text) { return gameScreen->Command[0]->fits(text); };
    fits.hostLine = [gameScreen, verdict](const QString &text) { return verdict->Label1->fits(text); };
    return fits;
}

QString format(const Report &report)
{
    QString out;
    for (const Problem &p : report.problems) {
        out += p.file;
        if (p.line > 0)
            out += QLatin1Char(':') + QString::number(p.line);
        out += QStringLiteral(": ") + p.what + QLatin1Char('\n');
    }
    if (report.problems.isEmpty())
        out += QStringLiteral("Ошибок нет: %1, %2, %3 ведущего.\n")
                   .arg(countedInRussian(report.filesRead, "файл", "файла", "файлов"),
                        countedInRussian(report.questions, "вопрос", "вопроса", "вопросов"),
                        countedInRussian(report.hostLines, "реплика", "реплики", "реплик"));
    else
        out += QStringLiteral("Найдено ошибок: %1.\n").arg(report.problems.size());
    return out;
}

} // namespace ContentCheck
