// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"

#include "game/access.h"
#include "game/content.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/ladder.h"
#include "game/module1.h"
#include "game/rules.h"
#include "lifelines/lifelines.h"
#include "platform/platform.h"
#include "ui/appearance.h"
#include "ui/art.h"
#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui_form2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QSessionManager>

namespace {

const QColor AnswerTextColor(255, 247, 166);
const QColor CurrentLevelColor(71, 94, 138);
const QColor JudgedBackColor(255, 220, 80);

// The marker around the question while the focus holder has the focus: its
// distance from the question's box and its width, in pixels.
constexpr int MarkerGap = 3;
constexpr int MarkerWidth = 3;

// Outer height the window keeps, in twips; it cuts off the strip of the
// designed area that only holds the focus button.
constexpr int OuterHeightTwips = 6225;

} // namespace

Form2::Form2(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::Form2>())
{
    ui->setupUi(this);
    Command = {ui->Command_0, ui->Command_1, ui->Command_2, ui->Command_3};
    Label4 = {nullptr,         ui->Label4_1,  ui->Label4_2,  ui->Label4_3,  ui->Label4_4,  ui->Label4_5,
              ui->Label4_6,    ui->Label4_7,  ui->Label4_8,  ui->Label4_9,  ui->Label4_10, ui->Label4_11,
              ui->Label4_12,   ui->Label4_13, ui->Label4_14, ui->Label4_15};
    Label1 = ui->Label1;
    Label2 = ui->Label2;
    Label3 = ui->Label3;
    lblclose = ui->lblclose;
    lblminimize = ui->lblminimize;
    Command6 = ui->Command6;
    Command8 = ui->Command8;
    Command9 = ui->Command9;
    Command10 = ui->Command10;
    CommandButton1 = ui->CommandButton1;
    CommandButton2 = ui->CommandButton2;
    Picture1 = ui->Picture1;
    Picture2 = ui->Picture2;
    Picture1->setPixmap(Art::pixmap(u"studio"));
    Picture2->setPixmap(Art::pixmap(u"host"));
    Command6->setPicture(Art::pixmap(u"5050"));
    Command8->setPicture(Art::pixmap(u"phone"));
    Command9->setPicture(Art::pixmap(u"audience"));
    // What a screen reader says for the controls that show no words: the
    // lifelines go by their tool tips; the window buttons by the labels
    // beside them; the focus holder, out of sight, by what the player does
    // while it holds the focus.
    CommandButton1->setAccessibleName(lblminimize->caption());
    CommandButton2->setAccessibleName(lblclose->caption());
    Command10->setAccessibleName(QStringLiteral("Выберите ответ"));
    // The window has no title bar; a screen reader still names it.
    setAccessibleName(Platform::applicationTitle());
    // The host and the studio only decorate.
    hideFromScreenReaders(Picture1);
    hideFromScreenReaders(Picture2);

    // Tab goes from the question (the holder) through the answers and the
    // lifelines to the window buttons, in reading order.
    setTabOrder(Command10, Command[0]);
    setTabOrder(Command[0], Command[1]);
    setTabOrder(Command[1], Command[2]);
    setTabOrder(Command[2], Command[3]);
    setTabOrder(Command[3], Command6);
    setTabOrder(Command6, Command8);
    setTabOrder(Command8, Command9);
    setTabOrder(Command9, CommandButton1);
    setTabOrder(CommandButton1, CommandButton2);

    // The holder lies out of sight: while it has the focus and the player
    // uses the keyboard, a marker around the question shows where it is.
    ui->client->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (old == Command10 || now == Command10)
            ui->client->update(holderMarkerRect());
    });
    connect(&FocusCue::instance(), &FocusCue::shownChanged, this,
            [this] { ui->client->update(holderMarkerRect()); });

    connect(Command6, &QAbstractButton::clicked, this, &Form2::Command6_Click);
    connect(Command8, &QAbstractButton::clicked, this, &Form2::Command8_Click);
    connect(Command9, &QAbstractButton::clicked, this, &Form2::Command9_Click);

    QFont windowFont(QStringLiteral("Verdana"));
    windowFont.setPointSizeF(9.75);
    windowFont.setBold(true);
    setFont(windowFont);
    Appearance::setBackground(this, Qt::black);
    Appearance::setBackground(ui->client, Qt::black);
    setWindowTitle(QString());
    Desktop::listUnder(this, Platform::applicationTitle() + QStringLiteral(" — игра"));
    // Of all the game's windows only the game screen carries the show's icon.
    setWindowIcon(Art::icon());

    for (int i = 0; i < 4; ++i)
        connect(Command[i], &QAbstractButton::clicked, this, [this, i] { Command_Click(i); });
    connect(CommandButton1, &QAbstractButton::clicked, this, &Form2::CommandButton1_Click);
    connect(CommandButton2, &QAbstractButton::clicked, this, &Form2::CommandButton2_Click);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        // Asking for leave to interact waits until the session manager
        // grants it; only then may a window open.
        if (!manager.allowsInteraction())
            return;
        if (refusesSessionEnd(true))
            manager.cancel();
        manager.release();
    });

    // Centred on the screen at start-up.
    const int outerHeight = Appearance::px(OuterHeightTwips);
    setFixedSize(width(), outerHeight);
    // The designed area is taller than the window; what lies below the
    // frame (only the focus button) stays out of sight.
    ui->client->resize(ui->client->width(), outerHeight - 2 * Appearance::FrameWidth);
    Appearance::centreOn(this, Appearance::screenArea(this));
    m_place = pos();
}

Form2::~Form2()
{
    // Closing the window moves the focus after the controls are gone.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void Form2::Form_Load()
{
    Platform::randomize();
    Content::readHostFiles(this);
    Module1.Level = 1;
    Module1.FiftyFiftyUsed = FlagClear;
    Module1.PhoneUsed = FlagClear;
    Module1.AudienceUsed = FlagClear;
    ShowQuestion(QStringLiteral("1.dat"), Module1.Level);
    for (CaptionButton *button : Command)
        button->setForeColor(AnswerTextColor);
    // No answer button starts out with the keyboard focus.
    Command10->setFocus();
}

void Form2::ShowQuestion(const QString &fileName, int level)
{
    if (Module1.Level == Ladder::TopPrizeLevel) {
        // The fifteenth question was answered right: there is no level file
        // and no ladder label left. The victory window's only way out ends
        // the program; if it was closed some other way, the game is over
        // all the same.
        Form5 victory(this);
        victory.Form_Load();
        Platform::execModal(victory);
        Platform::endProgram();
    }

    Content::readLevelFile(this, fileName);

    Platform::RandomSource &random = Platform::randomSource();
    Module1.QuestionIndex = static_cast<std::int16_t>(Rules::drawOneOf(random, Content::RecordsPerLevel));
    const int record = Module1.QuestionIndex;

    Label1->setCaption(QString::number(level) + QStringLiteral(" вопрос"));
    Label3->setCaption(Module1.QuestionTexts[record]);

    const std::array<int, 4> positions = Rules::shuffleAnswers(random);
    for (int button = 0; button < 4; ++button)
        Command[button]->setCaption(Rules::answerCaption(button, Module1.AnswerTexts[record][positions[button]]));

    for (CaptionButton *button : Command) {
        button->setEnabled(true);
        button->setBackColor(Qt::black);
    }
    for (int l = 1; l <= Ladder::Levels; ++l) {
        Label4[l]->setUnderlined(false);
        Label4[l]->setBackColor(Qt::black);
    }
    Label4[Module1.Level]->setUnderlined(true);
    Label4[Module1.Level]->setBackColor(CurrentLevelColor);
    for (int l = 1; l <= Ladder::Levels; ++l)
        Label4[l]->setAccessibleDescription(Access::ladderDescription(l, Module1.Level));

    Module1.CorrectAnswer = Module1.AnswerTexts[record][1];
    updateHolderReadout();
}

void Form2::updateHolderReadout()
{
    const int level = Module1.Level;
    if (level < 1 || level > Ladder::Levels)
        return;
    std::array<QString, 4> captions;
    std::array<bool, 4> enabled{};
    for (int i = 0; i < 4; ++i) {
        captions[i] = Command[i]->caption();
        enabled[i] = Command[i]->isEnabled();
    }
    const QString won = level == 1 ? QStringLiteral("0") : Label4[level - 1]->caption();
    // The description first: a reader that speaks the new name at once
    // finds the new answers beside it. Only what changed is told, since a
    // reader speaks every change of the focused control again.
    const QString description = Access::answersReadout(captions, enabled, won);
    if (Command10->accessibleDescription() != description)
        Command10->setAccessibleDescription(description);
    const QString name = Access::questionReadout(level, Label4[level]->caption(), Label3->caption());
    if (Command10->accessibleName() != name)
        Command10->setAccessibleName(name);
}

void Form2::Command_Click(int index)
{
    Command10->setFocus();
    Module1.ChosenAnswer = static_cast<std::uint8_t>(index + 1);
    Module1.Level = static_cast<std::uint8_t>(Module1.Level + 1);
    CaptionButton *button = Command[index];
    button->setBackColor(JudgedBackColor);
    button->setForeColor(Qt::black);

    {
        Form3 verdict(*this);
        Platform::execModal(verdict);
    }

    // Only a right answer gets here.
    button->setForeColor(AnswerTextColor);
    ShowQuestion(Content::levelFileName(Module1.Level), Module1.Level);
    Command10->setFocus();
}

void Form2::UserGameEnd()
{
    const QString sum = Module1.Level == 1 ? QStringLiteral("0") : Label4[Module1.Level - 1]->caption();
    Platform::messageBox(this, QStringLiteral("Игра окончена. Ваш выигрыш составил ") + sum + QStringLiteral(" рублей."));
    Platform::endProgram();
}

void Form2::ConfirmQuit()
{
    if (Platform::messageBox(this, QStringLiteral("Хотите выйти?"), Platform::MessageButtons::YesNo)
        == Platform::MessageResult::Yes)
        UserGameEnd();
}

void Form2::CommandButton2_Click()
{
    ConfirmQuit();
}

void Form2::CommandButton1_Click()
{
    showMinimized();
    setWindowTitle(Platform::applicationTitle());
}

bool Form2::refusesSessionEnd(bool mayAsk)
{
    // While a verdict, the call, the victory or a message is on screen, the
    // game screen takes no input and the question cannot be left: the level
    // may already count the answer being judged, so the sum would be wrong.
    if (!mayAsk || QApplication::activeModalWidget())
        return false;
    ConfirmQuit();
    // Only No comes back.
    return true;
}

void Form2::closeEvent(QCloseEvent *event)
{
    // Yes ends the program inside; after No the game goes on.
    ConfirmQuit();
    event->ignore();
}

void Form2::Form_Resize()
{
    setWindowTitle(QString());
    if (isMinimized())
        return;
    const int outerHeight = Appearance::px(OuterHeightTwips);
    if (height() != outerHeight)
        setFixedSize(width(), outerHeight);
    // Half the screen height minus half the window height, in twips, as the
    // window is designed, then to pixels like every other position.
    const QRect screen = Appearance::screenArea(this);
    using Appearance::TwipsPerPixel;
    const double topTwips = screen.height() * TwipsPerPixel / 2.0 - height() * TwipsPerPixel / 2.0;
    m_place.setY(screen.y() + Appearance::px(topTwips));
    // The window has no title bar and only the game moves it, so its left
    // edge is still the one it got at start-up, whatever Qt's record says
    // (see moveEvent).
    if (pos() != m_place)
        move(m_place);
}

void Form2::Command6_Click()
{
    Lifelines::fiftyFifty(*this);
}

void Form2::Command8_Click()
{
    Lifelines::phoneAFriend(*this);
}

void Form2::Command9_Click()
{
    Lifelines::askTheAudience(*this);
}

bool Form2::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        // Taken here, by the letter the keyboard layout gives, before Qt's
        // shortcuts see it: on a Russian layout they would also try the
        // Latin letter of the same key, so Alt+В (on the D key) would answer
        // D, and Alt+И (on the B key) would answer B.
        if (modifiers == Qt::AltModifier && Access::isLetterKey(key->key())) {
            event->accept();
            const int answer = Access::answerForAltKey(key->key());
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat() && answer >= 0
                && Command[answer]->isEnabled())
                Command[answer]->click();
            return true;
        }
    }
    return QWidget::event(event);
}

QRect Form2::holderMarkerRect() const
{
    const int outset = MarkerGap + MarkerWidth;
    return Label3->geometry().adjusted(-outset, -outset, outset, outset);
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    // The client area's background is drawn before its paint event, the
    // question over it after: the marker lies in the black margin between.
    if (watched == ui->client && event->type() == QEvent::Paint && Command10->hasFocus() && FocusCue::shown()) {
        QPainter painter(ui->client);
        Appearance::paintFocusRing(painter, holderMarkerRect(), Appearance::focusRingColor(Qt::black), MarkerWidth);
    }
    return QWidget::eventFilter(watched, event);
}

void Form2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form2::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_awaitingPlacement = true;
}

void Form2::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // When the window manager frames a newly shown window while another one
    // goes (the title screen), Qt may note the place the frame had for a
    // moment (the corner of the screen) and never hear of the real one; the
    // window stands where the game put it, but Qt's record, and with it
    // every window placed over this one, is wrong. Asking again for the
    // game's place once, after the first report, sets the record right and
    // leaves the window where it is.
    if (m_awaitingPlacement && isVisible() && !isMinimized()) {
        m_awaitingPlacement = false;
        if (pos() != m_place)
            move(m_place);
    }
}

void Form2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Appearance::paintWindowFrame(painter, rect());
}
