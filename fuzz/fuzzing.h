// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FUZZING_H
#define FUZZING_H

// What the fuzz targets share: a failed expectation stops the run with the
// place it failed, so that libFuzzer keeps the input.

#include "platform/platform.h"
#include "ui/appearance.h"

#include <QApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace Fuzzing {

// The fuzzers' stand-in for ending the program: unwinds to the harness.
struct ProgramEnded
{
};

[[noreturn]] inline void fail(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

// Starts the application every run shares, offscreen, with the game's look.
// Made here, before the harness registers its own clean-up with atexit(),
// so that the clean-up runs first and the application goes last.
inline void startApplication(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    Appearance::setUpApplication();
}

// Routes the game's platform seams to a harness: the program folder is the
// harness's, draws come from `random`, every message box is collected in
// `messages` and answered OK, ending the program unwinds as ProgramEnded,
// and no modal window may open while a question is presented.
inline void routeSeams(const QString &programFolder, Platform::RandomSource &random, QStringList &messages)
{
    Platform::setProgramFolder(programFolder);
    Platform::setRandomSource(&random);
    Platform::setMessageBoxHandler([&messages](const QString &text, Platform::MessageButtons, Platform::MessageIcon) {
        messages << text;
        return Platform::MessageResult::Ok;
    });
    Platform::setEndProgramHandler([] { throw ProgramEnded{}; });
    Platform::setModalHandler([](QDialog &) -> int { fail("no window may open while a question is presented", __FILE__, __LINE__); });
}

} // namespace Fuzzing

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            Fuzzing::fail(#condition, __FILE__, __LINE__);                                                             \
    } while (false)

#endif
