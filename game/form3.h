// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FORM3_H
#define FORM3_H

#include <QDialog>
#include <QTimer>

#include <memory>

class CaptionLabel;
class Form2;

namespace Ui {
class Form3;
}

// The verdict window: a title-less banner over the game screen that stages
// the judgement of the answer just clicked. It is created for every answer
// and ticks once a second: the host's suspense line at 2 s, the verdict at
// 6 s, and at 8 s it closes after a right answer or ends the game after a
// wrong one. Nothing else closes it.
class Form3 : public QDialog
{
    Q_OBJECT

public:
    explicit Form3(Form2 &gameScreen);
    ~Form3() override;

    CaptionLabel *Label1 = nullptr;
    QTimer Timer1;

    // Ticks since the window opened.
    int VerdictStep = 0;

    void Timer1_Timer();

    // Reports the sum kept after a wrong answer and ends the program.
    [[noreturn]] void GameEnd();

    // Esc and every close request from outside are refused: only the
    // verdict sequence itself closes the window.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void judge();
    void closeAfterVerdict();

    Form2 &m_gameScreen;
    std::unique_ptr<Ui::Form3> ui;
    bool m_closingAfterVerdict = false;
};

#endif
