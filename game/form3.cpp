// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form3.h"

#include "game/content.h"
#include "game/form2.h"
#include "game/ladder.h"
#include "game/module1.h"
#include "game/rules.h"
#include "platform/platform.h"
#include "ui/appearance.h"
#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui_form3.h"

#include <QCloseEvent>
#include <QPainter>

namespace {

const QColor RightColor(192, 255, 192);
const QColor WrongColor(255, 80, 0);

// Only lines 1 to 15 of the suspense lines are ever shown.
constexpr int IntrigueChoices = 15;

} // namespace

Form3::Form3(Form2 &gameScreen)
    : QDialog(&gameScreen, Qt::Dialog | Qt::FramelessWindowHint)
    , m_gameScreen(gameScreen)
    , ui(std::make_unique<Ui::Form3>())
{
    ui->setupUi(this);
    Label1 = ui->Label1;
    // The banner has no title bar; a screen reader names it by its opening
    // line, which it shows until the first tick.
    setAccessibleName(Label1->caption());
    setFixedSize(size());
    setWindowTitle(QString());
    Desktop::listUnder(this, Platform::applicationTitle() + QStringLiteral(" — ответ"));
    Appearance::showNoWindowIcon(this);
    Appearance::setBackground(this, QColor(0, 0, 64));
    Appearance::setBackground(ui->client, QColor(0, 0, 64));

    // Centred over the game screen.
    Appearance::centreOn(this, gameScreen.placeOnScreen());

    VerdictStep = 0;
    // The steps are due at whole seconds after the window opened. A coarse
    // timer may move each timeout by up to 5 % towards a round time, and the
    // shifts add up over the eight ticks; a precise one keeps the time.
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form3::Timer1_Timer);
    Timer1.start();
}

Form3::~Form3() = default;

void Form3::Timer1_Timer()
{
    ++VerdictStep;
    switch (VerdictStep) {
    case 2:
        Label1->setCaption(Module1.IntrigueLines[Rules::drawOneOf(Platform::randomSource(), IntrigueChoices)]);
        break;
    case 6:
        judge();
        break;
    case 8:
        // The sequence is over: no tick runs while the game-over message
        // waits for the player.
        Timer1.stop();
        if (Module1.AnswerWasRight == 0)
            GameEnd();
        closeAfterVerdict();
        break;
    default:
        break;
    }
}

void Form3::judge()
{
    Module1.AnswerWasRight = 1;
    CaptionButton *button = m_gameScreen.Command[Module1.ChosenAnswer - 1];
    const QString &correct = Module1.AnswerTexts[Module1.QuestionIndex][1];
    if (Rules::isRightAnswer(button->caption(), correct)) {
        button->setBackColor(RightColor);
        Label1->setCaption(Module1.RightLines[Rules::drawOneOf(Platform::randomSource(), Content::RightLineCount)]);
    } else {
        button->setBackColor(WrongColor);
        Label1->setCaption(Module1.WrongLines[Rules::drawOneOf(Platform::randomSource(), Content::WrongLineCount)]);
        Module1.AnswerWasRight = 0;
    }
}

void Form3::GameEnd()
{
    const int question = Module1.Level - 1; // Level was advanced when the answer was clicked
    Platform::messageBox(this, QStringLiteral("Игра окончена. Ваш выигрыш составил ") + Ladder::sumAfterWrongAnswer(question)
                                   + QStringLiteral(" рублей."));
    Platform::endProgram();
}

void Form3::closeAfterVerdict()
{
    Timer1.stop();
    m_closingAfterVerdict = true;
    done(QDialog::Accepted);
}

void Form3::reject()
{
    if (m_closingAfterVerdict)
        QDialog::reject();
}

void Form3::closeEvent(QCloseEvent *event)
{
    if (m_closingAfterVerdict)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void Form3::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Appearance::paintWindowFrame(painter, rect());
}
