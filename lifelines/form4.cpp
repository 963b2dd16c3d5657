// SPDX-License-Identifier: GPL-3.0-or-later
#include "lifelines/form4.h"

#include "game/form2.h"
#include "game/ladder.h"
#include "game/module1.h"
#include "lifelines/lifelines.h"
#include "platform/platform.h"
#include "ui/appearance.h"
#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui_form4.h"

#include <QKeyEvent>
#include <QTimer>

namespace {

constexpr int TickMilliseconds = 2500;
constexpr int LastStep = 15;

} // namespace

Form4::Form4(Form2 &gameScreen)
    : QDialog(&gameScreen, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                               | Qt::MSWindowsFixedSizeDialogHint)
    , ui(std::make_unique<Ui::Form4>())
    , m_gameScreen(gameScreen)
{
    ui->setupUi(this);
    Label1 = ui->Label1;
    Command1 = ui->Command1;
    setFixedSize(size());
    Appearance::showNoWindowIcon(this);
    Desktop::centreOn(this, gameScreen.placeOnScreen());
    Appearance::setBackground(this, QColor(64, 64, 64));
    connect(Command1, &QAbstractButton::clicked, this, &Form4::Command1_Click);

    Timer1 = new QTimer(this);
    // Step n is due n × 2.5 s after the window opened. A coarse timer may
    // move a 2500 ms timeout by up to 125 ms towards a round time; a precise
    // one keeps the time.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(TickMilliseconds);
    connect(Timer1, &QTimer::timeout, this, &Form4::Timer1_Timer);
    Timer1->start();

    Form_Load();
}

Form4::~Form4() = default;

void Form4::Form_Load()
{
    CallStep = 0;
}

void Form4::AddLine(const QString &text)
{
    Label1->setCaption(Label1->caption() + QStringLiteral("\r\n") + text);
}

void Form4::Timer1_Timer()
{
    ++CallStep;
    switch (CallStep) {
    case 1:
        Label1->setCaption(QStringLiteral("Ведущий: Здравствуйте, с Вами говорит ведущий игры Ступенион!"));
        break;
    case 2:
        AddLine(QStringLiteral("Друг: Здравствуйте!"));
        break;
    case 3: {
        const int level = Module1.Level;
        const QString sum = level >= 1 && level <= Ladder::Levels ? m_gameScreen.Label4[level]->caption() : QString();
        AddLine(QStringLiteral("Ведущий: У Вас есть возможность помочь Вашему другу выиграть ") + sum
                + QStringLiteral(" рублей!"));
        break;
    }
    case 4:
        AddLine(QStringLiteral("Друг: Я постараюсь."));
        break;
    case 5:
        AddLine(QStringLiteral("Ведущий: Пожалуйста!"));
        break;
    case 6:
        AddLine(QStringLiteral("Игрок: Привет! ") + m_gameScreen.Label3->caption());
        break;
    case 7:
        AddLine(QStringLiteral("Друг: Надо подумать....."));
        break;
    case 11:
        AddLine(Lifelines::friendAnswer(Platform::randomSource(), Lifelines::answerCaptions(m_gameScreen),
                                        Module1.CorrectAnswer));
        break;
    case 12:
        AddLine(QStringLiteral("Игрок: Спасибо!"));
        break;
    case 13:
        AddLine(QStringLiteral("Друг: Пожалуйста!"));
        break;
    case 14:
        AddLine(QStringLiteral("Игрок: Пока"));
        break;
    case LastStep:
        AddLine(QStringLiteral("Друг: Пока!"));
        Timer1->stop();
        Command1->setEnabled(true);
        // The player who cannot see the button come alive hears that the
        // call is over, with the focus on the way out.
        Command1->setAccessibleDescription(QStringLiteral("Звонок окончен"));
        Command1->setFocus();
        break;
    default:
        // 8 to 10: the friend is thinking.
        break;
    }
}

void Form4::Command1_Click()
{
    accept();
}

void Form4::done(int result)
{
    // A close request before the end cuts the call short; the lifeline
    // stays used all the same.
    Timer1->stop();
    QDialog::done(result);
}

void Form4::keyPressEvent(QKeyEvent *event)
{
    // Escape does not hang up: the call is over only when "Закрыть" comes
    // alive, and from then on Escape closes the window as "Закрыть" does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        if (Command1->isEnabled() && !event->isAutoRepeat())
            Command1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
