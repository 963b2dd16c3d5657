// SPDX-License-Identifier: GPL-3.0-or-later
#include "lifelines/lifelines.h"

#include "game/access.h"
#include "game/contentfile.h"
#include "game/form2.h"
#include "game/module1.h"
#include "game/rules.h"
#include "lifelines/form4.h"
#include "platform/platform.h"
#include "ui/art.h"
#include "ui/controls.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>

#include <utility>

namespace Lifelines {

namespace {

const QString FriendSays = QStringLiteral("Друг: Помоему, ");
const QString FriendDoesNotKnow = QStringLiteral("Друг: К сожадению, я этого не знаю, ");

// Buttons whose caption does not hold the correct answer, A first.
QList<int> wrongButtons(const Captions &captions, const QString &correctAnswer)
{
    QList<int> wrong;
    for (int i = 0; i < 4; ++i)
        if (!Rules::holdsCorrectAnswer(captions[i], correctAnswer))
            wrong << i;
    return wrong;
}

} // namespace

QList<int> fiftyFiftyDraw(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer)
{
    const QList<int> wrong = wrongButtons(captions, correctAnswer);
    // A question whose correct text is part of two or more other answers
    // (or is empty) has no pair to draw: take away what is surely wrong.
    if (wrong.size() < 2)
        return wrong;

    const auto holds = [&](int i) { return Rules::holdsCorrectAnswer(captions[i], correctAnswer); };
    for (int round = 0; round < MaxDrawRounds; ++round) {
        const int a = Rules::drawIndex(random, 4);
        const int b = Rules::drawIndex(random, 4);
        if (a != b && !holds(a) && !holds(b))
            return {a, b};
    }
    return {wrong[0], wrong[1]};
}

int friendWrongPick(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer)
{
    const QList<int> wrong = wrongButtons(captions, correctAnswer);
    if (wrong.isEmpty())
        return -1;

    int k = 0;
    for (int round = 0; Rules::holdsCorrectAnswer(captions[k], correctAnswer); ++round) {
        if (round == MaxDrawRounds)
            return wrong.first();
        k = Rules::drawIndex(random, 4);
    }
    return k;
}

QString friendAnswer(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer)
{
    const int d = Rules::drawIndex(random, 6);
    const int k = friendWrongPick(random, captions, correctAnswer);
    switch (d) {
    case 1:
        // With no wrong answer on the buttons the friend cannot be wrong
        // about one; he admits he does not know instead.
        return k >= 0 ? FriendSays + captions[k] : FriendDoesNotKnow;
    case 2:
        return FriendDoesNotKnow;
    default:
        return FriendSays + correctAnswer;
    }
}

std::array<int, 4> audienceShares(Platform::RandomSource &random, const Captions &captions, const QString &correctAnswer)
{
    // The last caption that holds the correct answer counts; none means A.
    int c = 0;
    for (int i = 0; i < 4; ++i)
        if (Rules::holdsCorrectAnswer(captions[i], correctAnswer))
            c = i;

    std::array<int, 4> s{};
    s[0] = Rules::drawIndex(random, 100);
    s[1] = Rules::drawIndex(random, 100 - s[0]);
    s[2] = Rules::drawIndex(random, 100 - s[0] - s[1]);
    s[3] = 100 - s[0] - s[1] - s[2];

    std::swap(s[0], s[c]);
    // One time in three the audience leans the wrong way: the correct
    // answer gets the second share and B the first.
    if (Rules::drawIndex(random, 3) == 1)
        std::swap(s[1], s[c]);
    return s;
}

QString audienceMessage(const std::array<int, 4> &shares, const Captions &captions)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("Помощь аудитории:") + crlf
        + QStringLiteral("Не забывайте, что зал иногда ошибается!") + crlf + crlf;
    for (int i = 0; i < 4; ++i)
        text += QString::number(shares[i]) + QStringLiteral("% за    ") + captions[i] + crlf;
    return text;
}

QString doubledPicture(const QString &file)
{
    const qsizetype name = file.lastIndexOf(QLatin1Char('/')) + 1;
    qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < name)
        dot = file.size();
    return file.left(dot) + QStringLiteral("@2x") + file.mid(dot);
}

Captions answerCaptions(const Form2 &screen)
{
    Captions captions;
    for (int i = 0; i < 4; ++i)
        captions[i] = screen.Command[i]->caption();
    return captions;
}

bool takeLifeline(Form2 &screen, CaptionButton *button, std::int16_t &flag, const QString &pictureFile)
{
    screen.Command10->setFocus();
    if (flag == FlagSet) {
        Platform::messageBox(&screen, QStringLiteral("Эту подсказку вы уже использовали."));
        return false;
    }

    const QString path = Platform::programPath(QStringLiteral("\\data\\gfx\\") + pictureFile);
    // Only a regular file is read: a named pipe in its place would block
    // the game for good, waiting for a writer.
    QImage normal;
    if (!QFileInfo(path).isFile() || !normal.load(path)) {
        ContentFile::ReadResult failure;
        failure.status = QFileInfo::exists(path) ? ContentFile::ReadResult::Unreadable : ContentFile::ReadResult::NotFound;
        Platform::fatalError(&screen, ContentFile::describeFailure(path, failure, 0));
    }
    // The 2x twin is optional: where it is missing or unreadable (an author
    // may have replaced only the 1x picture) the 1x picture serves alone.
    const qreal ratio = Art::deviceRatio();
    QImage doubled;
    if (const QString twin = doubledPicture(path); ratio > 1.0 && QFileInfo(twin).isFile())
        doubled.load(twin);
    const QPixmap picture = Art::forRatio(std::move(normal), std::move(doubled), ratio);
    button->setPicture(picture);
    button->setAccessibleDescription(QStringLiteral("Подсказка использована"));
    flag = FlagSet;
    return true;
}

void fiftyFifty(Form2 &screen)
{
    if (!takeLifeline(screen, screen.Command6, Module1.FiftyFiftyUsed, QString::fromLatin1(UsedPictures[0])))
        return;
    const QList<int> disabled = fiftyFiftyDraw(Platform::randomSource(), answerCaptions(screen), Module1.CorrectAnswer);
    for (int i : disabled)
        screen.Command[i]->setEnabled(false);
    // The focus is on the holder already: its answers change under it, and
    // the player hears which went.
    screen.updateHolderReadout();
    std::array<bool, 4> enabled{};
    for (int i = 0; i < 4; ++i)
        enabled[i] = screen.Command[i]->isEnabled();
    announceToScreenReaders(&screen, Access::removedAnswers(enabled));
}

void phoneAFriend(Form2 &screen)
{
    if (!takeLifeline(screen, screen.Command8, Module1.PhoneUsed, QString::fromLatin1(UsedPictures[1])))
        return;
    Form4 call(screen);
    Platform::execModal(call);
}

void askTheAudience(Form2 &screen)
{
    if (!takeLifeline(screen, screen.Command9, Module1.AudienceUsed, QString::fromLatin1(UsedPictures[2])))
        return;
    const Captions captions = answerCaptions(screen);
    const std::array<int, 4> shares = audienceShares(Platform::randomSource(), captions, Module1.CorrectAnswer);
    Platform::messageBox(&screen, audienceMessage(shares, captions), Platform::MessageButtons::Ok,
                         Platform::MessageIcon::Information);
}

} // namespace Lifelines
