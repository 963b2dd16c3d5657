// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/contentcheck.h"
#include "game/platform.h"
#include "lifelines/lifelines.h"
#include "testsupport.h"
#include "ui/appearance.h"

#include <QProcess>
#include <QTest>

// The content check: the shipped bank passes, and every kind of broken
// content is caught with its file and line.
class TestContentCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shippedDataPasses();
    void brokenContentIsCaughtWithFileAndLine_data();
    void brokenContentIsCaughtWithFileAndLine();
    void lineSixteenOfTheSuspenseLinesIsNeverMeasured();
    void commandLineReportsAndExits();

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

// "qa/7.dat:12: …" lines of a report, the summary dropped.
QStringList problemLines(const ContentCheck::Report &report)
{
    QStringList lines = ContentCheck::format(report).split('\n', Qt::SkipEmptyParts);
    lines.removeLast();
    return lines;
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

void TestContentCheck::brokenContentIsCaughtWithFileAndLine_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes"); // replaces the file; empty: remove it
    QTest::addColumn<QString>("expected"); // the start of the first problem line

    const auto level = [](int n, const std::function<void(QStringList &)> &edit) {
        QStringList lines = DataFolder::levelLines(n);
        edit(lines);
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += toWindows1251(line) + "\r\n";
        return bytes;
    };
    const QString longText = QString(60, QChar(u'Ж')) + QStringLiteral(" ") + QString(60, QChar(u'Ж'));

    QTest::newRow("missing file") << "qa/9.dat" << QByteArray() << "qa/9.dat: файл не найден";
    QTest::newRow("short file") << "qa/7.dat" << level(7, [](QStringList &l) { l.removeLast(); })
                                << "qa/7.dat: в файле 49 строк, а нужно 50";
    QTest::newRow("UTF-8") << "qa/2.dat" << DataFolder::levelLines(2).join("\r\n").toUtf8()
                           << "qa/2.dat: файл записан в UTF-8";
    QTest::newRow("LF line ends") << "qa/3.dat" << toWindows1251(DataFolder::levelLines(3).join("\n"))
                                  << "qa/3.dat: строки разделены только LF";
    QTest::newRow("byte 0x98") << "qa/4.dat" << level(4, [](QStringList &l) { l[11] += QChar(0x98); })
                               << "qa/4.dat:12: байт 0x98";
    QTest::newRow("control byte") << "qa/4.dat" << level(4, [](QStringList &l) { l[3] += QChar(0x07); })
                                  << "qa/4.dat:4: управляющий символ 0x07";
    QTest::newRow("lone LF") << "qa/4.dat" << level(4, [](QStringList &l) { l[5] += QChar('\n'); })
                             << "qa/4.dat:6: перевод строки LF без CR";
    QTest::newRow("empty question") << "qa/5.dat" << level(5, [](QStringList &l) { l[5].clear(); })
                                    << "qa/5.dat:6: пустой вопрос";
    QTest::newRow("empty answer") << "qa/5.dat" << level(5, [](QStringList &l) { l[9].clear(); })
                                  << "qa/5.dat:10: пустой ответ";
    QTest::newRow("equal answers") << "qa/6.dat" << level(6, [](QStringList &l) { l[14] = l[13]; })
                                   << "qa/6.dat:15: ответ совпадает с ответом в строке 14";
    QTest::newRow("wrong answer contains the correct one")
        << "qa/8.dat" << level(8, [](QStringList &l) { l[1] = "Рим"; l[3] = "Рима"; })
        << "qa/8.dat:4: неверный ответ содержит текст верного ответа (строка 2)";
    QTest::newRow("question too long") << "qa/10.dat" << level(10, [&](QStringList &l) { l[45] = longText + longText + longText; })
                                       << "qa/10.dat:46: вопрос не помещается";
    QTest::newRow("answer too long") << "qa/11.dat" << level(11, [&](QStringList &l) { l[7] = longText; })
                                     << "qa/11.dat:8: ответ не помещается";
    QTest::newRow("host line too long") << "host/Right.dat" << toWindows1251(QStringList(11, "Верно!").join("\r\n").replace(0, 6, longText))
                                        << "host/Right.dat:1: реплика не помещается";
    QTest::newRow("empty host line") << "host/Wrong.dat" << QByteArray("a\r\nb\r\n\r\nd\r\ne\r\nf\r\ng\r\n")
                                     << "host/Wrong.dat:3: пустая реплика";
    // The game falls back to the 1x picture without a word in both cases.
    QTest::newRow("2x picture unreadable") << "gfx/Phoned@2x.gif" << QByteArray("GIF89a? not really")
                                           << "gfx/Phoned@2x.gif: файл не удаётся прочитать";
    QTest::newRow("2x picture as small as the 1x") << "gfx/5050d@2x.gif" << shippedBytes("gfx/5050d.gif")
                                                   << "gfx/5050d@2x.gif: картинка 61×29, а нужна 122×58";
}

void TestContentCheck::brokenContentIsCaughtWithFileAndLine()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    DataFolder folder;
    folder.writeHostFiles();
    folder.writeLevels(1, 15);
    for (const char *used : Lifelines::UsedPictures)
        folder.writeBytes(QStringLiteral("data/gfx/") + QLatin1String(used), shippedBytes(QStringLiteral("gfx/") + QLatin1String(used)));
    if (bytes.isEmpty())
        QFile::remove(folder.path() + "/data/" + file);
    else
        folder.writeBytes("data/" + file, bytes);

    const ContentCheck::Report report = ContentCheck::checkFolder(folder.path() + "/data", m_fits);
    const QStringList problems = problemLines(report);
    // Unix line ends also leave the file one line long, which is said too.
    const qsizetype expectedCount = expected.contains(QStringLiteral("только LF")) ? 2 : 1;
    QVERIFY2(problems.size() == expectedCount, qPrintable(problems.join('\n')));
    QVERIFY2(problems.first().startsWith(expected), qPrintable(problems.first()));
}

void TestContentCheck::lineSixteenOfTheSuspenseLinesIsNeverMeasured()
{
    DataFolder folder;
    folder.writeHostFiles();
    folder.writeLevels(1, 15);
    QStringList intrigue;
    for (int i = 1; i <= 15; ++i)
        intrigue << QStringLiteral("Интрига %1").arg(i);
    intrigue << QString(200, QChar(u'Ж'));
    folder.writeLines("data/host/intrigue.dat", intrigue);
    QVERIFY(ContentCheck::checkFolder(folder.path() + "/data", m_fits).problems.isEmpty());
}

void TestContentCheck::commandLineReportsAndExits()
{
    QProcess ok;
    ok.start(QStringLiteral(KVIZORA_CHECK), {shippedData()});
    QVERIFY(ok.waitForFinished(30000));
    QCOMPARE(ok.exitCode(), 0);
    QVERIFY(QString::fromUtf8(ok.readAllStandardOutput()).startsWith(QStringLiteral("Ошибок нет: 18 файлов, 150 вопросов")));

    DataFolder folder;
    folder.writeHostFiles();
    folder.writeLevels(1, 15);
    QFile::remove(folder.path() + "/data/qa/15.dat");
    QProcess broken;
    broken.start(QStringLiteral(KVIZORA_CHECK), {folder.path() + "/data"});
    QVERIFY(broken.waitForFinished(30000));
    QCOMPARE(broken.exitCode(), 1);
    const QString errors = QString::fromUtf8(broken.readAllStandardError());
    QVERIFY(errors.contains(QStringLiteral("qa/15.dat: файл не найден")));
    QVERIFY(errors.contains(QStringLiteral("Найдено ошибок: 1.")));

    QProcess usage;
    usage.start(QStringLiteral(KVIZORA_CHECK), {});
    QVERIFY(usage.waitForFinished(30000));
    QCOMPARE(usage.exitCode(), 2);
}

QTEST_MAIN(TestContentCheck)
#include "tst_contentcheck.moc"
