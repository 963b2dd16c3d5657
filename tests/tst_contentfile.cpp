// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/content.h"
#include "game/contentfile.h"
#include "game/module1.h"
#include "testsupport.h"

#include <QStringDecoder>
#include <QTest>

// Reading the content files: line ends, encoding, short and missing files.
class TestContentFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { Module1 = GameState{}; }

    void splitsLinesAsTheFilesAreWritten_data();
    void splitsLinesAsTheFilesAreWritten();
    void decodesEveryUpperByteOfWindows1251();
    void stopsAtTheLinesItNeeds();

    void readsExactlyTheLinesNeeded_data();
    void readsExactlyTheLinesNeeded();
    void missingFileIsReportedWithItsName();
    void failureMessagesNameTheFileAndTheCount();

    void shortLevelFileEndsTheProgramAndKeepsTheOldQuestions();
    void hostFilesFillTheLinesFromIndexOne();
    void missingHostFileEndsTheProgramBeforeAnyLineIsUsed();
};

void TestContentFile::splitsLinesAsTheFilesAreWritten_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("CR alone") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("lone LF stays in the text") << QByteArray("a\nb\r\nc") << QStringList{"a\nb", "c"};
    QTest::newRow("last line without line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty lines are lines") << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
    QTest::newRow("CR CR LF is two line ends") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringList{"a\n", "b"};
    QTest::newRow("blanks are kept") << QByteArray("  a b  \r\n\t") << QStringList{"  a b  ", "\t"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("zero byte inside") << QByteArray("a\0b\r\n", 5) << QStringList{QString::fromUtf16(u"a\u0000b", 3)};
    QTest::newRow("Cyrillic") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\r\n\xa8\xb8") << QStringList{"Привет", "Ёё"};
}

void TestContentFile::splitsLinesAsTheFilesAreWritten()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(ContentFile::splitLines(bytes), lines);
}

void TestContentFile::decodesEveryUpperByteOfWindows1251()
{
    // The code page's upper half, 0x80..0xFF; 0x98 has no character of its
    // own and passes through as U+0098.
    const char16_t expected[128] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
        0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
        0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    };
    QByteArray bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes.append(char(b));
    const QStringList lines = ContentFile::splitLines(bytes);
    QCOMPARE(lines.size(), 1);
    const QString text = lines.first();
    QCOMPARE(text.size(), 128);
    for (int i = 0; i < 64; ++i)
        QCOMPARE(text.at(i).unicode(), expected[i]);
    // 0xC0..0xFF: А..я in alphabetical order.
    for (int i = 64; i < 128; ++i)
        QCOMPARE(text.at(i).unicode(), char16_t(0x0410 + (i - 64)));

    // The game's own table agrees with Qt's converter on every byte but the
    // two line-end bytes.
    QByteArray all;
    for (int b = 0; b <= 0xFF; ++b)
        if (b != '\r')
            all.append(char(b));
    QStringDecoder qtDecoder("windows-1251");
    QVERIFY(qtDecoder.isValid());
    QCOMPARE(ContentFile::splitLines(all).join(QString()), QString(qtDecoder.decode(all)));
}

void TestContentFile::stopsAtTheLinesItNeeds()
{
    QCOMPARE(ContentFile::splitLines("a\r\nb\r\nc\r\n", 2), (QStringList{"a", "b"}));
}

void TestContentFile::readsExactlyTheLinesNeeded_data()
{
    QTest::addColumn<int>("linesInFile");
    QTest::addColumn<bool>("endsWithLineEnd");
    QTest::addColumn<bool>("ok");

    QTest::newRow("50 lines") << 50 << true << true;
    QTest::newRow("50 lines, the last without line end") << 50 << false << true;
    QTest::newRow("51 lines: the extra one is ignored") << 51 << true << true;
    QTest::newRow("49 lines") << 49 << true << false;
    QTest::newRow("49 lines, the last without line end") << 49 << false << false;
}

void TestContentFile::readsExactlyTheLinesNeeded()
{
    QFETCH(int, linesInFile);
    QFETCH(bool, endsWithLineEnd);
    QFETCH(bool, ok);

    DataFolder folder;
    QByteArray bytes;
    for (int i = 1; i <= linesInFile; ++i) {
        bytes += toWindows1251(QStringLiteral("строка %1").arg(i));
        if (i < linesInFile || endsWithLineEnd)
            bytes += "\r\n";
    }
    folder.writeBytes("f.dat", bytes);

    const ContentFile::ReadResult result = ContentFile::readLines(folder.path() + "/f.dat", 50);
    if (ok) {
        QCOMPARE(result.status, ContentFile::ReadResult::Ok);
        QCOMPARE(result.lines.size(), 50);
        QCOMPARE(result.lines.first(), QStringLiteral("строка 1"));
        QCOMPARE(result.lines.last(), QStringLiteral("строка 50"));
    } else {
        QCOMPARE(result.status, ContentFile::ReadResult::TooShort);
        QCOMPARE(result.linesFound, 49);
        QVERIFY(result.lines.isEmpty());
    }
}

void TestContentFile::missingFileIsReportedWithItsName()
{
    DataFolder folder;
    const QString path = folder.path() + "/nothing.dat";
    const ContentFile::ReadResult result = ContentFile::readLines(path, 7);
    QCOMPARE(result.status, ContentFile::ReadResult::NotFound);
    const QString message = ContentFile::describeFailure(path, result, 7);
    QVERIFY(message.contains(path));
    QVERIFY(message.contains(QStringLiteral("Файл не найден.")));

    // A folder in place of the file cannot be read either.
    QDir(folder.path()).mkdir("dir.dat");
    QCOMPARE(ContentFile::readLines(folder.path() + "/dir.dat", 7).status, ContentFile::ReadResult::Unreadable);
}

void TestContentFile::failureMessagesNameTheFileAndTheCount()
{
    ContentFile::ReadResult shortFile;
    shortFile.status = ContentFile::ReadResult::TooShort;
    const auto problem = [&](int found, int needed) {
        shortFile.linesFound = found;
        return ContentFile::describeFailure("/x/7.dat", shortFile, needed).section('\n', 3, 3);
    };
    QCOMPARE(problem(49, 50), QStringLiteral("В файле 49 строк, а нужно 50."));
    QCOMPARE(problem(1, 16), QStringLiteral("В файле 1 строка, а нужно 16."));
    QCOMPARE(problem(3, 7), QStringLiteral("В файле 3 строки, а нужно 7."));
    QCOMPARE(problem(0, 11), QStringLiteral("В файле 0 строк, а нужно 11."));
    QCOMPARE(problem(12, 16), QStringLiteral("В файле 12 строк, а нужно 16."));
    QCOMPARE(problem(22, 50), QStringLiteral("В файле 22 строки, а нужно 50."));
}

void TestContentFile::shortLevelFileEndsTheProgramAndKeepsTheOldQuestions()
{
    PlatformStandIns platform;
    DataFolder folder;
    folder.writeLevel(6);
    QStringList lines = DataFolder::levelLines(7);
    lines.removeLast();
    folder.writeLines("data/qa/7.dat", lines);

    Content::readLevelFile(nullptr, "6.dat");
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, Content::readLevelFile(nullptr, "7.dat"));
    QCOMPARE(platform.ends, 1);
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY(platform.messages.first().text.contains(QDir::toNativeSeparators(folder.path() + "/data/qa/7.dat")));
    QVERIFY(platform.messages.first().text.contains(QStringLiteral("49 строк")));
    QCOMPARE(Module1.QuestionTexts[1], QStringLiteral("Вопрос 6.1"));
    QCOMPARE(Module1.AnswerTexts[10][4], QStringLiteral("Мимо 6.10 в"));
}

void TestContentFile::hostFilesFillTheLinesFromIndexOne()
{
    PlatformStandIns platform;
    DataFolder folder;
    folder.writeHostFiles();
    Content::readHostFiles(nullptr);
    QVERIFY(Module1.IntrigueLines[0].isEmpty());
    QCOMPARE(Module1.IntrigueLines[1], QStringLiteral("Интрига 1"));
    QCOMPARE(Module1.IntrigueLines[16], QStringLiteral("Интрига 16"));
    QCOMPARE(Module1.RightLines[11], QStringLiteral("Верно! 11"));
    QCOMPARE(Module1.WrongLines[7], QStringLiteral("Увы! 7"));
    QVERIFY(platform.messages.isEmpty());
}

void TestContentFile::missingHostFileEndsTheProgramBeforeAnyLineIsUsed()
{
    PlatformStandIns platform;
    DataFolder folder;
    folder.writeHostFiles();
    QFile::remove(folder.path() + "/data/host/Wrong.dat");
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, Content::readHostFiles(nullptr));
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY(platform.messages.first().text.contains("Wrong.dat"));
    QVERIFY(Module1.IntrigueLines[1].isEmpty());
}

QTEST_MAIN(TestContentFile)
#include "tst_contentfile.moc"
