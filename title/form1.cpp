// SPDX-License-Identifier: GPL-3.0-or-later
#include "title/form1.h"

#include "game/form2.h"
#include "platform/platform.h"
#include "title/linklooks.h"
#include "ui/appearance.h"
#include "ui/art.h"
#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui_form1.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor Background(76, 76, 76);
const QColor LineColor(192, 192, 192);

void applyLook(CaptionLabel *link, const LinkLooks::Look &look)
{
    link->setUnderlined(look.underline);
    link->setForeColor(look.foreColor);
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::Form1>())
{
    ui->setupUi(this);
    ui->Picture2->setPixmap(Art::pixmap(u"logo"));
    Picture2 = ui->Picture2;
    Label1 = ui->Label1;
    Label2 = ui->Label2;
    Label3 = ui->Label3;
    Label4 = ui->Label4;
    Label5 = ui->Label5;
    Label6 = ui->Label6;
    Label7 = ui->Label7;
    Line1 = ui->Line1;
    Command1 = ui->Command1;
    CommandButton1 = ui->CommandButton1;
    // The window has no title bar; a screen reader names it by the product.
    setAccessibleName(Label1->caption());
    // The title picture and the line only decorate.
    hideFromScreenReaders(Picture2);
    hideFromScreenReaders(Line1);

    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);
    Appearance::setBackground(this, Background);
    Appearance::setBackground(ui->client, Background);
    Appearance::setBackground(Line1, LineColor);
    setWindowTitle(QString());
    Desktop::listUnder(this, Platform::applicationTitle() + QStringLiteral(" — начало"));
    setFixedSize(size());

    applyLook(Label4, LinkLooks::designed());
    applyLook(Label7, LinkLooks::designed());

    // Every control takes the mouse in its own area, whether it reacts or
    // not, so movement over "E-Mail:" or "Отмена" never reaches the
    // background. The line takes none: over it the background reacts.
    m_moveHandlers = {
        {ui->client, &Form1::Form_MouseMove},     {Picture2, &Form1::Picture2_MouseMove},
        {Label1, &Form1::Label1_MouseMove},       {Label2, &Form1::Label2_MouseMove},
        {Label3, &Form1::Label3_MouseMove},       {Label4, &Form1::Label4_MouseMove},
        {Label5, &Form1::Label5_MouseMove},       {Label7, &Form1::Label7_MouseMove},
        {Command1, &Form1::Command1_MouseMove},
    };
    ui->client->setMouseTracking(true);
    ui->client->installEventFilter(this);
    for (QWidget *control : std::initializer_list<QWidget *>{Picture2, Label1, Label2, Label3, Label4, Label5, Label6,
                                                            Label7, Command1, CommandButton1}) {
        control->setMouseTracking(true);
        control->setAttribute(Qt::WA_NoMousePropagation);
        control->installEventFilter(this);
    }
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Enter or Space on the freshly opened window starts a game rather than
    // ending the program.
    setTabOrder(Command1, CommandButton1);
    Command1->setFocus();

    connect(Command1, &QAbstractButton::clicked, this, &Form1::Command1_Click);
    connect(CommandButton1, &QAbstractButton::clicked, this, [this] { CommandButton1_Click(); });

    // Centred on the screen.
    Appearance::centreOn(this, Appearance::screenArea(this));
}

Form1::~Form1() = default;

void Form1::ResetLinks()
{
    const LinkLooks::Look normal = LinkLooks::normal();
    Label4->setUnderlined(normal.underline);
    Label7->setUnderlined(normal.underline);
    Label7->setForeColor(normal.foreColor);
    Label4->setForeColor(normal.foreColor);
}

void Form1::highlight(CaptionLabel *link)
{
    ResetLinks();
    applyLook(link, LinkLooks::highlighted());
}

void Form1::Form_MouseMove()
{
    ResetLinks();
}

void Form1::Picture2_MouseMove()
{
    ResetLinks();
}

void Form1::Label1_MouseMove()
{
    ResetLinks();
}

void Form1::Label2_MouseMove()
{
    ResetLinks();
}

void Form1::Label3_MouseMove()
{
    ResetLinks();
}

void Form1::Label4_MouseMove()
{
    highlight(Label4);
}

void Form1::Label5_MouseMove()
{
    ResetLinks();
}

void Form1::Label7_MouseMove()
{
    highlight(Label7);
}

void Form1::Command1_MouseMove()
{
    ResetLinks();
}

void Form1::Label6_Click()
{
    ResetLinks();
}

void Form1::Command1_Click()
{
    // The game screen lives until the program ends.
    auto *gameScreen = new Form2;
    gameScreen->Form_Load();
    gameScreen->show();
    // This handler still runs inside the title screen: discard it once the
    // click has been dealt with.
    hide();
    deleteLater();
}

void Form1::CommandButton1_Click()
{
    Platform::endProgram();
}

void Form1::closeEvent(QCloseEvent *)
{
    CommandButton1_Click();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto handler = m_moveHandlers.constFind(watched);
        if (handler != m_moveHandlers.constEnd())
            (this->*handler.value())();
        break;
    }
    case QEvent::MouseButtonPress:
        if (watched == Label6 && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_label6Pressed = true;
        break;
    case QEvent::MouseButtonRelease:
        // A click: pressed and released over the label.
        if (watched == Label6 && m_label6Pressed && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_label6Pressed = false;
            if (Label6->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
                Label6_Click();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Appearance::paintWindowFrame(painter, rect());
}
