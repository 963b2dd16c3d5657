// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FORM1_H
#define FORM1_H

#include <QHash>
#include <QWidget>

#include <memory>

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

class CaptionButton;
class CaptionLabel;

namespace Ui {
class Form1;
}

// The title screen, the program's first window: the logo, the product name
// and year, the studio's credits and two contact links that light up under
// the mouse, "ИГРАТЬ" and "Отмена". Starting a game replaces it for good.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    QLabel *Picture2 = nullptr; // the logo
    CaptionLabel *Label1 = nullptr; // product name
    CaptionLabel *Label2 = nullptr; // credits
    CaptionLabel *Label3 = nullptr; // year
    CaptionLabel *Label4 = nullptr; // web link
    CaptionLabel *Label5 = nullptr; // "Web:"
    CaptionLabel *Label6 = nullptr; // "E-Mail:"
    CaptionLabel *Label7 = nullptr; // e-mail link
    QWidget *Line1 = nullptr; // divider; the mouse passes through it
    CaptionButton *Command1 = nullptr; // "ИГРАТЬ"
    CaptionButton *CommandButton1 = nullptr; // "Отмена"

    // Mouse movement over the background and the plain controls puts both
    // links back into their normal look; over a link it highlights that link.
    void Form_MouseMove();
    void Picture2_MouseMove();
    void Label1_MouseMove();
    void Label2_MouseMove();
    void Label3_MouseMove();
    void Label4_MouseMove();
    void Label5_MouseMove();
    void Label7_MouseMove();
    void Command1_MouseMove();
    void Label6_Click();

    // Loads and shows the game screen, then unloads the title screen.
    void Command1_Click();
    // Ends the program at once.
    [[noreturn]] void CommandButton1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A close request from outside (Alt+F4, the window system) can only
    // mean leaving: it ends the program as "Отмена" does.
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void ResetLinks();
    void highlight(CaptionLabel *link);

    std::unique_ptr<Ui::Form1> ui;
    // The mouse-move handler of each control that has one.
    QHash<QObject *, void (Form1::*)()> m_moveHandlers;
    bool m_label6Pressed = false;
};

#endif
