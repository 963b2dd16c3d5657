// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "platform/platform.h"

#include <QAccessible>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWindow>

#include <deque>
#include <exception>
#include <functional>
#include <random>

// Thrown by the test stand-in for ending the program, so that a test sees
// the end and no further step of the handler that ended it runs.
struct ProgramEnded : std::exception
{
    const char *what() const noexcept override { return "program ended"; }
};

// Hands out the draws a test scripts, in order. Running out is a test
// failure: the code under test drew more numbers than the test expected.
class ScriptedRandom final : public Platform::RandomSource
{
public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<double> draws) : m_draws(draws) {}

    void seedFromClock() override { ++seeds; }
    double next() override;

    void add(double r) { m_draws.push_back(r); }
    // A draw r for which Int(r * n + 1) is k (1..n).
    void addOneOf(int n, int k) { add((k - 1 + 0.5) / n); }
    // A draw r for which Int(n * r) is k (0..n-1).
    void addIndex(int n, int k) { add((k + 0.5) / n); }
    // The four draws that put answers p[0]..p[3] (1..4) on buttons A..D.
    void addShuffle(std::array<int, 4> p)
    {
        for (int position : p)
            addOneOf(4, position);
    }
    qsizetype remaining() const { return qsizetype(m_draws.size()); }
    int drawn = 0;
    int seeds = 0;

private:
    std::deque<double> m_draws;
};

// The program's generator with a fixed seed: every draw is reproducible
// from the seed, and seeding "from the clock" changes nothing.
class SeededRandom final : public Platform::RandomSource
{
public:
    explicit SeededRandom(std::uint64_t seed = 0) : engine(seed) {}
    void seedFromClock() override { ++seeds; }
    double next() override;
    std::mt19937_64 engine;
    int seeds = 0;
};

// Installs stand-ins for every platform seam for the lifetime of a test
// and removes them afterwards: scripted random draws, recorded message
// boxes with scripted answers, a recorded end of the program, and a program
// folder of the test's own.
class PlatformStandIns
{
public:
    PlatformStandIns();
    ~PlatformStandIns();

    struct Message
    {
        QString text;
        Platform::MessageButtons buttons;
        Platform::MessageIcon icon;
    };

    ScriptedRandom random;
    QList<Message> messages;
    // Answers for Yes/No boxes, in order; a box with nothing scripted fails.
    QList<Platform::MessageResult> answers;
    int ends = 0;
};

// A program folder with a data folder the test writes.
class DataFolder
{
public:
    DataFolder();
    QString path() const { return m_dir.path(); }

    // Writes a file under the folder (relative path with '/'), bytes as given.
    void writeBytes(const QString &relativePath, const QByteArray &bytes);
    // Writes lines as Windows-1251 text with CR LF after each line.
    void writeLines(const QString &relativePath, const QStringList &lines);
    // Host line files with the counts the game reads, lines "Интрига 1", ...
    void writeHostFiles();
    // A level file of ten records; record r of level n reads
    // "Вопрос n.r", "Верно n.r", "Мимо n.r а", "Мимо n.r б", "Мимо n.r в".
    void writeLevel(int level);
    void writeLevels(int from, int to);
    // The game's own data folder, byte for byte, from the source tree.
    void copyShippedData();

    static QStringList levelLines(int level);

private:
    QTemporaryDir m_dir;
};

QByteArray toWindows1251(const QString &text);

// Turns Qt's accessibility on for the lifetime of a test, as a running
// screen reader does, and records what the game tells it instead of sending
// it anywhere. A build without Qt's private headers cannot turn it on; a
// test that records starts with KVIZORA_NEEDS_SCREEN_READER(), which skips
// it there.
#ifdef KVIZORA_SCREEN_READER_TESTS
#define KVIZORA_NEEDS_SCREEN_READER() ((void)0)
#else
#define KVIZORA_NEEDS_SCREEN_READER() QSKIP("built without Qt's private headers (qt6-base-private-dev)")
#endif
class AccessibilityRecorder
{
public:
    AccessibilityRecorder();
    ~AccessibilityRecorder();

    struct Event
    {
        QAccessible::Event type;
        QObject *object;
        QAccessible::Role role;
        QString name; // the source's name when the event was sent
    };
    // What a screen reader was told to speak: the notifications shown.
    QStringList announcements() const;
    // How often `object` told of a new name.
    int nameChanges(const QObject *object) const;

    QList<Event> events;
};

// Presses and releases `key` in `window`, as the window system delivers it:
// to the focus, after Qt's shortcuts had their turn. Takes Cyrillic letter
// keys too, which QTest::keyClick cannot name.
void pressKey(QWindow *window, int key, Qt::KeyboardModifiers modifiers = {});

// The accessible name of a widget, as a screen reader reads it.
QString accessibleName(QObject *object);

class Form2;
// The answer button whose caption the verdict judges right, or -1.
int rightAnswerButton(const Form2 &gameScreen);

// A time limit in milliseconds for this build: the sanitizer build runs
// everything a few times slower and says so in KVIZORA_TIME_SCALE.
qint64 timeLimit(qint64 milliseconds);

#endif

// Runs `scenario` in a child process with the real end of the program in
// place, and reports how the child ended. Message box texts the child shows
// are collected (in order) instead of being shown.
struct ChildOutcome
{
    bool exited = false; // ended through exit, not a signal
    int exitCode = -1;
    QStringList messages;
};
ChildOutcome runInChildProcess(const std::function<void()> &scenario);
// Exit code of a child whose scenario returned instead of ending the program.
inline constexpr int ScenarioReturned = 97;
