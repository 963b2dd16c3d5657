// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/module1.h"
#include "game/rules.h"
#include "lifelines/form4.h"
#include "testsupport.h"
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>

// An automated player: thousands of complete games through the real
// windows, from the title screen to the end of the program, with the
// game's draws coming from a seeded generator and the player's choices
// from another (game n uses seed n for both, so any game replays alone:
// KVIZORA_FIRST_GAME=n KVIZORA_GAMES=1). The player answers, uses the
// lifelines in any order and again after use, asks to leave and says No
// or Yes, closes the game screen and the call window from outside, and
// plays some games to the top prize. After every step it checks what the
// game state and the screen must keep.
class TestAutoPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void thousandsOfGamesKeepEveryInvariant();
};

namespace {

// Thrown when the game breaks a rule it must keep.
struct Broken : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

void expect(bool condition, const QString &what)
{
    if (!condition)
        throw Broken(what.toStdString());
}

// The sums as the ladder shows them, written out here rather than taken
// from the game.
const std::array<const char *, 16> LadderSums = {"",       "100",    "200",     "300",     "500",     "1.000",
                                                 "2.000",  "4.000",  "8.000",   "16.000",  "32.000",  "64.000",
                                                 "125.000", "250.000", "500.000", "1.000.000"};

QString gameOver(const QString &sum)
{
    return QStringLiteral("Игра окончена. Ваш выигрыш составил ") + sum + QStringLiteral(" рублей.");
}

const QString Refusal = QStringLiteral("Эту подсказку вы уже использовали.");
const QString FriendSays = QStringLiteral("Друг: Помоему, ");
const QString FriendDoesNotKnow = QStringLiteral("Друг: К сожадению, я этого не знаю, ");

enum class Ending { WrongAnswer, TookTheMoney, TopPrizeClosed, TopPrizeClosedOtherwise };

struct Tally
{
    int games = 0;
    std::map<Ending, int> endings;
    int answers = 0;
    int rightAnswers = 0;
    std::array<int, 3> lifelinesUsed{};
    int refusals = 0;
    int quitNo = 0;
    int closeRequestsRefused = 0;
    int callsHungUpEarly = 0;
    int minimised = 0;
    int steps = 0;
    std::array<int, 17> reached{}; // games by the highest question on screen
};

// Two content sets: the shipped one, and one that is as hostile as the
// files allow (empty, equal and nested answers, markup, control bytes,
// lone line feeds, long lines, CR-only line ends).
void writeHostileContent(DataFolder &data)
{
    data.writeHostFiles();
    const QString longText = QString(4000, QChar(u'Ж')) + QStringLiteral(" конец");
    for (int level = 1; level <= 15; ++level) {
        QStringList lines;
        for (int record = 1; record <= 10; ++record) {
            const QString id = QStringLiteral("%1.%2").arg(level).arg(record);
            switch ((level + record) % 6) {
            case 0: // empty correct answer
                lines << QStringLiteral("Пусто? ") + id << QString() << QStringLiteral("а") << QStringLiteral("б")
                      << QStringLiteral("в");
                break;
            case 1: // four equal answers
                lines << QStringLiteral("Одинаковые ") + id << QStringLiteral("да") << QStringLiteral("да")
                      << QStringLiteral("да") << QStringLiteral("да");
                break;
            case 2: // the correct text inside every other answer
                lines << QStringLiteral("Рим? ") + id << QStringLiteral("Рим") << QStringLiteral("Рима")
                      << QStringLiteral("В Риме") << QStringLiteral("Римский");
                break;
            case 3: // markup, ampersands, a lone line feed
                lines << QStringLiteral("<b>Жирный</b> & <i>курсив</i>?\n") + id << QStringLiteral("&Верно")
                      << QStringLiteral("<br>") << QStringLiteral("a&&b") << QStringLiteral("&");
                break;
            case 4: // control bytes and the unassigned 0x98
                lines << QString::fromUtf16(u"\u0000\u0098 ") + id << QString::fromUtf16(u"\u0098") << QStringLiteral("\t")
                      << QString::fromUtf16(u"\u0000") << QStringLiteral(" ");
                break;
            default: // long texts
                lines << longText + id << longText << longText + QStringLiteral("!") << QStringLiteral("x") << QStringLiteral("y");
                break;
            }
        }
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += toWindows1251(line) + (level % 3 == 0 ? "\r" : "\r\n");
        data.writeBytes(QStringLiteral("data/qa/%1.dat").arg(level), bytes);
    }
    // The used-lifeline pictures come from the shipped folder.
    for (const char *picture : {"5050d.gif", "Phoned.gif", "Audid.gif"}) {
        QFile file(qEnvironmentVariable("KVIZORA_SOURCE_DIR") + QStringLiteral("/data/gfx/") + QLatin1String(picture));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("shipped picture missing");
        data.writeBytes(QStringLiteral("data/gfx/") + QLatin1String(picture), file.readAll());
    }
}

// One game, from "ИГРАТЬ" to the end of the program.
class Game
{
public:
    Game(int number, const QString &folder, Tally &tally)
        : m_random(std::uint64_t(number))
        , m_choices(std::uint32_t(number) ^ 0x5eedu)
        , m_tally(tally)
    {
        Module1 = GameState{};
        Platform::setRandomSource(&m_random);
        Platform::setProgramFolder(folder);
        Platform::setModalHandler([this](QDialog &dialog) { return driveModal(dialog); });
        // The stand-ins' boxes, and a look at the clocks whenever a box
        // waits for the player: the game must be idle then.
        Platform::setMessageBoxHandler([this](const QString &text, Platform::MessageButtons buttons, Platform::MessageIcon icon) {
            m_platform.messages.append({text, buttons, icon});
            expect(!m_verdict || !m_verdict->Timer1.isActive(), QStringLiteral("the verdict clock ticks behind a message"));
            if (buttons == Platform::MessageButtons::Ok)
                return Platform::MessageResult::Ok;
            expect(!m_platform.answers.isEmpty(), QStringLiteral("an unexpected question: ") + text);
            return m_platform.answers.takeFirst();
        });
        // A player who knows the answer this often, and who asks to leave
        // this often; a quarter of the players know every answer.
        m_skill = std::array<double, 4>{0.0, 0.6, 0.9, 1.0}[pick(4)];
        m_quitChance = std::array<double, 3>{0.0, 0.03, 0.15}[pick(3)];
        m_paint = number % 16 == 0;
    }

    ~Game()
    {
        qDeleteAll(QApplication::topLevelWidgets());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void play();

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_choices); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(m_choices) < p; }

    void start();
    void step();
    void answer();
    void useLifeline(int lifeline);
    void askToLeave();
    void requestClose();
    void minimiseAndRestore();

    int driveModal(QDialog &dialog);
    int driveVerdict(Form3 &verdict);
    int driveCall(Form4 &call);
    int driveVictory(Form5 &victory);

    void checkScreen();
    void checkEnd(Ending ending);
    QStringList captions() const;
    bool holds(int button) const { return Rules::holdsCorrectAnswer(m_form->Command[button]->caption(), Module1.CorrectAnswer); }
    int wrongCaptions() const;

    SeededRandom m_random;
    std::mt19937 m_choices;
    Tally &m_tally;
    PlatformStandIns m_platform;
    Form2 *m_form = nullptr;
    double m_skill = 0;
    double m_quitChance = 0;
    bool m_paint = false;

    // What the game must show, tracked by the player.
    int m_question = 0;
    std::array<bool, 3> m_used{};
    std::array<bool, 4> m_disabled{};
    qsizetype m_messagesSeen = 0;
    int m_chosen = -1;
    int m_calls = 0;
    bool m_verdictRight = false;
    std::optional<Ending> m_victoryEnding;
    Form3 *m_verdict = nullptr; // while one is open
};

void Game::play()
{
    // The stand-ins replace the seams; the generator and the folder are
    // this game's.
    Platform::setRandomSource(&m_random);
    start();
    try {
        for (;;) {
            checkScreen();
            step();
            ++m_tally.steps;
        }
    } catch (const ProgramEnded &) {
    }
}

void Game::start()
{
    auto *title = new Form1;
    title->show();
    title->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QWidgetList windows = QApplication::topLevelWidgets();
    expect(windows.size() == 1, QStringLiteral("the title screen did not leave the game screen alone"));
    m_form = qobject_cast<Form2 *>(windows.first());
    expect(m_form && m_form->isVisible(), QStringLiteral("no game screen after ИГРАТЬ"));
    expect(m_random.seeds == 1, QStringLiteral("the load did not seed the generator once"));
    m_question = 1;
}

void Game::step()
{
    if (chance(m_quitChance))
        return askToLeave();
    switch (pick(12)) {
    case 0:
    case 1:
        return useLifeline(pick(3));
    case 2:
        if (chance(0.3))
            return requestClose();
        break;
    case 3:
        if (chance(0.1))
            return minimiseAndRestore();
        break;
    default:
        break;
    }
    answer();
}

void Game::answer()
{
    QList<int> enabled;
    QList<int> right;
    for (int i = 0; i < 4; ++i) {
        if (!m_form->Command[i]->isEnabled())
            continue;
        enabled << i;
        if (Rules::isRightAnswer(m_form->Command[i]->caption(), Module1.CorrectAnswer))
            right << i;
    }
    expect(!enabled.isEmpty(), QStringLiteral("no answer can be clicked"));
    m_chosen = chance(m_skill) && !right.isEmpty() ? right[pick(int(right.size()))] : enabled[pick(int(enabled.size()))];
    m_verdictRight = Rules::isRightAnswer(m_form->Command[m_chosen]->caption(), Module1.CorrectAnswer);
    ++m_tally.answers;

    const int question = m_question;
    try {
        m_form->Command_Click(m_chosen);
    } catch (const ProgramEnded &) {
        if (m_victoryEnding)
            checkEnd(*m_victoryEnding);
        else
            checkEnd(Ending::WrongAnswer);
        throw;
    }
    expect(m_verdictRight, QStringLiteral("a wrong answer led on"));
    expect(question < 15, QStringLiteral("the top prize did not end the program"));
    ++m_tally.rightAnswers;
    m_question = question + 1;
    m_disabled = {};
    expect(m_form->Command[m_chosen]->foreColor() == QColor(255, 247, 166), QStringLiteral("the judged button kept black text"));
}

int Game::wrongCaptions() const
{
    int n = 0;
    for (int i = 0; i < 4; ++i)
        n += holds(i) ? 0 : 1;
    return n;
}

void Game::useLifeline(int lifeline)
{
    const QStringList before = captions();
    const std::array<bool, 4> disabledBefore = m_disabled;
    const int callsBefore = m_calls;
    const qsizetype messagesBefore = m_platform.messages.size();
    const std::array<CaptionButton *, 3> buttons = {m_form->Command6, m_form->Command8, m_form->Command9};
    const QPixmap pictureBefore = buttons[lifeline]->picture();

    switch (lifeline) {
    case 0:
        m_form->Command6_Click();
        break;
    case 1:
        m_form->Command8_Click();
        break;
    default:
        m_form->Command9_Click();
        break;
    }
    expect(m_form->focusWidget() == m_form->Command10, QStringLiteral("a lifeline click left the focus elsewhere"));
    expect(captions() == before, QStringLiteral("a lifeline changed a caption"));

    if (m_used[lifeline]) {
        // Refused: one message, nothing else.
        ++m_tally.refusals;
        expect(m_platform.messages.size() == messagesBefore + 1 && m_platform.messages.last().text == Refusal,
               QStringLiteral("a second use was not refused"));
        expect(m_calls == callsBefore, QStringLiteral("a refused call opened the call window"));
        expect(buttons[lifeline]->picture().cacheKey() == pictureBefore.cacheKey(), QStringLiteral("a refusal changed the picture"));
        m_messagesSeen = m_platform.messages.size();
        return;
    }
    m_used[lifeline] = true;
    ++m_tally.lifelinesUsed[lifeline];
    expect(buttons[lifeline]->picture().cacheKey() != pictureBefore.cacheKey(), QStringLiteral("no used picture"));

    if (lifeline == 0) {
        int newlyDisabled = 0;
        for (int i = 0; i < 4; ++i) {
            const bool disabled = !m_form->Command[i]->isEnabled();
            if (disabled && !disabledBefore[i]) {
                ++newlyDisabled;
                expect(!holds(i), QStringLiteral("fifty-fifty took away the correct answer"));
            }
            m_disabled[i] = disabled;
        }
        expect(newlyDisabled == std::min(2, wrongCaptions()), QStringLiteral("fifty-fifty disabled %1 answers").arg(newlyDisabled));
        expect(m_platform.messages.size() == messagesBefore, QStringLiteral("fifty-fifty showed a message"));
    } else if (lifeline == 1) {
        expect(m_calls == callsBefore + 1, QStringLiteral("the call window did not open"));
    } else {
        expect(m_platform.messages.size() == messagesBefore + 1, QStringLiteral("no audience poll"));
        const auto &poll = m_platform.messages.last();
        expect(poll.icon == Platform::MessageIcon::Information, QStringLiteral("the poll has no information icon"));
        const QStringList lines = poll.text.split(QStringLiteral("\r\n"));
        expect(lines.size() == 8 && lines[0] == QStringLiteral("Помощь аудитории:") && lines[2].isEmpty() && lines[7].isEmpty(),
               QStringLiteral("the poll is laid out wrongly"));
        int total = 0;
        for (int i = 0; i < 4; ++i) {
            const QString marker = QStringLiteral("% за    ");
            const qsizetype at = lines[3 + i].indexOf(marker);
            expect(at > 0 && lines[3 + i].mid(at + marker.size()) == before[i], QStringLiteral("poll line %1 is wrong").arg(i));
            total += lines[3 + i].left(at).toInt();
        }
        expect(total == 100, QStringLiteral("the poll sums to %1").arg(total));
    }
    m_messagesSeen = m_platform.messages.size();
    for (int i = 0; i < 4; ++i)
        expect(m_form->Command[i]->isEnabled() == !m_disabled[i], QStringLiteral("a lifeline changed another answer"));
}

void Game::askToLeave()
{
    const bool yes = chance(0.5);
    m_platform.answers << (yes ? Platform::MessageResult::Yes : Platform::MessageResult::No);
    const qsizetype before = m_platform.messages.size();
    try {
        m_form->CommandButton2_Click();
    } catch (const ProgramEnded &) {
        expect(yes, QStringLiteral("No at the quit question ended the game"));
        expect(m_platform.messages.size() == before + 2 && m_platform.messages[before].text == QStringLiteral("Хотите выйти?"),
               QStringLiteral("leaving did not ask first"));
        checkEnd(Ending::TookTheMoney);
        throw;
    }
    expect(!yes, QStringLiteral("Yes at the quit question did not end the game"));
    expect(m_platform.messages.size() == before + 1 && m_platform.messages.last().buttons == Platform::MessageButtons::YesNo,
           QStringLiteral("no quit question"));
    m_messagesSeen = m_platform.messages.size();
    ++m_tally.quitNo;
}

void Game::requestClose()
{
    // From the window system, or as Alt+F4 gives it; the player says No.
    m_platform.answers << Platform::MessageResult::No;
    if (chance(0.5))
        m_form->close();
    else
        m_form->windowHandle()->close();
    expect(m_form->isVisible(), QStringLiteral("a refused close request closed the game screen"));
    expect(m_platform.answers.isEmpty(), QStringLiteral("a close request did not ask"));
    m_messagesSeen = m_platform.messages.size();
    ++m_tally.closeRequestsRefused;
}

void Game::minimiseAndRestore()
{
    m_form->CommandButton1_Click();
    expect(m_form->isMinimized() && m_form->windowTitle() == QStringLiteral("Ступенион?"),
           QStringLiteral("the minimised window does not carry the title"));
    m_form->showNormal();
    expect(!m_form->isMinimized() && m_form->windowTitle().isEmpty(), QStringLiteral("the restored window has a title"));
    ++m_tally.minimised;
}

int Game::driveModal(QDialog &dialog)
{
    if (auto *verdict = qobject_cast<Form3 *>(&dialog))
        return driveVerdict(*verdict);
    if (auto *call = qobject_cast<Form4 *>(&dialog))
        return driveCall(*call);
    if (auto *victory = qobject_cast<Form5 *>(&dialog))
        return driveVictory(*victory);
    throw Broken("an unknown window opened");
}

int Game::driveVerdict(Form3 &verdict)
{
    m_verdict = &verdict;
    const auto gone = qScopeGuard([this] { m_verdict = nullptr; });
    CaptionButton *button = m_form->Command[m_chosen];
    const QColor amber(255, 220, 80);
    expect(Module1.Level == m_question + 1, QStringLiteral("Level was not advanced when the answer was clicked"));
    expect(Module1.ChosenAnswer == m_chosen + 1, QStringLiteral("the wrong answer was recorded"));
    expect(verdict.Label1->caption() == QStringLiteral("Ответ принят..."), QStringLiteral("the verdict did not open accepted"));
    expect(verdict.Timer1.isActive() && verdict.Timer1.interval() == 1000, QStringLiteral("the verdict clock is not running"));
    expect(m_form->focusWidget() == m_form->Command10, QStringLiteral("the clicked answer kept the focus"));
    for (int tick = 1; tick <= 7; ++tick) {
        verdict.Timer1_Timer();
        const QString line = verdict.Label1->caption();
        if (tick < 2) {
            expect(line == QStringLiteral("Ответ принят..."), QStringLiteral("the verdict moved on early"));
        } else if (tick < 6) {
            const auto first = Module1.IntrigueLines.begin() + 1;
            expect(std::find(first, first + 15, line) != first + 15, QStringLiteral("no suspense line from 1..15"));
        } else {
            const QString *first = m_verdictRight ? &Module1.RightLines[1] : &Module1.WrongLines[1];
            const QString *last = first + (m_verdictRight ? 11 : 7);
            expect(std::find(first, last, line) != last, QStringLiteral("the verdict line is not from the right file"));
        }
        const QColor expected = tick < 6 ? amber : (m_verdictRight ? QColor(192, 255, 192) : QColor(255, 80, 0));
        expect(button->backColor() == expected, QStringLiteral("the judged button has the wrong colour at %1 s").arg(tick));
        expect(button->foreColor() == QColor(Qt::black), QStringLiteral("the judged button's text is not black"));
        for (int i = 0; i < 4; ++i)
            expect(i == m_chosen || m_form->Command[i]->backColor() == QColor(Qt::black),
                   QStringLiteral("another button changed colour"));
    }
    expect(Module1.AnswerWasRight == (m_verdictRight ? 1 : 0), QStringLiteral("the verdict disagrees with the captions"));
    verdict.Timer1_Timer(); // a wrong answer ends the game here
    expect(m_verdictRight, QStringLiteral("the eighth second did not end the game after a wrong answer"));
    expect(verdict.result() == QDialog::Accepted && !verdict.Timer1.isActive(), QStringLiteral("the verdict did not close itself"));
    return verdict.result();
}

int Game::driveCall(Form4 &call)
{
    ++m_calls;
    expect(call.CallStep == 0 && call.Label1->caption().isEmpty() && !call.Command1->isEnabled(),
           QStringLiteral("the call did not start from its design"));
    const int hangUpAt = chance(0.1) ? 1 + pick(14) : 0;
    for (int step = 1; step <= 15; ++step) {
        if (step == hangUpAt) {
            // Closed by the window system before the end: the call stops.
            call.show();
            call.windowHandle()->close();
            expect(!call.isVisible() && !call.Timer1->isActive(), QStringLiteral("an early close left the call running"));
            ++m_tally.callsHungUpEarly;
            return call.result();
        }
        expect(!call.Command1->isEnabled(), QStringLiteral("the call could be closed early"));
        call.Timer1_Timer();
    }
    expect(!call.Timer1->isActive() && call.Command1->isEnabled(), QStringLiteral("the call did not end at step 15"));
    const QStringList lines = call.Label1->caption().split(QStringLiteral("\r\n"));
    expect(lines.size() == 12, QStringLiteral("the call has %1 lines").arg(lines.size()));
    expect(lines[2].contains(QLatin1String(LadderSums[m_question])), QStringLiteral("the call names the wrong sum"));
    expect(lines[5] == QStringLiteral("Игрок: Привет! ") + m_form->Label3->caption(), QStringLiteral("the call misquotes the question"));
    const QString friendLine = lines[7];
    bool known = friendLine == FriendSays + Module1.CorrectAnswer || friendLine == FriendDoesNotKnow;
    for (int i = 0; i < 4; ++i)
        known = known || (friendLine == FriendSays + m_form->Command[i]->caption() && !holds(i));
    expect(known, QStringLiteral("the friend said something he cannot say"));
    call.Command1_Click();
    return call.result();
}

int Game::driveVictory(Form5 &victory)
{
    expect(Module1.Level == 16 && m_question == 15, QStringLiteral("the victory window opened before the top prize"));
    victory.show();
    expect(victory.Timer1.isActive(), QStringLiteral("the notes do not fall"));
    const int ticks = pick(30);
    for (int tick = 0; tick < ticks; ++tick) {
        victory.Timer1_Timer();
        for (const Banknotes::Note &note : victory.notes)
            expect(note.y <= victory.scaleHeight() + 40 && note.x >= 0 && note.speed >= 10 && note.speed <= 40,
                   QStringLiteral("a banknote left its range"));
    }
    if (chance(0.8)) {
        m_victoryEnding = Ending::TopPrizeClosed;
        victory.CommandButton1_Click();
    }
    // Closed by the window system: the game ends all the same.
    m_victoryEnding = Ending::TopPrizeClosedOtherwise;
    victory.windowHandle()->close();
    expect(!victory.Timer1.isActive(), QStringLiteral("the notes fall on after the close"));
    return victory.result();
}

QStringList Game::captions() const
{
    QStringList list;
    for (CaptionButton *button : m_form->Command)
        list << button->caption();
    return list;
}

void Game::checkScreen()
{
    if (m_paint) {
        m_form->repaint();
        QCoreApplication::processEvents();
    }
    expect(Module1.Level == m_question && Module1.Level >= 1 && Module1.Level <= 15,
           QStringLiteral("Level is %1 at question %2").arg(Module1.Level).arg(m_question));
    const int record = Module1.QuestionIndex;
    expect(record >= 1 && record <= 10, QStringLiteral("QuestionIndex is %1").arg(record));
    expect(m_form->Label1->caption() == QStringLiteral("%1 вопрос").arg(m_question), QStringLiteral("wrong question number"));
    expect(m_form->Label3->caption() == Module1.QuestionTexts[record], QStringLiteral("the question is not its file's text"));
    expect(Module1.CorrectAnswer == Module1.AnswerTexts[record][1], QStringLiteral("CorrectAnswer is not the record's"));

    // Every caption has its prefix, and the four show the record's four
    // answers, each once.
    QStringList shown;
    QStringList answers;
    for (int i = 0; i < 4; ++i) {
        const QString caption = m_form->Command[i]->caption();
        expect(caption.startsWith(Rules::answerPrefix(i)), QStringLiteral("button %1 lost its prefix").arg(i));
        shown << caption.mid(5);
        answers << Module1.AnswerTexts[record][i + 1];
        expect(m_form->Command[i]->backColor() == QColor(Qt::black), QStringLiteral("button %1 is not black").arg(i));
        expect(m_form->Command[i]->foreColor() == QColor(255, 247, 166), QStringLiteral("button %1 text colour").arg(i));
        expect(m_form->Command[i]->isEnabled() == !m_disabled[i], QStringLiteral("button %1 enabled state").arg(i));
    }
    shown.sort();
    answers.sort();
    expect(shown == answers, QStringLiteral("the buttons do not show the record's answers"));

    // One highlighted ladder label, the current one; the sums as designed.
    for (int level = 1; level <= 15; ++level) {
        CaptionLabel *label = m_form->Label4[level];
        const bool current = level == m_question;
        expect(label->isUnderlined() == current && label->backColor() == (current ? QColor(71, 94, 138) : QColor(Qt::black)),
               QStringLiteral("ladder label %1 is marked wrongly").arg(level));
        expect(label->caption() == QLatin1String(LadderSums[level]), QStringLiteral("ladder caption %1 changed").arg(level));
    }

    // Each lifeline used at most once, and its flag says so.
    const std::array<std::int16_t, 3> flags = {Module1.FiftyFiftyUsed, Module1.PhoneUsed, Module1.AudienceUsed};
    for (int l = 0; l < 3; ++l)
        expect(flags[l] == (m_used[l] ? FlagSet : FlagClear), QStringLiteral("lifeline flag %1 is %2").arg(l).arg(flags[l]));

    // Idle: only the game screen is open, no timer runs, no message is new.
    const QWidgetList windows = QApplication::topLevelWidgets();
    expect(windows.size() == 1 && windows.first() == m_form, QStringLiteral("a window stayed open"));
    for (QTimer *timer : m_form->findChildren<QTimer *>())
        expect(!timer->isActive(), QStringLiteral("a timer runs while the game waits"));
    expect(m_platform.messages.size() == m_messagesSeen, QStringLiteral("an unexpected message"));
    expect(m_platform.ends == 0, QStringLiteral("the program ended and the game went on"));
    expect(m_form->isVisible() && !m_form->isMinimized(), QStringLiteral("the game screen is not on screen"));
}

void Game::checkEnd(Ending ending)
{
    expect(m_platform.ends == 1, QStringLiteral("the program ended %1 times").arg(m_platform.ends));
    const auto &messages = m_platform.messages;
    switch (ending) {
    case Ending::WrongAnswer: {
        expect(!m_verdictRight, QStringLiteral("a right answer ended the game"));
        const int q = m_question;
        const QString sum = q <= 5 ? QStringLiteral("0") : q <= 10 ? QStringLiteral("1000") : QStringLiteral("32000");
        expect(messages.size() == m_messagesSeen + 1 && messages.last().text == gameOver(sum),
               QStringLiteral("wrong answer to question %1 reported %2").arg(q).arg(messages.isEmpty() ? QString() : messages.last().text));
        expect(Module1.Level == q + 1, QStringLiteral("Level after a wrong answer"));
        break;
    }
    case Ending::TookTheMoney: {
        const QString sum = m_question == 1 ? QStringLiteral("0") : QLatin1String(LadderSums[m_question - 1]);
        expect(messages.last().text == gameOver(sum), QStringLiteral("taking the money at %1 reported %2").arg(m_question).arg(messages.last().text));
        break;
    }
    case Ending::TopPrizeClosed:
    case Ending::TopPrizeClosedOtherwise:
        expect(messages.size() == m_messagesSeen, QStringLiteral("the top prize showed a message"));
        expect(m_verdictRight && m_question == 15, QStringLiteral("the top prize came early"));
        break;
    }
    ++m_tally.endings[ending];
    m_tally.reached[m_question] += 1;
}

} // namespace

void TestAutoPlayer::initTestCase()
{
    Appearance::setUpApplication();
}

void TestAutoPlayer::cleanupTestCase()
{
    qDeleteAll(QApplication::topLevelWidgets());
}

void TestAutoPlayer::thousandsOfGamesKeepEveryInvariant()
{
    const int games = qEnvironmentVariableIsSet("KVIZORA_GAMES") ? qEnvironmentVariableIntValue("KVIZORA_GAMES") : 2000;
    const int first = qEnvironmentVariableIntValue("KVIZORA_FIRST_GAME");
    DataFolder shipped;
    shipped.copyShippedData();
    DataFolder hostile;
    writeHostileContent(hostile);

    Tally tally;
    QElapsedTimer clock;
    clock.start();
    for (int number = first; number < first + games; ++number) {
        // Every fourth game plays the hostile content.
        const QString folder = number % 4 == 3 ? hostile.path() : shipped.path();
        try {
            Game game(number, folder, tally);
            game.play();
        } catch (const Broken &broken) {
            QFAIL(qPrintable(QStringLiteral("game %1 (replay it with KVIZORA_FIRST_GAME=%1 KVIZORA_GAMES=1): %2")
                                 .arg(number)
                                 .arg(QString::fromStdString(broken.what()))));
        }
        ++tally.games;
    }

    const auto ended = [&](Ending e) { return tally.endings[e]; };
    qInfo("%d games in %lld ms: %d wrong answers, %d taken the money, %d top prizes (%d closed by ЗАКРЫТЬ, %d otherwise)",
          tally.games, clock.elapsed(), ended(Ending::WrongAnswer), ended(Ending::TookTheMoney),
          ended(Ending::TopPrizeClosed) + ended(Ending::TopPrizeClosedOtherwise), ended(Ending::TopPrizeClosed),
          ended(Ending::TopPrizeClosedOtherwise));
    qInfo("%d steps, %d answers (%d right); lifelines used %d/%d/%d, %d refused; %d No to leaving, %d close requests "
          "refused, %d calls closed early, %d minimised",
          tally.steps, tally.answers, tally.rightAnswers, tally.lifelinesUsed[0], tally.lifelinesUsed[1],
          tally.lifelinesUsed[2], tally.refusals, tally.quitNo, tally.closeRequestsRefused, tally.callsHungUpEarly,
          tally.minimised);
    QString reached;
    for (int q = 1; q <= 15; ++q)
        reached += QStringLiteral(" %1:%2").arg(q).arg(tally.reached[q]);
    qInfo("games by the question they ended at:%s", qPrintable(reached));

    QCOMPARE(tally.games, games);
    int endings = 0;
    for (const auto &[ending, count] : tally.endings)
        endings += count;
    QCOMPARE(endings, games);
    if (games >= 2000) {
        // Every way a game can end was taken, and every kind of step.
        QVERIFY(ended(Ending::WrongAnswer) > 0);
        QVERIFY(ended(Ending::TookTheMoney) > 0);
        QVERIFY(ended(Ending::TopPrizeClosed) > 0);
        QVERIFY(ended(Ending::TopPrizeClosedOtherwise) > 0);
        QVERIFY(tally.refusals > 0 && tally.quitNo > 0 && tally.closeRequestsRefused > 0);
        QVERIFY(tally.callsHungUpEarly > 0 && tally.minimised > 0);
        for (int used : tally.lifelinesUsed)
            QVERIFY(used > 0);
    }
}

QTEST_MAIN(TestAutoPlayer)
#include "tst_autoplayer.moc"
