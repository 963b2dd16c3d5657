// SPDX-License-Identifier: GPL-3.0-or-later
#include "check/contentcheck.h"
#include "lifelines/lifelines.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/appearance.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

// The content check: the shipped bank passes even the strict check, and
// every kind of problem is caught with its file and line, as an error when
// the game cannot play it and as a warning when only a rule of style breaks.
class TestContentCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shippedDataPasses();
    void problemsAreCaughtWithFileLineAndSeverity_data();
    void problemsAreCaughtWithFileLineAndSeverity();
    void lineSixteenOfTheSuspenseLinesIsNeverMeasured();
    void commandLineReportsAndExits();
    void conversionWritesOnlyTheNamedFile_data();
    void conversionWritesOnlyTheNamedFile();

private:
    ContentCheck::Fits m_fits;
};

namespace {

QString shippedData()
{
    return qEnvironmentVariable("KVIZORA_SOURCE_DIR") + QStringLiteral("/data");
}

QByteArray shippedBytes(const QString &file)
{
    QFile in(shippedData() + QLatin1Char('/') + file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// The test levels with questions that end in "?", so that a folder of them
// is clean and each row shows only the problem it makes.
QStringList cleanLevel(int level)
{
    QStringList lines = DataFolder::levelLines(level);
    for (qsizetype i = 0; i < lines.size(); i += 5)
        lines[i] += QLatin1Char('?');
    return lines;
}

void writeCleanFolder(DataFolder &folder)
{
    folder.writeHostFiles();
    for (int level = 1; level <= 15; ++level)
        folder.writeLines(QStringLiteral("data/qa/%1.dat").arg(level), cleanLevel(level));
    for (const char *used : Lifelines::UsedPictures) {
        const QString picture = QStringLiteral("gfx/") + QLatin1String(used);
        folder.writeBytes("data/" + picture, shippedBytes(picture));
        const QString twin = Lifelines::doubledPicture(picture);
        folder.writeBytes("data/" + twin, shippedBytes(twin));
    }
}

// A row's bytes that stand for a named pipe in place of the file.
const QByteArray NamedPipe("\0named pipe", 11);

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCheck(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(KVIZORA_CHECK), arguments);
    Run run;
    if (!process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

void TestContentCheck::initTestCase()
{
    Appearance::setUpApplication();
    m_fits = ContentCheck::measuredByTheGame();
}

void TestContentCheck::shippedDataPasses()
{
    const ContentCheck::Report report = ContentCheck::checkFolder(shippedData(), m_fits);
    QVERIFY2(report.problems.isEmpty(), qPrintable(ContentCheck::format(report)));
    QCOMPARE(report.filesRead, 18);
    QCOMPARE(report.questions, 150);
}

void TestContentCheck::problemsAreCaughtWithFileLineAndSeverity_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes"); // replaces the file; empty: remove it
    QTest::addColumn<bool>("error");       // else a warning
    QTest::addColumn<QString>("expected"); // the start of the problem's line

    const auto level = [](int n, const std::function<void(QStringList &)> &edit) {
        QStringList lines = cleanLevel(n);
        edit(lines);
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += toWindows1251(line) + "\r\n";
        return bytes;
    };
    const QString longText = QString(60, QChar(u'Ж')) + QStringLiteral(" ") + QString(60, QChar(u'Ж'));

    // What the game cannot play: it ends, shows garbage or cut text, or a
    // lifeline finds no wrong answer to take away or name.
    QTest::newRow("missing file") << "qa/9.dat" << QByteArray() << true << "qa/9.dat: файл не найден";
    QTest::newRow("short file") << "qa/7.dat" << level(7, [](QStringList &l) { l.removeLast(); }) << true
                                << "qa/7.dat: в файле 49 строк, а нужно 50";
    QTest::newRow("UTF-8") << "qa/2.dat" << cleanLevel(2).join("\r\n").toUtf8() << true << "qa/2.dat: файл записан в UTF-8";
    QTest::newRow("LF line ends") << "qa/3.dat" << toWindows1251(cleanLevel(3).join("\n")) << true
                                  << "qa/3.dat: в файле 1 строка, а нужно 50: строки разделены только LF";
    QTest::newRow("question too long") << "qa/10.dat" << level(10, [&](QStringList &l) { l[45] = longText + longText + longText + "?"; })
                                       << true << "qa/10.dat:46: вопрос 10: вопрос не помещается";
    QTest::newRow("answer too long") << "qa/11.dat" << level(11, [&](QStringList &l) { l[7] = longText; }) << true
                                     << "qa/11.dat:8: вопрос 2: ответ не помещается";
    QTest::newRow("host line too long") << "host/Right.dat" << toWindows1251(QStringList(11, "Верно!").join("\r\n").replace(0, 6, longText) + "\r\n")
                                        << true << "host/Right.dat:1: реплика не помещается";
    QTest::newRow("empty correct answer") << "qa/5.dat" << level(5, [](QStringList &l) { l[6].clear(); }) << true
                                          << "qa/5.dat:7: вопрос 2: пустой верный ответ";
    // Opening a named pipe would wait for a writer for ever.
    QTest::newRow("used picture a named pipe beside its 2x twin")
        << "gfx/5050d.gif" << NamedPipe << true
        << "gfx/5050d.gif: файл не удаётся прочитать: игра закроется, когда игрок возьмёт эту подсказку";
    QTest::newRow("used picture missing") << "gfx/Audid.gif" << QByteArray() << true
                                          << "gfx/Audid.gif: файл не найден: игра закроется, когда игрок возьмёт эту подсказку";
    QTest::newRow("two wrong answers hold the correct one")
        << "qa/8.dat" << level(8, [](QStringList &l) { l[1] = "Рим"; l[2] = "Рима"; l[3] = "Римини"; }) << true
        << "qa/8.dat:2: вопрос 1: текст верного ответа есть и в надписях неверных ответов: «50 на 50» не найдёт";

    // What the game plays, against the rules of the bank.
    QTest::newRow("byte 0x98") << "qa/4.dat" << level(4, [](QStringList &l) { l[11] += QChar(0x98); }) << false
                               << "qa/4.dat:12: вопрос 3: байт 0x98";
    QTest::newRow("control byte") << "qa/4.dat" << level(4, [](QStringList &l) { l[3] += QChar(0x07); }) << false
                                  << "qa/4.dat:4: вопрос 1: управляющий символ 0x07";
    QTest::newRow("lone LF") << "qa/4.dat" << level(4, [](QStringList &l) { l[6].insert(1, QChar('\n')); }) << false
                             << "qa/4.dat:7: вопрос 2: перевод строки LF без CR";
    QTest::newRow("last line without CR LF") << "qa/4.dat" << level(4, [](QStringList &) {}).chopped(2) << false
                                             << "qa/4.dat:50: вопрос 10: последняя строка файла не кончается CR LF";
    QTest::newRow("empty question") << "qa/5.dat" << level(5, [](QStringList &l) { l[5].clear(); }) << false
                                    << "qa/5.dat:6: вопрос 2: пустой вопрос";
    QTest::newRow("empty answer") << "qa/5.dat" << level(5, [](QStringList &l) { l[9].clear(); }) << false
                                  << "qa/5.dat:10: вопрос 2: пустой ответ";
    QTest::newRow("equal answers") << "qa/6.dat" << level(6, [](QStringList &l) { l[14] = l[13]; }) << false
                                   << "qa/6.dat:15: вопрос 3: ответ совпадает с ответом в строке 14";
    QTest::newRow("wrong answer contains the correct one")
        << "qa/8.dat" << level(8, [](QStringList &l) { l[1] = "Рим"; l[3] = "Рима"; }) << false
        << "qa/8.dat:4: вопрос 1: неверный ответ содержит текст верного ответа (строка 2)";
    QTest::newRow("ellipsis character") << "qa/12.dat" << level(12, [](QStringList &l) { l[22] += QChar(0x2026); }) << false
                                        << "qa/12.dat:23: вопрос 5: многоточие одним знаком";
    QTest::newRow("empty host line") << "host/Wrong.dat" << QByteArray("a\r\nb\r\n\r\nd\r\ne\r\nf\r\ng\r\n") << false
                                     << "host/Wrong.dat:3: пустая реплика";
    // The game falls back to the 1x picture without a word in both cases.
    QTest::newRow("2x picture unreadable") << "gfx/Phoned@2x.gif" << QByteArray("GIF89a? not really") << false
                                           << "gfx/Phoned@2x.gif: файл не удаётся прочитать";
    QTest::newRow("2x picture as small as the 1x") << "gfx/5050d@2x.gif" << shippedBytes("gfx/5050d.gif") << false
                                                   << "gfx/5050d@2x.gif: картинка 61×29, а нужна 122×58";
}

void TestContentCheck::problemsAreCaughtWithFileLineAndSeverity()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, error);
    QFETCH(QString, expected);

    DataFolder folder;
    writeCleanFolder(folder);
    const QString path = folder.path() + "/data/" + file;
    if (bytes.isEmpty() || bytes == NamedPipe)
        QFile::remove(path);
    if (bytes == NamedPipe)
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (!bytes.isEmpty())
        folder.writeBytes("data/" + file, bytes);

    const ContentCheck::Report report = ContentCheck::checkFolder(folder.path() + "/data", m_fits);
    QVERIFY2(report.problems.size() == 1, qPrintable(ContentCheck::format(report)));
    const ContentCheck::Problem &problem = report.problems.first();
    QCOMPARE(problem.severity, error ? ContentCheck::Severity::Error : ContentCheck::Severity::Warning);
    QVERIFY2(ContentCheck::describe(problem).startsWith(expected), qPrintable(ContentCheck::describe(problem)));
}

void TestContentCheck::lineSixteenOfTheSuspenseLinesIsNeverMeasured()
{
    DataFolder folder;
    writeCleanFolder(folder);
    QStringList intrigue;
    for (int i = 1; i <= 15; ++i)
        intrigue << QStringLiteral("Интрига %1").arg(i);
    intrigue << QString(200, QChar(u'Ж'));
    folder.writeLines("data/host/intrigue.dat", intrigue);
    QVERIFY(ContentCheck::checkFolder(folder.path() + "/data", m_fits).problems.isEmpty());
}

void TestContentCheck::commandLineReportsAndExits()
{
    const Run shipped = runCheck({QStringLiteral("--strict"), shippedData()});
    QCOMPARE(shipped.exitCode, 0);
    QVERIFY2(shipped.out.startsWith(QStringLiteral("Итог: ошибок — 0, предупреждений — 0 (18 файлов, 150 вопросов")), qPrintable(shipped.out));

    // Warnings alone pass, unless the check is strict.
    DataFolder folder;
    writeCleanFolder(folder);
    QStringList lines = cleanLevel(3);
    lines[2].clear();
    folder.writeLines("data/qa/3.dat", lines);
    const Run styled = runCheck({folder.path() + "/data"});
    QCOMPARE(styled.exitCode, 0);
    QVERIFY2(styled.out.contains(QStringLiteral("qa/3.dat:3: вопрос 1: пустой ответ\n")), qPrintable(styled.out));
    QVERIFY(styled.out.endsWith(QStringLiteral("Итог: ошибок — 0, предупреждений — 1 (18 файлов, 150 вопросов, 34 реплики ведущего).\n")));
    const Run strict = runCheck({QStringLiteral("--strict"), folder.path() + "/data"});
    QCOMPARE(strict.exitCode, 1);
    QVERIFY(strict.err.contains(QStringLiteral("предупреждений — 1")));

    QFile::remove(folder.path() + "/data/qa/15.dat");
    const Run broken = runCheck({folder.path() + "/data"});
    QCOMPARE(broken.exitCode, 1);
    QVERIFY2(broken.err.contains(QStringLiteral("Ошибки (игра не сможет этим играть):\nqa/15.dat: файл не найден\n")), qPrintable(broken.err));
    QVERIFY(broken.err.contains(QStringLiteral("Итог: ошибок — 1, предупреждений — 1 (17 файлов, 140 вопросов")));

    QCOMPARE(runCheck({}).exitCode, 2);
}

void TestContentCheck::conversionWritesOnlyTheNamedFile_data()
{
    QTest::addColumn<QByteArray>("refused"); // a text that leaves the file as it was
    QTest::addColumn<QString>("expected");   // in the check's message

    QTest::newRow("character Windows-1251 lacks") << QStringLiteral("Вопрос?\nОтвет ✓\n").toUtf8()
                                                  << ":2: символа «✓» (U+2713) нет в Windows-1251";
    QTest::newRow("already Windows-1251") << toWindows1251(QStringLiteral("Вопрос?\r\n")) << ":1: строка не в UTF-8";
    // A text cut off in the middle of a letter, at the end of a line and at
    // the end of the file: the letter must not vanish without a word.
    QTest::newRow("sequence cut off at a line end") << QStringLiteral("Вопрос?\r\nОтвет").toUtf8() + "\xD0\r\nещё\r\n"
                                                    << ":2: строка не в UTF-8";
    QTest::newRow("sequence cut off at the end") << QStringLiteral("Вопрос?\nОтвет").toUtf8() + "\xE2\x80"
                                                 << ":2: строка не в UTF-8";
}

void TestContentCheck::conversionWritesOnlyTheNamedFile()
{
    QFETCH(QByteArray, refused);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString in = dir.filePath("7.txt");
    const QString out = dir.filePath("7.dat");
    const auto writeText = [&](const QByteArray &utf8) {
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(utf8);
    };

    // A byte order mark, Windows and Unix line ends, no end to the last line.
    writeText(QStringLiteral("\uFEFFЧто «ёлочки»?\r\nЁж — зверь\nпоследняя").toUtf8());
    QCOMPARE(runCheck({"--convert", in, out}).exitCode, 0);
    const QByteArray converted = toWindows1251(QStringLiteral("Что «ёлочки»?\r\nЁж — зверь\r\nпоследняя\r\n"));
    const auto written = [&] {
        QFile file(out);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QCOMPARE(written(), converted);

    writeText(refused);
    const Run run = runCheck({"--convert", in, out});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(expected), qPrintable(run.err));
    QCOMPARE(written(), converted);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

QTEST_MAIN(TestContentCheck)
#include "tst_contentcheck.moc"
