// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the content reader and the presentation of a question.
// Each input is written as the level file of question 7 into a program
// folder of its own and presented on a real game screen (offscreen), as
// the answer flow does after a right answer to question 6. A file the game
// cannot use must end the game through the end-of-program seam with a
// message naming the file; any other file must put a question on screen
// whose texts are exactly the file's, and the lifelines' draws on it must
// end. The random draws come from a generator seeded by the input, so that
// every input replays the same way.

#include "fuzz/fuzzing.h"
#include "game/content.h"
#include "game/contentfile.h"
#include "game/form2.h"
#include "game/module1.h"
#include "game/rules.h"
#include "lifelines/lifelines.h"
#include "platform/platform.h"
#include "ui/controls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <random>

namespace {

using Fuzzing::fail;
using Fuzzing::ProgramEnded;

class SeededRandom final : public Platform::RandomSource
{
public:
    void seedFromClock() override {}
    double next() override { return std::generate_canonical<double, 53>(engine); }
    std::mt19937_64 engine;
};

struct Harness
{
    QTemporaryDir folder;
    Form2 *screen = nullptr;
    SeededRandom random;
    QStringList messages;
};

Harness *g_harness = nullptr;

// The fuzzer ends the process with exit(). The game screen and the harness
// go before the application does, as the game's windows do: a window left
// behind the application would keep Qt's font engines to the end, which the
// leak checker reports, and the temporary folder would stay on disk.
void tearDown()
{
    Platform::setRandomSource(nullptr);
    delete g_harness->screen;
    delete g_harness;
    g_harness = nullptr;
}

void writeFile(const QString &path, QByteArrayView bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes.data(), bytes.size()) != bytes.size())
        fail("cannot write the fuzz input", __FILE__, __LINE__);
}

QString levelPath()
{
    return g_harness->folder.path() + QStringLiteral("/data/qa/7.dat");
}

// Presents question 7; true when it is on screen, false when the game ended.
bool presentLevel7()
{
    g_harness->messages.clear();
    Module1.Level = 7;
    try {
        g_harness->screen->ShowQuestion(QStringLiteral("7.dat"), Module1.Level);
        return true;
    } catch (const ProgramEnded &) {
        return false;
    }
}

// The line reader on its own: no line keeps a CR, every byte that is not
// part of a line end becomes exactly one character, and reading only the
// first lines gives the same lines as reading them all.
void checkLineReader(QByteArrayView bytes, const QStringList &lines)
{
    qsizetype lineEndBytes = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            ++lineEndBytes;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++lineEndBytes;
                ++i;
            }
        }
    }
    qsizetype characters = 0;
    for (const QString &line : lines) {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')));
        characters += line.size();
    }
    FUZZ_CHECK(characters + lineEndBytes == bytes.size());
    FUZZ_CHECK(ContentFile::splitLines(bytes, Content::RecordsPerLevel * Content::LinesPerRecord)
               == lines.mid(0, Content::RecordsPerLevel * Content::LinesPerRecord));
}

void checkQuestionOnScreen(const QStringList &lines)
{
    Form2 &screen = *g_harness->screen;
    const int record = Module1.QuestionIndex;
    FUZZ_CHECK(record >= 1 && record <= Content::RecordsPerLevel);
    const qsizetype first = (record - 1) * Content::LinesPerRecord;
    FUZZ_CHECK(screen.Label3->caption() == lines[first]);
    FUZZ_CHECK(screen.Label1->caption() == QStringLiteral("7 вопрос"));
    FUZZ_CHECK(Module1.CorrectAnswer == lines[first + 1]);

    // The four buttons carry the record's four answers, each once, behind
    // its own prefix.
    QStringList shown;
    QStringList expected;
    for (int i = 0; i < 4; ++i) {
        const QString caption = screen.Command[i]->caption();
        FUZZ_CHECK(caption.startsWith(Rules::answerPrefix(i)));
        shown << caption.mid(5);
        expected << lines[first + 1 + i];
        FUZZ_CHECK(screen.Command[i]->isEnabled());
    }
    shown.sort();
    expected.sort();
    FUZZ_CHECK(shown == expected);
    for (int level = 1; level <= 15; ++level)
        FUZZ_CHECK(screen.Label4[level]->isUnderlined() == (level == 7));

    // The controls that show the file's texts, drawn as the player sees
    // them.
    FUZZ_CHECK(!screen.Label3->grab().isNull());
    for (CaptionButton *button : screen.Command)
        FUZZ_CHECK(!button->grab().isNull());

    // The lifelines' draws end on any content and stay in range.
    const Lifelines::Captions captions = Lifelines::answerCaptions(screen);
    Platform::RandomSource &random = g_harness->random;
    for (int i : Lifelines::fiftyFiftyDraw(random, captions, Module1.CorrectAnswer)) {
        FUZZ_CHECK(i >= 0 && i < 4);
        FUZZ_CHECK(!Rules::holdsCorrectAnswer(captions[i], Module1.CorrectAnswer));
    }
    const int pick = Lifelines::friendWrongPick(random, captions, Module1.CorrectAnswer);
    FUZZ_CHECK(pick >= -1 && pick < 4);
    FUZZ_CHECK(Lifelines::friendAnswer(random, captions, Module1.CorrectAnswer).startsWith(QStringLiteral("Друг: ")));
    const std::array<int, 4> shares = Lifelines::audienceShares(random, captions, Module1.CorrectAnswer);
    FUZZ_CHECK(shares[0] + shares[1] + shares[2] + shares[3] == 100);
    FUZZ_CHECK(std::all_of(shares.begin(), shares.end(), [](int s) { return s >= 0 && s <= 100; }));

    // The button that shows the record's first answer is judged right.
    bool someRight = false;
    for (int i = 0; i < 4; ++i)
        someRight = someRight || Rules::isRightAnswer(captions[i], Module1.AnswerTexts[record][1]);
    FUZZ_CHECK(someRight);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzzing::startApplication(argc, argv);

    g_harness = new Harness;
    // Run at exit before the application's destructor, which was
    // registered first.
    std::atexit(tearDown);
    FUZZ_CHECK(g_harness->folder.isValid());
    Fuzzing::routeSeams(g_harness->folder.path(), g_harness->random, g_harness->messages);
    g_harness->screen = new Form2;

    // A missing level file ends the game and names the file.
    FUZZ_CHECK(!presentLevel7());
    FUZZ_CHECK(g_harness->messages.size() == 1);
    FUZZ_CHECK(g_harness->messages.first().contains(QDir::toNativeSeparators(levelPath())));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QStringList lines = ContentFile::splitLines(bytes);
    checkLineReader(bytes, lines);

    writeFile(levelPath(), bytes);
    g_harness->random.engine.seed(qHash(bytes));
    const bool presented = presentLevel7();
    const qsizetype needed = Content::RecordsPerLevel * Content::LinesPerRecord;
    if (presented) {
        FUZZ_CHECK(lines.size() >= needed);
        FUZZ_CHECK(g_harness->messages.isEmpty());
        checkQuestionOnScreen(lines);
    } else {
        // Too short: the player is told which file and how many lines.
        FUZZ_CHECK(lines.size() < needed);
        FUZZ_CHECK(g_harness->messages.size() == 1);
        const QString &message = g_harness->messages.first();
        FUZZ_CHECK(message.contains(QDir::toNativeSeparators(levelPath())));
        FUZZ_CHECK(message.contains(QString::number(lines.size())));
    }
    return 0;
}
