// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form5.h"

#include "game/form2.h"
#include "platform/platform.h"
#include "ui/appearance.h"
#include "ui/art.h"
#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui_form5.h"

#include <QLabel>

namespace {

using Appearance::TwipsPerPixel;
constexpr int TickMilliseconds = 70;

} // namespace

Form5::Form5(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , ui(std::make_unique<Ui::Form5>())
{
    ui->setupUi(this);
    Money = {ui->Money_0, ui->Money_1, ui->Money_2, ui->Money_3};
    const char16_t *const notes[] = {u"note5", u"note50", u"note100", u"note500"};
    for (int i = 0; i < 4; ++i)
        Money[i]->setPixmap(Art::pixmap(notes[i]));
    Label1 = ui->Label1;
    Label2 = ui->Label2;
    CommandButton1 = ui->CommandButton1;

    // The red shadow repeats the congratulation, and the notes only
    // decorate: a screen reader reads the text once.
    hideFromScreenReaders(Label2);
    for (QLabel *note : Money)
        hideFromScreenReaders(note);
    CommandButton1->setFocus();

    Appearance::setBackground(this, Qt::black);
    Appearance::useHeavyDisplayFace(Label1);
    Appearance::useHeavyDisplayFace(Label2);
    setFixedSize(size());
    setSizeGripEnabled(false);

    Appearance::showNoWindowIcon(this);
    if (auto *gameScreen = qobject_cast<Form2 *>(parent))
        Desktop::centreOn(this, gameScreen->placeOnScreen());

    Timer1.setInterval(TickMilliseconds);
    connect(&Timer1, &QTimer::timeout, this, &Form5::Timer1_Timer);
    connect(CommandButton1, &QAbstractButton::clicked, this, [this] { CommandButton1_Click(); });
}

Form5::~Form5() = default;

int Form5::scaleWidth() const
{
    return width() * TwipsPerPixel;
}

int Form5::scaleHeight() const
{
    return height() * TwipsPerPixel;
}

void Form5::Form_Load()
{
    Platform::randomize();
    for (int index = 0; index < 4; ++index)
        PlaceMoney(index);
}

void Form5::PlaceMoney(int index)
{
    // Every note has the size of the first one.
    notes[index] = Banknotes::place(Platform::randomSource(), scaleWidth(), scaleHeight(),
                                    Money[0]->width() * TwipsPerPixel, Money[0]->height() * TwipsPerPixel);
}

void Form5::Timer1_Timer()
{
    for (int index = 0; index < 4; ++index) {
        if (Banknotes::fall(notes[index], scaleHeight()))
            PlaceMoney(index);
        Money[index]->move(Appearance::px(notes[index].x), Appearance::px(notes[index].y));
    }
}

void Form5::CommandButton1_Click()
{
    Platform::endProgram();
}

void Form5::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Timer1.start();
}

void Form5::hideEvent(QHideEvent *event)
{
    // However the window was closed, no tick follows.
    Timer1.stop();
    QDialog::hideEvent(event);
}
