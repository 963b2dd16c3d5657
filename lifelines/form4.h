// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FORM4_H
#define FORM4_H

#include <QDialog>

#include <cstdint>
#include <memory>

QT_BEGIN_NAMESPACE
class QTimer;
QT_END_NAMESPACE

class CaptionButton;
class CaptionLabel;
class Form2;

namespace Ui {
class Form4;
}

// The call window of the phone-a-friend lifeline. It plays a scripted
// telephone call, one line every 2.5 seconds, and lets the player close it
// once the friend has hung up. It is created for one call and destroyed
// when it closes; its timer is its child and goes with it.
class Form4 : public QDialog
{
    Q_OBJECT

public:
    // The call is about the question on `gameScreen`, which owns the window.
    explicit Form4(Form2 &gameScreen);
    ~Form4() override;

    CaptionLabel *Label1 = nullptr;    // the transcript
    CaptionButton *Command1 = nullptr; // "Закрыть"
    QTimer *Timer1 = nullptr;          // one step of the call per tick

    // Ticks since the window loaded; the call ends at 15.
    std::int16_t CallStep = 0;

    void Form_Load();
    void Timer1_Timer();
    void Command1_Click();

    // However the window closes, the call stops with it.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Appends a line to the transcript, after a CR LF.
    void AddLine(const QString &text);

    std::unique_ptr<Ui::Form4> ui;
    Form2 &m_gameScreen;
};

#endif
