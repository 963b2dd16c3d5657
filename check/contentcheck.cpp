// SPDX-License-Identifier: GPL-3.0-or-later
#include "check/contentcheck.h"

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
#include <QHash>
#include <QImage>

#include <algorithm>
#include <array>
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

QList<Problem> checkBytes(const QString &file, QByteArrayView bytes, int needed)
{
    QList<Problem> problems;
    const auto warn = [&](int line, const QString &what) { problems.append({file, line, Severity::Warning, what}); };
    if (bytes.startsWith("\xEF\xBB\xBF") || looksLikeUtf8(bytes)) {
        problems.append({file, 0, Severity::Error,
                         QStringLiteral("файл записан в UTF-8, а игра читает Windows-1251: русские буквы на экране будут искажены "
                                        "(перекодировать: kvizora-check --convert)")});
        return problems;
    }
    // Without a single CR the file is one line; the short-file error says so.
    if (!bytes.contains('\r'))
        return problems;

    int line = 1;
    int crOnly = 0;
    int firstCrOnly = 0;
    for (qsizetype i = 0; i < bytes.size() && line <= needed; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            else if (crOnly++ == 0)
                firstCrOnly = line;
            ++line;
        } else if (b == '\n') {
            warn(line, QStringLiteral("перевод строки LF без CR внутри строки: игра покажет его как перенос в тексте"));
        } else if (b < 0x20 || b == 0x7F) {
            warn(line, QStringLiteral("управляющий символ %1").arg(hex(b)));
        } else if (b == 0x98) {
            warn(line, QStringLiteral("байт 0x98 не обозначает никакого символа в Windows-1251"));
        }
    }
    if (crOnly > 0)
        warn(firstCrOnly, QStringLiteral("строк, что кончаются одним CR без LF: %1 (первая — эта)").arg(crOnly));
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n") && !bytes.endsWith('\r'))
        warn(lineAt(bytes, bytes.size()), QStringLiteral("последняя строка файла не кончается CR LF"));
    return problems;
}

namespace {

// The rules of writing that a program can see in any shown line.
void checkWriting(QList<Problem> &problems, const QString &file, int line, const QString &text)
{
    const auto warn = [&](const QString &what) { problems.append({file, line, Severity::Warning, what}); };
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        warn(QStringLiteral("пробел в начале или в конце строки: игра показывает строку как есть"));
    if (text.contains(QChar(0x2026)))
        warn(QStringLiteral("многоточие одним знаком «…»: в банке оно пишется тремя точками"));
    if (text.contains(QLatin1Char('"')))
        warn(QStringLiteral("прямые кавычки \": в банке кавычки — «ёлочки»"));
}

// The fewest captions without the correct answer's text that the four
// answers can give, over every order the shuffle may put them in (the
// prefix of one button may complete the text where another's does not).
int fewestWrongCaptions(const QStringList &answers)
{
    // Whether answer a on button b shows the correct answer's text.
    std::array<std::array<bool, 4>, 4> holds{};
    for (int button = 0; button < 4; ++button)
        for (int a = 0; a < 4; ++a)
            holds[button][a] = Rules::holdsCorrectAnswer(Rules::answerCaption(button, answers[a]), answers[0]);
    std::array<int, 4> onButton = {0, 1, 2, 3};
    int fewest = 4;
    do {
        int wrong = 0;
        for (int button = 0; button < 4; ++button)
            if (!holds[button][onButton[button]])
                ++wrong;
        fewest = std::min(fewest, wrong);
    } while (std::next_permutation(onButton.begin(), onButton.end()));
    return fewest;
}

} // namespace

QList<Problem> checkLevel(const QString &file, const QStringList &lines, const Fits &fits)
{
    QList<Problem> problems;
    for (int record = 0; record < Content::RecordsPerLevel; ++record) {
        const int first = record * Content::LinesPerRecord;
        if (first + Content::LinesPerRecord > lines.size())
            break;
        const QString &question = lines[first];
        const QStringList answers = lines.mid(first + 1, 4);
        const QString &correct = answers[0];
        const int questionLine = first + 1;
        const auto error = [&](int line, const QString &what) { problems.append({file, line, Severity::Error, what}); };
        const auto warn = [&](int line, const QString &what) { problems.append({file, line, Severity::Warning, what}); };

        if (question.isEmpty())
            warn(questionLine, QStringLiteral("пустой вопрос"));
        else if (fits.question && !fits.question(question))
            error(questionLine, QStringLiteral("вопрос не помещается в поле вопроса"));
        if (!question.isEmpty() && !question.endsWith(QLatin1Char('?')))
            warn(questionLine, QStringLiteral("вопрос не кончается знаком «?»"));
        checkWriting(problems, file, questionLine, question);

        // The lifelines tell the correct answer by its text inside each
        // caption: fifty-fifty needs two captions without it, the friend one.
        const int wrongCaptions = fewestWrongCaptions(answers);
        if (correct.isEmpty())
            error(questionLine + 1, QStringLiteral("пустой верный ответ: его текст есть в надписи каждой кнопки, и подсказки не отличат неверных ответов"));
        else if (wrongCaptions < 2)
            error(questionLine + 1, QStringLiteral("текст верного ответа есть и в надписях неверных ответов: %1")
                                        .arg(wrongCaptions == 0 ? QStringLiteral("подсказки не найдут ни одного неверного ответа")
                                                                : QStringLiteral("«50 на 50» не найдёт двух неверных ответов, чтобы убрать их")));

        for (int a = 0; a < 4; ++a) {
            const QString &answer = answers[a];
            const int line = questionLine + 1 + a;
            if (answer.isEmpty()) {
                if (a > 0)
                    warn(line, QStringLiteral("пустой ответ"));
                continue;
            }
            bool repeated = false;
            for (int b = 0; b < a; ++b) {
                if (answers[b] == answer) {
                    warn(line, QStringLiteral("ответ совпадает с ответом в строке %1").arg(questionLine + 1 + b));
                    repeated = true;
                }
            }
            if (a > 0 && !repeated && wrongCaptions >= 2 && !correct.isEmpty() && Rules::holdsCorrectAnswer(answer, correct))
                warn(line, QStringLiteral("неверный ответ содержит текст верного ответа (строка %1): подсказки примут его за верный")
                               .arg(questionLine + 1));
            if (fits.answerCaption) {
                for (int button = 0; button < 4; ++button) {
                    if (!fits.answerCaption(Rules::answerCaption(button, answer))) {
                        error(line, QStringLiteral("ответ не помещается на кнопку ответа"));
                        break;
                    }
                }
            }
            checkWriting(problems, file, line, answer);
        }
    }
    return problems;
}

QList<Problem> checkHostLines(const QString &file, const QStringList &lines, int shown, const Fits &fits)
{
    QList<Problem> problems;
    for (int i = 0; i < lines.size() && i < shown; ++i) {
        if (lines[i].isEmpty())
            problems.append({file, i + 1, Severity::Warning, QStringLiteral("пустая реплика")});
        else if (fits.hostLine && !fits.hostLine(lines[i]))
            problems.append({file, i + 1, Severity::Error, QStringLiteral("реплика не помещается в одну строку табло")});
        checkWriting(problems, file, i + 1, lines[i]);
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
            report.problems.append({name, 0, Severity::Error, QStringLiteral("файл не найден")});
            return false;
        }
        if (result.status == ContentFile::ReadResult::Unreadable) {
            report.problems.append({name, 0, Severity::Error, QStringLiteral("файл не удаётся прочитать")});
            return false;
        }
        ++report.filesRead;
        QFile file(path);
        const QByteArray bytes = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (result.status == ContentFile::ReadResult::TooShort) {
            QString what = QStringLiteral("в файле %1, а нужно %2")
                               .arg(countedInRussian(int(result.linesFound), "строка", "строки", "строк"))
                               .arg(needed);
            if (bytes.contains('\n') && !bytes.contains('\r'))
                what += QStringLiteral(": строки разделены только LF, а игра начинает новую строку после CR или CR LF");
            report.problems.append({name, 0, Severity::Error, what});
        }
        const QList<Problem> byteProblems = checkBytes(name, bytes, needed);
        report.problems.append(byteProblems);
        // Text in another encoding says nothing true about lengths or words.
        const bool misencoded = std::any_of(byteProblems.cbegin(), byteProblems.cend(),
                                            [](const Problem &p) { return p.severity == Severity::Error; });
        if (result.status == ContentFile::ReadResult::TooShort || misencoded)
            return false;
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
    // A used-lifeline picture that cannot be loaded ends the game when the
    // player takes that lifeline. Its 2x twin is optional, and the game
    // never complains about one: it shows the 1x picture where the twin
    // cannot be read, and scales a twin of any other size to fit. So this is
    // the only place that can tell its author.
    for (const char *used : Lifelines::UsedPictures) {
        const QString name = QStringLiteral("gfx/") + QLatin1String(used);
        const QFileInfo picture(relative(dataFolder, name));
        // Only regular files are opened, here and below: a named pipe would
        // block the reading for ever.
        QSize normal;
        if (!picture.exists())
            report.problems.append({name, 0, Severity::Error, QStringLiteral("файл не найден: игра закроется, когда игрок возьмёт эту подсказку")});
        else if (!picture.isFile() || (normal = QImage(picture.filePath()).size()).isEmpty())
            report.problems.append({name, 0, Severity::Error, QStringLiteral("файл не удаётся прочитать: игра закроется, когда игрок возьмёт эту подсказку")});
        const QString twin = Lifelines::doubledPicture(name);
        if (!QFileInfo::exists(relative(dataFolder, twin)))
            continue;
        if (!QFileInfo(relative(dataFolder, twin)).isFile()) {
            report.problems.append({twin, 0, Severity::Warning, QStringLiteral("файл не удаётся прочитать: игра покажет картинку %1").arg(name)});
            continue;
        }
        const QImage doubled(relative(dataFolder, twin));
        if (doubled.isNull()) {
            report.problems.append({twin, 0, Severity::Warning, QStringLiteral("файл не удаётся прочитать: игра покажет картинку %1").arg(name)});
            continue;
        }
        if (!normal.isEmpty() && doubled.size() != normal * 2)
            report.problems.append({twin, 0, Severity::Warning, QStringLiteral("картинка %1×%2, а нужна %3×%4: вдвое больше %5")
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

int Report::count(Severity severity) const
{
    return int(std::count_if(problems.cbegin(), problems.cend(), [severity](const Problem &p) { return p.severity == severity; }));
}

QString describe(const Problem &problem)
{
    QString out = problem.file;
    if (problem.line > 0) {
        out += QLatin1Char(':') + QString::number(problem.line);
        const int readLines = Content::RecordsPerLevel * Content::LinesPerRecord;
        if (problem.file.startsWith(QLatin1String("qa/")) && problem.line <= readLines)
            out += QStringLiteral(": вопрос %1").arg((problem.line - 1) / Content::LinesPerRecord + 1);
    }
    return out + QStringLiteral(": ") + problem.what;
}

namespace {

// Problems of one kind differ only in the numbers they name (a line, a
// byte, a count): their text up to the first digit is their kind.
QString kindOf(const Problem &problem)
{
    const auto digit = std::find_if(problem.what.cbegin(), problem.what.cend(), [](QChar c) { return c.isDigit(); });
    return problem.what.first(digit - problem.what.cbegin());
}

} // namespace

QString format(const Report &report)
{
    QString out;
    const auto group = [&](Severity severity, const QString &heading) {
        if (report.count(severity) == 0)
            return;
        out += heading + QLatin1Char('\n');
        // Each kind in the order it first turns up, its first few places in
        // file order, then how many more there are of it.
        QStringList kinds;
        QHash<QString, QList<const Problem *>> places;
        for (const Problem &p : report.problems) {
            if (p.severity != severity)
                continue;
            const QString kind = kindOf(p);
            if (!places.contains(kind))
                kinds.append(kind);
            places[kind].append(&p);
        }
        for (const QString &kind : kinds) {
            const QList<const Problem *> &all = places[kind];
            for (qsizetype i = 0; i < all.size() && i < ShownPlacesPerKind; ++i)
                out += describe(*all[i]) + QLatin1Char('\n');
            if (all.size() > ShownPlacesPerKind) {
                const bool cut = kind.size() < all.first()->what.size();
                out += QStringLiteral("… и ещё %1 таких же: %2%3\n")
                           .arg(all.size() - ShownPlacesPerKind)
                           .arg(kind.trimmed(), cut ? QStringLiteral(" …") : QString());
            }
        }
        out += QLatin1Char('\n');
    };
    group(Severity::Error, QStringLiteral("Ошибки (игра не сможет этим играть):"));
    group(Severity::Warning, QStringLiteral("Предупреждения (игра сыграет, но нарушены правила оформления банка):"));
    out += QStringLiteral("Итог: ошибок — %1, предупреждений — %2 (%3, %4, %5 ведущего).\n")
               .arg(report.count(Severity::Error))
               .arg(report.count(Severity::Warning))
               .arg(countedInRussian(report.filesRead, "файл", "файла", "файлов"),
                    countedInRussian(report.questions, "вопрос", "вопроса", "вопросов"),
                    countedInRussian(report.hostLines, "реплика", "реплики", "реплик"));
    return out;
}

namespace {

// The offset of the first byte that does not belong to well-formed UTF-8
// (no overlong forms, no surrogates, nothing above U+10FFFF), or -1. It
// looks at the whole text at once, so a sequence cut off at the end of a
// line or of the file is found like any other.
qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    qsizetype i = 0;
    while (i < bytes.size()) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int follow = 0;
        unsigned char low = 0x80; // the range of the second byte
        unsigned char high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            follow = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            follow = 2;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            follow = 3;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            return i;
        }
        for (int k = 1; k <= follow; ++k) {
            if (i + k >= bytes.size())
                return i;
            const unsigned char c = at(i + k);
            if (k == 1 ? (c < low || c > high) : (c & 0xC0) != 0x80)
                return i;
        }
        i += follow + 1;
    }
    return -1;
}

} // namespace

Conversion fromUtf8Text(const QString &file, QByteArrayView utf8)
{
    Conversion result;
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8 = utf8.sliced(3);
    // Nothing is converted unless the whole text is UTF-8 to its last byte.
    const qsizetype invalid = firstInvalidUtf8(utf8);
    QByteArray bytes;
    qsizetype start = 0;
    int line = 0;
    while (start < utf8.size()) {
        qsizetype end = start;
        while (end < utf8.size() && utf8[end] != '\n' && utf8[end] != '\r')
            ++end;
        ++line;
        if (invalid >= start && invalid <= end) {
            result.problems = {{file, line, Severity::Error,
                                QStringLiteral("строка не в UTF-8 (байт %1 не складывается в символ): возможно, файл уже в Windows-1251")
                                    .arg(hex(static_cast<unsigned char>(utf8[invalid])))}};
            return result;
        }
        // Line ends are ASCII, which never occurs inside a UTF-8 sequence:
        // each line of valid text is valid on its own.
        const QString text = QString::fromUtf8(utf8.sliced(start, end - start));
        qsizetype failedAt = -1;
        const QByteArray encoded = ContentFile::encodeWindows1251(text, &failedAt);
        if (failedAt >= 0) {
            const char32_t c = text.at(failedAt).isHighSurrogate() && failedAt + 1 < text.size()
                ? QChar::surrogateToUcs4(text.at(failedAt), text.at(failedAt + 1))
                : text.at(failedAt).unicode();
            result.problems.append({file, line, Severity::Error,
                                    QStringLiteral("символа «%1» (U+%2) нет в Windows-1251")
                                        .arg(QString::fromUcs4(&c, 1), QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0')))});
        }
        bytes += encoded + "\r\n";
        // CR LF, a lone LF or a lone CR: each ends one line of the text.
        start = end + 1;
        if (end + 1 < utf8.size() && utf8[end] == '\r' && utf8[end + 1] == '\n')
            ++start;
    }
    if (result.problems.isEmpty()) {
        result.bytes = std::move(bytes);
        result.lines = line;
    }
    return result;
}

} // namespace ContentCheck
