// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/content.h"
#include "game/form2.h"
#include "game/form3.h"
#include "game/module1.h"
#include "game/rules.h"
#include "lifelines/form4.h"
#include "testsupport.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <limits>
#include <memory>

#include <sys/stat.h>

// Content files as a careless or hostile author may write them. The game
// shows every text exactly as the file has it, never hangs, and where it
// cannot go on it ends with a message that names the file.
class TestHostileContent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }
    void init();
    void cleanup();

    void unusableFileEndsTheGameWhenItIsNeeded_data();
    void unusableFileEndsTheGameWhenItIsNeeded();
    void missingDataFolderEndsTheLoadNamingTheFirstFile();

    void megabyteLineIsOnScreenWithinASecond_data();
    void megabyteLineIsOnScreenWithinASecond();
    void zeroAndUnassignedBytesAreShownAsRead();
    void everyKindOfLineEndReadsTheSameRecords_data();
    void everyKindOfLineEndReadsTheSameRecords();
    void markupAmpersandsAndDirectionMarksStayText();
    void markupInThePollStaysTextInTheRealMessageBox();
    void pollOfMegabyteAnswersComesUpFastAndFitsTheScreen();

    void degenerateAnswersNeverHangAndAreJudgedExactly_data();
    void degenerateAnswersNeverHangAndAreJudgedExactly();

private:
    // Answers the question on screen right (the first button whose caption
    // is the correct one), through the verdict window.
    void answerRight();
    // Loads the game, then answers right up to question `level`.
    void playTo(int level);
    void writeLevel1(const QStringList &record);

    std::unique_ptr<PlatformStandIns> m_platform;
    std::unique_ptr<DataFolder> m_data;
    std::unique_ptr<Form2> m_form;
    SeededRandom m_random{7};
    int m_calls = 0;
};

void TestHostileContent::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    m_random = SeededRandom(7);
    Platform::setRandomSource(&m_random);
    m_data = std::make_unique<DataFolder>();
    m_data->copyShippedData();
    m_calls = 0;
    // Verdicts run to their end, calls to their last line.
    Platform::setModalHandler([this](QDialog &dialog) {
        if (auto *verdict = qobject_cast<Form3 *>(&dialog)) {
            for (int tick = 0; tick < 8; ++tick)
                verdict->Timer1_Timer();
        } else if (auto *call = qobject_cast<Form4 *>(&dialog)) {
            ++m_calls;
            for (int tick = 0; tick < 15; ++tick)
                call->Timer1_Timer();
            call->Command1_Click();
        }
        return dialog.result();
    });
    m_form = std::make_unique<Form2>();
}

void TestHostileContent::cleanup()
{
    m_form.reset();
    m_data.reset();
    m_platform.reset();
}

void TestHostileContent::answerRight()
{
    const int right = rightAnswerButton(*m_form);
    if (right < 0)
        QFAIL("no button shows the correct answer");
    m_form->Command_Click(right);
}

void TestHostileContent::playTo(int level)
{
    m_form->Form_Load();
    while (Module1.Level < level)
        answerRight();
}

void TestHostileContent::writeLevel1(const QStringList &record)
{
    QStringList lines;
    for (int i = 0; i < 10; ++i)
        lines << record;
    m_data->writeLines("data/qa/1.dat", lines);
}

void TestHostileContent::unusableFileEndsTheGameWhenItIsNeeded_data()
{
    QTest::addColumn<QString>("file");   // under data/
    QTest::addColumn<QString>("damage"); // missing, empty, short, folder
    QTest::addColumn<int>("level");      // the question on screen when it ends; 0 for the load
    QTest::addColumn<QString>("reason");
    for (const char *host : {"intrigue.dat", "Right.dat", "Wrong.dat"})
        QTest::addRow("%s missing", host) << QStringLiteral("host/") + host << "missing" << 0 << "Файл не найден.";
    for (int level = 1; level <= 15; ++level)
        QTest::addRow("%d.dat missing", level) << QStringLiteral("qa/%1.dat").arg(level) << "missing" << level - 1 << "Файл не найден.";
    QTest::newRow("zero-byte 1.dat") << "qa/1.dat" << "empty" << 0 << "В файле 0 строк, а нужно 50.";
    QTest::newRow("zero-byte Right.dat") << "host/Right.dat" << "empty" << 0 << "В файле 0 строк, а нужно 11.";
    QTest::newRow("short 7.dat after six questions") << "qa/7.dat" << "short" << 6 << "В файле 49 строк, а нужно 50.";
    QTest::newRow("12.dat is a folder") << "qa/12.dat" << "folder" << 11 << "Файл не удаётся прочитать.";
    // A device that never ends and a pipe that blocks its reader: before
    // only regular files were read, the game ran out of memory on the one
    // and hung on the other.
    QTest::newRow("4.dat leads to /dev/zero") << "qa/4.dat" << "device" << 3 << "Файл не удаётся прочитать.";
    QTest::newRow("Wrong.dat is a named pipe") << "host/Wrong.dat" << "pipe" << 0 << "Файл не удаётся прочитать.";
}

void TestHostileContent::unusableFileEndsTheGameWhenItIsNeeded()
{
    QFETCH(QString, file);
    QFETCH(QString, damage);
    QFETCH(int, level);
    QFETCH(QString, reason);
    const QString path = m_data->path() + "/data/" + file;
    if (damage == "short") {
        QStringList lines = DataFolder::levelLines(7);
        lines.removeLast();
        m_data->writeLines("data/" + file, lines);
    } else {
        QVERIFY(QFile::remove(path));
        if (damage == "empty")
            m_data->writeBytes("data/" + file, QByteArray());
        else if (damage == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (damage == "device")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (damage == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    }

    // The questions before it play through the real answer flow.
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, playTo(16));
    QCOMPARE(m_platform->ends, 1);
    QCOMPARE(m_platform->messages.size(), 1);
    const QString message = m_platform->messages.first().text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("Игра будет закрыта.")));
    QCOMPARE(m_platform->messages.first().icon, Platform::MessageIcon::Critical);
    if (level > 0)
        QCOMPARE(m_form->Label1->caption(), QStringLiteral("%1 вопрос").arg(level));
}

void TestHostileContent::missingDataFolderEndsTheLoadNamingTheFirstFile()
{
    QVERIFY(QDir(m_data->path() + "/data").removeRecursively());
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->Form_Load());
    QCOMPARE(m_platform->messages.size(), 1);
    const QString message = m_platform->messages.first().text;
    QVERIFY(message.contains(QDir::toNativeSeparators(m_data->path() + "/data/host/intrigue.dat")));
    QVERIFY(message.contains(QStringLiteral("Файл не найден.")));
    // Nothing was taken from a file that was not there.
    QVERIFY(Module1.IntrigueLines[1].isEmpty());
    QCOMPARE(Module1.Level, 0);
}

void TestHostileContent::megabyteLineIsOnScreenWithinASecond_data()
{
    QTest::addColumn<int>("line");  // which line of every record of 1.dat
    QTest::addColumn<bool>("words");
    QTest::newRow("question of words") << 0 << true;
    QTest::newRow("question without a blank") << 0 << false;
    QTest::newRow("correct answer of words") << 1 << true;
    QTest::newRow("wrong answer without a blank") << 3 << false;
}

void TestHostileContent::megabyteLineIsOnScreenWithinASecond()
{
    QFETCH(int, line);
    QFETCH(bool, words);
    QString text;
    text.reserve(1 << 20);
    while (text.size() < (1 << 20))
        text += words ? QStringLiteral("Длинный вопрос ") : QStringLiteral("ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ");
    QStringList record = DataFolder::levelLines(1).mid(0, 5);
    record[line] = text;
    writeLevel1(record);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

    // Read, presented and drawn; the best of three, so that another busy
    // process does not count against the game.
    qint64 elapsed = std::numeric_limits<qint64>::max();
    for (int attempt = 0; attempt < 3; ++attempt) {
        Module1 = GameState{};
        QElapsedTimer clock;
        clock.start();
        m_form->Form_Load();
        const QImage picture = m_form->grab().toImage();
        elapsed = std::min(elapsed, clock.elapsed());
        QVERIFY(!picture.isNull());
    }
    qInfo("a 1 MB line on screen after %lld ms", elapsed);
    QVERIFY2(elapsed < timeLimit(1000), qPrintable(QStringLiteral("%1 ms").arg(elapsed)));

    if (line == 0) {
        QCOMPARE(m_form->Label3->caption(), text);
    } else {
        int shown = 0;
        for (CaptionButton *button : m_form->Command)
            shown += button->caption().mid(5) == text;
        QCOMPARE(shown, 1);
    }
}

void TestHostileContent::zeroAndUnassignedBytesAreShownAsRead()
{
    // 0x00 and 0x98 (no character in Windows-1251) are kept as U+0000 and
    // U+0098, in the question and in the answers, and still judged.
    static const char record[] = "\x00\xc2\xee\xef\xf0\xee\xf1\x98?\r\n\x98\r\n\x00\r\nab\x00\x63\r\n\x98\x98\r\n";
    QByteArray bytes;
    for (int i = 0; i < 10; ++i)
        bytes += QByteArray(record, sizeof record - 1);
    m_data->writeBytes("data/qa/1.dat", bytes);
    m_form->show();
    m_form->Form_Load();
    m_form->repaint();
    QCOMPARE(m_form->Label3->caption(), QString::fromUtf16(u"\u0000Вопрос\u0098?", 9));
    QCOMPARE(Module1.CorrectAnswer, QString::fromUtf16(u"\u0098"));
    QStringList shown;
    for (CaptionButton *button : m_form->Command)
        shown << button->caption().mid(5);
    shown.sort();
    QStringList expected{QString::fromUtf16(u"\u0098"), QString(QChar(0)), QString::fromUtf16(u"ab\u0000c", 4),
                         QString::fromUtf16(u"\u0098\u0098")};
    expected.sort();
    QCOMPARE(shown, expected);
    answerRight();
    QCOMPARE(Module1.Level, 2);
}

void TestHostileContent::everyKindOfLineEndReadsTheSameRecords_data()
{
    QTest::addColumn<QByteArray>("lineEnds"); // one per line, cycled
    QTest::newRow("CR only") << QByteArray("\r");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("mixed CR and CR LF") << QByteArray("\r\r\n\r\r\r\n");
}

void TestHostileContent::everyKindOfLineEndReadsTheSameRecords()
{
    QFETCH(QByteArray, lineEnds);
    // Each line of level 1 and of intrigue.dat gets the next line end of
    // the cycle; a lone LF inside a text stays part of it.
    const auto write = [&](const QString &file, QStringList lines) {
        QByteArray bytes;
        qsizetype next = 0;
        for (const QString &line : lines) {
            bytes += toWindows1251(line);
            if (lineEnds.mid(next, 2) == "\r\n") {
                bytes += "\r\n";
                next += 2;
            } else {
                bytes += "\r";
                next += 1;
            }
            next %= lineEnds.size();
        }
        m_data->writeBytes(file, bytes);
    };
    QStringList level = DataFolder::levelLines(1);
    for (int record = 0; record < 10; ++record)
        level[record * 5] += QStringLiteral("\nвторая строка вопроса");
    write("data/qa/1.dat", level);
    QStringList intrigue;
    for (int i = 1; i <= 16; ++i)
        intrigue << QStringLiteral("Интрига %1").arg(i);
    write("data/host/intrigue.dat", intrigue);

    m_form->Form_Load();
    const int record = Module1.QuestionIndex;
    QCOMPARE(m_form->Label3->caption(), QStringLiteral("Вопрос 1.%1\nвторая строка вопроса").arg(record));
    QCOMPARE(Module1.CorrectAnswer, QStringLiteral("Верно 1.%1").arg(record));
    QCOMPARE(Module1.IntrigueLines[16], QStringLiteral("Интрига 16"));
    for (int r = 1; r <= 10; ++r)
        QCOMPARE(Module1.AnswerTexts[r][4], QStringLiteral("Мимо 1.%1 в").arg(r));
}

void TestHostileContent::markupAmpersandsAndDirectionMarksStayText()
{
    // Windows-1251 has no direction marks: pasted from a UTF-8 editor, a
    // right-to-left mark and an override arrive as their bytes' letters
    // and are shown as such, after the letter prefix.
    QByteArray bytes;
    for (int record = 0; record < 10; ++record) {
        bytes += "<b>\xc6\xe8\xf0\xed\xfb\xe9</b> & <a href=\"x\">\xf1\xf1\xfb\xeb\xea\xe0</a>?\r\n";
        bytes += "&\xc2\xe5\xf0\xed\xee\r\n";
        bytes += "a && b\r\n";
        bytes += "\xe2\x80\x8f" "abc\r\n";    // U+200F in UTF-8
        bytes += "\xe2\x80\xae" "&nbsp;\r\n"; // U+202E in UTF-8
    }
    m_data->writeBytes("data/qa/1.dat", bytes);
    m_form->show();
    m_form->Form_Load();
    m_form->repaint();

    QCOMPARE(m_form->Label3->caption(), QStringLiteral("<b>Жирный</b> & <a href=\"x\">ссылка</a>?"));
    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        QVERIFY(m_form->Command[i]->caption().startsWith(Rules::answerPrefix(i)));
        shown << m_form->Command[i]->caption().mid(5);
    }
    shown.sort();
    QStringList expected{QStringLiteral("&Верно"), QStringLiteral("a && b"), QStringLiteral("вЂЏabc"), QStringLiteral("вЂ®&nbsp;")};
    expected.sort();
    QCOMPARE(shown, expected);
    // The ampersand is no accelerator: only the letter chords are.
    for (int i = 0; i < 4; ++i)
        QCOMPARE(m_form->Command[i]->shortcut(), QKeySequence(QStringLiteral("Alt+") + QChar(u'A' + i)));
}

void TestHostileContent::markupInThePollStaysTextInTheRealMessageBox()
{
    // The audience poll quotes the captions in a real message box: markup
    // and ampersands must reach the player as typed.
    writeLevel1({"Вопрос?", "<b>жирно</b>", "&amp;", "a & b", "<br>"});
    m_form->Form_Load();
    Platform::setMessageBoxHandler({});
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        format = box->textFormat();
        shownText = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    m_form->Command9_Click();
    QCOMPARE(format, Qt::PlainText);
    for (const char *answer : {"<b>жирно</b>", "&amp;", "a & b", "<br>"})
        QVERIFY2(shownText.contains(QString::fromUtf8(answer)), qPrintable(shownText));
}

void TestHostileContent::pollOfMegabyteAnswersComesUpFastAndFitsTheScreen()
{
    // The poll quotes every caption. A standard message box took ten
    // seconds to lay out a megabyte answer and grew hundreds of thousands
    // of pixels tall, its OK button out of reach.
    const QString text = QString(1 << 20, QChar(u'Ж'));
    writeLevel1({"Вопрос?", text, "б", "в", "г"});
    m_form->show();
    m_form->Form_Load();
    Platform::setMessageBoxHandler({});
    QElapsedTimer clock;
    qint64 upAfter = -1;
    QRect geometry;
    QString shown;
    bool closedByEscape = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        upAfter = clock.elapsed();
        geometry = box->frameGeometry();
        if (auto *field = box->findChild<QPlainTextEdit *>(QStringLiteral("text")))
            shown = field->toPlainText();
        QTest::keyClick(box, Qt::Key_Escape);
        closedByEscape = !box->isVisible();
    });
    clock.start();
    m_form->Command9_Click();
    QVERIFY(upAfter >= 0);
    qInfo("the poll came up after %lld ms", upAfter);
    QVERIFY2(upAfter < timeLimit(1000), qPrintable(QStringLiteral("%1 ms").arg(upAfter)));
    QVERIFY(m_form->screen()->availableGeometry().contains(geometry));
    QVERIFY(closedByEscape);
    QVERIFY(shown.contains(text));
    QVERIFY(shown.startsWith(QStringLiteral("Помощь аудитории:")));
}

void TestHostileContent::degenerateAnswersNeverHangAndAreJudgedExactly_data()
{
    QTest::addColumn<QStringList>("record");
    QTest::addColumn<int>("rightAnswers"); // buttons the verdict judges right
    QTest::addColumn<int>("takenAway");    // answers fifty-fifty disables
    QTest::newRow("empty correct answer") << QStringList{"Пусто?", "", "а", "б", "в"} << 1 << 0;
    QTest::newRow("four equal answers") << QStringList{"Все равны?", "да", "да", "да", "да"} << 4 << 0;
    QTest::newRow("correct text inside every other answer")
        << QStringList{"Рим?", "Рим", "Рима", "В Риме", "Римский"} << 1 << 0;
    QTest::newRow("correct text inside one other answer")
        << QStringList{"Рим?", "Рим", "Рима", "Париж", "Лондон"} << 1 << 2;
    QTest::newRow("three equal wrong answers") << QStringList{"Один?", "да", "нет", "нет", "нет"} << 1 << 2;
}

void TestHostileContent::degenerateAnswersNeverHangAndAreJudgedExactly()
{
    // The lifelines' redraw loops would spin for ever on some of these; the
    // game must come back with every lifeline used and the question on.
    QFETCH(QStringList, record);
    QFETCH(int, rightAnswers);
    QFETCH(int, takenAway);
    writeLevel1(record);
    m_form->Form_Load();

    QElapsedTimer clock;
    clock.start();
    m_form->Command6_Click();
    m_form->Command8_Click();
    m_form->Command9_Click();
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(m_calls, 1);
    int disabled = 0;
    for (CaptionButton *button : m_form->Command)
        disabled += !button->isEnabled();
    QCOMPARE(disabled, takenAway);
    QCOMPARE(m_platform->messages.size(), 1); // the poll
    QCOMPARE(Module1.Level, 1);

    // Which buttons the verdict judges right: each is clicked once, in a
    // game that starts afresh from the same draws.
    int right = 0;
    for (int i = 0; i < 4; ++i) {
        Module1 = GameState{};
        m_random = SeededRandom(7);
        m_form->Form_Load();
        try {
            m_form->Command_Click(i);
            ++right;
            QCOMPARE(Module1.Level, 2);
        } catch (const ProgramEnded &) {
            QCOMPARE(m_platform->messages.last().text, QStringLiteral("Игра окончена. Ваш выигрыш составил 0 рублей."));
        }
    }
    QCOMPARE(right, rightAnswers);
}

QTEST_MAIN(TestHostileContent)
#include "tst_hostilecontent.moc"
