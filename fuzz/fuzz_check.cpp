// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the content check (kvizora-check). Each input is used
// three times:
// - as an author's text for --convert: the conversion either refuses it,
//   writing nothing, or gives a Windows-1251 file whose lines read back as
//   exactly the text's lines;
// - as the level file of question 7, and as one of the host files, in a
//   copy of the shipped data folder: the check never crashes or hangs, and
//   when it reports no error for the folder, the game presents every one of
//   the level's ten questions (or reads the host lines) without a message,
//   each text fits where the game shows it, and the lifelines find what
//   they need.
// The random draws come from a generator seeded by the input, so that every
// input replays the same way.

#include "check/contentcheck.h"
#include "fuzz/fuzzing.h"
#include "game/content.h"
#include "game/contentfile.h"
#include "game/form2.h"
#include "game/form3.h"
#include "game/module1.h"
#include "game/rules.h"
#include "lifelines/lifelines.h"
#include "platform/platform.h"
#include "ui/controls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <random>

namespace {

using Fuzzing::fail;
using Fuzzing::ProgramEnded;

// Seeded by the input; `once` is the next value drawn, when set.
class ScriptedRandom final : public Platform::RandomSource
{
public:
    void seedFromClock() override {}
    double next() override
    {
        if (once) {
            const double r = *once;
            once.reset();
            return r;
        }
        return std::generate_canonical<double, 53>(engine);
    }
    std::mt19937_64 engine;
    std::optional<double> once;
};

struct Harness
{
    QTemporaryDir folder;
    Form2 *screen = nullptr;
    Form3 *verdict = nullptr;
    ScriptedRandom random;
    QStringList messages;
    ContentCheck::Fits fits;
    QHash<QString, QByteArray> shipped; // the files the inputs replace
};

Harness *g_harness = nullptr;

// The fuzzer ends the process with exit(): the windows and the harness go
// before the application, as in the reader's target, so that no window keeps
// Qt's font engines alive past it and the temporary folder is removed.
void tearDown()
{
    Platform::setRandomSource(nullptr);
    delete g_harness->verdict;
    delete g_harness->screen;
    delete g_harness;
    g_harness = nullptr;
}

QString dataPath(const QString &name)
{
    return g_harness->folder.path() + QStringLiteral("/data/") + name;
}

void writeFile(const QString &name, QByteArrayView bytes)
{
    QFile file(dataPath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes.data(), bytes.size()) != bytes.size())
        fail("cannot write the fuzz input", __FILE__, __LINE__);
}

bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// Measuring a text is the check's slowest step, and all but one file of
// the folder stay the same from input to input.
ContentCheck::Fits remembered(const ContentCheck::Fits &measured)
{
    const auto cache = [](std::function<bool(const QString &)> fits) {
        auto known = std::make_shared<QHash<QString, bool>>();
        return [fits, known](const QString &text) {
            const auto found = known->constFind(text);
            if (found != known->constEnd())
                return *found;
            if (known->size() > 100000)
                known->clear();
            return *known->insert(text, fits(text));
        };
    };
    return {cache(measured.question), cache(measured.answerCaption), cache(measured.hostLine)};
}

int errorsOf(const ContentCheck::Report &report)
{
    return report.count(ContentCheck::Severity::Error);
}

// The lines of a UTF-8 text as an author means them: CR LF, a lone LF or a
// lone CR ends a line, and a line end at the very end opens no new line.
QStringList textLines(QByteArrayView utf8)
{
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8 = utf8.sliced(3);
    QStringList lines;
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = start;
        while (end < utf8.size() && utf8[end] != '\r' && utf8[end] != '\n')
            ++end;
        lines << QString::fromUtf8(utf8.sliced(start, end - start));
        start = end + 1;
        if (end + 1 < utf8.size() && utf8[end] == '\r' && utf8[end + 1] == '\n')
            ++start;
    }
    return lines;
}

void checkConversion(QByteArrayView bytes)
{
    const ContentCheck::Conversion conversion = ContentCheck::fromUtf8Text(QStringLiteral("in.txt"), bytes);
    const QStringList expected = textLines(bytes);
    if (!conversion.problems.isEmpty()) {
        FUZZ_CHECK(conversion.bytes.isEmpty());
        for (const ContentCheck::Problem &p : conversion.problems)
            FUZZ_CHECK(p.line >= 1 && p.line <= expected.size());
        return;
    }
    // Nothing is lost on the way: the file reads back as the text's lines.
    FUZZ_CHECK(conversion.lines == expected.size());
    FUZZ_CHECK(conversion.bytes.isEmpty() || conversion.bytes.endsWith("\r\n"));
    FUZZ_CHECK(ContentFile::splitLines(conversion.bytes) == expected);
    // What converts is UTF-8 to the last byte.
    const QByteArrayView text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
    FUZZ_CHECK(QString::fromUtf8(text).toUtf8() == text);
}

// Presents question 7 with record `record` drawn; false when the game ended.
bool present(int record)
{
    g_harness->messages.clear();
    Module1.Level = 7;
    g_harness->random.once = (record - 1) / 10.0 + 0.05;
    try {
        g_harness->screen->ShowQuestion(QStringLiteral("7.dat"), Module1.Level);
        return true;
    } catch (const ProgramEnded &) {
        return false;
    }
}

// No error: the game plays every question of the file.
void playEveryQuestion(const ContentCheck::Report &report)
{
    FUZZ_CHECK(report.questions == 150);
    Form2 &screen = *g_harness->screen;
    for (int record = 1; record <= Content::RecordsPerLevel; ++record) {
        FUZZ_CHECK(present(record));
        FUZZ_CHECK(g_harness->messages.isEmpty());
        FUZZ_CHECK(Module1.QuestionIndex == record);
        FUZZ_CHECK(screen.Label3->fits(screen.Label3->caption()));
        for (CaptionButton *button : screen.Command)
            FUZZ_CHECK(button->fits(button->caption()));
        const Lifelines::Captions captions = Lifelines::answerCaptions(screen);
        const QList<int> removed = Lifelines::fiftyFiftyDraw(g_harness->random, captions, Module1.CorrectAnswer);
        FUZZ_CHECK(removed.size() == 2 && removed[0] != removed[1]);
        FUZZ_CHECK(Lifelines::friendWrongPick(g_harness->random, captions, Module1.CorrectAnswer) >= 0);
        int right = 0;
        for (const QString &caption : captions)
            right += Rules::isRightAnswer(caption, Module1.CorrectAnswer) ? 1 : 0;
        FUZZ_CHECK(right >= 1);
    }
}

void checkLevelFile(QByteArrayView bytes)
{
    writeFile(QStringLiteral("qa/7.dat"), bytes);
    const ContentCheck::Report report = ContentCheck::checkFolder(dataPath(QString()).chopped(1), g_harness->fits);
    // The check blames the file that changed and no other.
    for (const ContentCheck::Problem &p : report.problems)
        FUZZ_CHECK(p.file == QLatin1String("qa/7.dat"));
    if (errorsOf(report) == 0)
        playEveryQuestion(report);
    else
        FUZZ_CHECK(report.questions == 140 || report.questions == 150);
    writeFile(QStringLiteral("qa/7.dat"), g_harness->shipped.value(QStringLiteral("qa/7.dat")));
}

void checkHostFile(QByteArrayView bytes, int which)
{
    static const char *const names[3] = {"host/intrigue.dat", "host/Right.dat", "host/Wrong.dat"};
    const QString name = QString::fromLatin1(names[which]);
    writeFile(name, bytes);
    const ContentCheck::Report report = ContentCheck::checkFolder(dataPath(QString()).chopped(1), g_harness->fits);
    for (const ContentCheck::Problem &p : report.problems)
        FUZZ_CHECK(p.file == name);
    if (errorsOf(report) == 0) {
        // No error: the game reads the host lines, and every line it shows
        // fits the verdict window's banner.
        g_harness->messages.clear();
        try {
            Content::readHostFiles(g_harness->screen);
        } catch (const ProgramEnded &) {
            fail("the game ended on host files the check passed", __FILE__, __LINE__);
        }
        FUZZ_CHECK(g_harness->messages.isEmpty());
        const CaptionLabel &banner = *g_harness->verdict->Label1;
        for (int i = 1; i <= 15; ++i)
            FUZZ_CHECK(banner.fits(Module1.IntrigueLines[i]));
        for (int i = 1; i <= Content::RightLineCount; ++i)
            FUZZ_CHECK(banner.fits(Module1.RightLines[i]));
        for (int i = 1; i <= Content::WrongLineCount; ++i)
            FUZZ_CHECK(banner.fits(Module1.WrongLines[i]));
    }
    writeFile(name, g_harness->shipped.value(name));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzzing::startApplication(argc, argv);

    g_harness = new Harness;
    std::atexit(tearDown);
    FUZZ_CHECK(g_harness->folder.isValid());
    FUZZ_CHECK(copyFolder(QStringLiteral(KVIZORA_SOURCE_DIR "/data"), g_harness->folder.path() + QStringLiteral("/data")));
    for (const char *name : {"qa/7.dat", "host/intrigue.dat", "host/Right.dat", "host/Wrong.dat"}) {
        QFile file(dataPath(QLatin1String(name)));
        FUZZ_CHECK(file.open(QIODevice::ReadOnly));
        g_harness->shipped.insert(QLatin1String(name), file.readAll());
    }
    Fuzzing::routeSeams(g_harness->folder.path(), g_harness->random, g_harness->messages);
    g_harness->screen = new Form2;
    g_harness->verdict = new Form3(*g_harness->screen);
    g_harness->verdict->Timer1.stop();
    g_harness->fits = remembered(ContentCheck::measuredByTheGame());

    // The shipped folder is clean, so every finding below is the input's.
    FUZZ_CHECK(ContentCheck::checkFolder(dataPath(QString()).chopped(1), g_harness->fits).problems.isEmpty());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const std::size_t hash = qHash(bytes);
    g_harness->random.engine.seed(hash);
    checkConversion(bytes);
    checkLevelFile(bytes);
    checkHostFile(bytes, int(hash % 3));
    return 0;
}
