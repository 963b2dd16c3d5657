// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LIFELINES_H
#define LIFELINES_H

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

class CaptionButton;
class Form2;

namespace Platform {
class RandomSource;
}

// The three one-time aids of the game screen: fifty-fifty, phone a friend
// and ask the audience. The draws are pure functions of the four answer
// captions and the correct answer text, so that they can be driven with
// scripted random numbers; the click actions below apply them to the game
// screen.
namespace Lifelines {

// The captions of answer buttons A..D, prefixes included.
using Captions = std::array<QString, 4>;

// Rounds a redraw loop runs before it stops trusting the generator (a real
// one needs a handful). Only a generator that keeps repeating itself gets
// that far; the loops then settle on the first buttons that qualify.
inline constexpr int MaxDrawRounds = 10000;

// ------------------------------------------------------------ fifty-fifty

// The answer buttons fifty-fifty disables. The pair (a, b) is drawn, both
// indexes anew each round, until a and b differ and neither caption holds
// the correct answer. With fewer than two captions that do not hold it no
// pair could ever be drawn: then nothing is drawn and the buttons returned
// are just those captions (one or none).
QList<int> fiftyFiftyDraw(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer);

// ------------------------------------------------------- phone a friend

// The button the friend names when he is wrong: A when A does not hold the
// correct answer, otherwise k = Int(4r) redrawn until its caption does not
// hold it. -1, with nothing drawn, when every caption holds it.
int friendWrongPick(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer);

// The friend's line of the call: d = Int(6r), then the wrong pick (made
// whatever d is), then the line for d.
QString friendAnswer(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer);

// ---------------------------------------------------- ask the audience

// The percentages shown for A..D: four shares drawn in turn, the first one
// moved to the correct button, and with one chance in three the second
// one moved there instead. They always sum to 100.
std::array<int, 4> audienceShares(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer);

// The text of the poll's message box.
QString audienceMessage(const std::array<int, 4> &shares, const Captions &captions);

// ------------------------------------------------- the game screen's side

// The pictures of the used buttons in data\gfx: fifty-fifty, phone a
// friend, ask the audience. Each may have a twin drawn at twice the pixels
// for high-density screens, named as doubledPicture() says.
inline constexpr const char *UsedPictures[3] = {"5050d.gif", "Phoned.gif", "Audid.gif"};

// The 2x twin's file of a picture file: "5050d@2x.gif" for "5050d.gif"
// (folders kept).
QString doubledPicture(const QString &file);

Captions answerCaptions(const Form2 &screen);

// What every lifeline click does first: parks the focus on the focus
// holder, refuses a lifeline already used, and otherwise shows the used
// picture `pictureFile` (from data\gfx) on `button` and sets `flag`.
// True when the lifeline's own action is to run. A picture that cannot be
// loaded ends the program before the flag is set.
bool takeLifeline(Form2 &screen, CaptionButton *button, std::int16_t &flag, const QString &pictureFile);

// The click actions of the three lifeline buttons.
void fiftyFifty(Form2 &screen);
void phoneAFriend(Form2 &screen);
void askTheAudience(Form2 &screen);

} // namespace Lifelines

#endif
