// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FORM5_H
#define FORM5_H

#include "game/banknotes.h"

#include <QDialog>
#include <QTimer>

#include <array>
#include <memory>

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

class CaptionButton;
class CaptionLabel;

namespace Ui {
class Form5;
}

// The victory window: the congratulation over a black background while four
// banknotes fall behind it, and "ЗАКРЫТЬ", which ends the program. It opens
// modally after the fifteenth right answer and nothing follows it.
class Form5 : public QDialog
{
    Q_OBJECT

public:
    explicit Form5(QWidget *parent = nullptr);
    ~Form5() override;

    // The banknotes 5, 50, 100 and 500 roubles, lowest in the stacking order.
    std::array<QLabel *, 4> Money{};
    CaptionLabel *Label1 = nullptr; // the congratulation
    CaptionLabel *Label2 = nullptr; // its red shadow
    CaptionButton *CommandButton1 = nullptr; // "ЗАКРЫТЬ"
    // Moves the notes; it ticks only while the window is open.
    QTimer Timer1;

    // Where each note goes on the next tick and how fast it falls.
    std::array<Banknotes::Note, 4> notes{};

    // Seeds the generator and gives every note a random start place; the
    // notes stay at their designed places until the first tick.
    void Form_Load();
    void Timer1_Timer();
    // Ends the program at once.
    [[noreturn]] void CommandButton1_Click();

    // The inner area in twips.
    int scaleWidth() const;
    int scaleHeight() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void PlaceMoney(int index);

    std::unique_ptr<Ui::Form5> ui;
};

#endif
