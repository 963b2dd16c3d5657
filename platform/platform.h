// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PLATFORM_H
#define PLATFORM_H

#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QDialog;
class QWidget;
QT_END_NAMESPACE

// What the game takes from the platform: random numbers, message boxes,
// modal windows, ending the program and the program folder. Each is a small
// seam: the game always calls these functions, production uses the real
// thing, and tests put a scripted stand-in behind them.
namespace Platform {

// The program's one pseudo-random generator, uniform in [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    virtual double next() = 0;
};

// The generator in use; `nullptr` restores the real one.
void setRandomSource(RandomSource *source);
RandomSource &randomSource();

// Draws the next value in [0, 1).
double rnd();
// Seeds the generator from the clock.
void randomize();

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Critical };
enum class MessageResult { Ok, Yes, No };

// A modal message box with the application title, showing `text` as plain
// text. With Yes and No, No is the default button.
MessageResult messageBox(QWidget *parent, const QString &text,
                         MessageButtons buttons = MessageButtons::Ok,
                         MessageIcon icon = MessageIcon::None);

using MessageBoxHandler = std::function<MessageResult(const QString &text, MessageButtons, MessageIcon)>;
void setMessageBoxHandler(MessageBoxHandler handler);

// Shows a window modally and returns once it has closed.
int execModal(QDialog &dialog);

using ModalHandler = std::function<int(QDialog &)>;
void setModalHandler(ModalHandler handler);

// Ends the program at once: no window remains and no further handler runs.
[[noreturn]] void endProgram();

// Stand-in for tests. It must not return (a test throws to unwind); if it
// does, the program is ended the real way all the same.
using EndProgramHandler = std::function<void()>;
void setEndProgramHandler(EndProgramHandler handler);

// Reports a fatal error to the player in a message box and ends the program.
[[noreturn]] void fatalError(QWidget *parent, const QString &text);

// The folder that holds the executable, without a trailing separator.
QString programFolder();
void setProgramFolder(const QString &folder); // empty restores the real one

// The program folder followed by a relative path written with backslashes,
// as the game names its files ("\data\qa\7.dat").
QString programPath(const QString &relativePath);

// The application title shown by message boxes.
QString applicationTitle();

} // namespace Platform

#endif
