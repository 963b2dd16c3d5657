// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FORM2_H
#define FORM2_H

#include <QWidget>

#include <array>
#include <memory>

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

class CaptionButton;
class CaptionLabel;

namespace Ui {
class Form2;
}

// The game screen: the question, the four answers, the prize ladder, the
// three lifelines and the two window buttons. It is created once, when a
// game starts, and lives until the program ends. Other windows reach its
// controls by their design names.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);
    ~Form2() override;

    // Answers A..D.
    std::array<CaptionButton *, 4> Command{};
    // The prize ladder, index = level 1..15 (index 0 unused).
    std::array<CaptionLabel *, 16> Label4{};
    CaptionLabel *Label1 = nullptr; // question number
    CaptionLabel *Label2 = nullptr; // the show's title
    CaptionLabel *Label3 = nullptr; // question text
    CaptionLabel *lblclose = nullptr;
    CaptionLabel *lblminimize = nullptr;
    CaptionButton *Command6 = nullptr;  // fifty-fifty
    CaptionButton *Command8 = nullptr;  // phone a friend
    CaptionButton *Command9 = nullptr;  // ask the audience
    CaptionButton *Command10 = nullptr; // holds the keyboard focus, no action
    CaptionButton *CommandButton1 = nullptr; // minimise
    CaptionButton *CommandButton2 = nullptr; // leave the game
    QLabel *Picture1 = nullptr; // studio
    QLabel *Picture2 = nullptr; // host

    // Starts the game: seeds the generator, reads the host lines and puts
    // question 1 on screen.
    void Form_Load();

    // Puts a question of the level file `fileName` on screen; `level` is
    // used for the question number.
    void ShowQuestion(const QString &fileName, int level);

    // Gives the focus holder the question on screen to read out: a screen
    // reader speaks it whenever the holder takes the focus or the question
    // changes under it. Called again when fifty-fifty took answers away.
    void updateHolderReadout();

    // Keeps the window title-less, at its fixed height and centred
    // vertically on the screen whenever its size or state changes.
    void Form_Resize();

    // Where the game has put the window: the left edge it was given at
    // start-up, the top the resize rule gave it. The windows it owns are
    // centred on this.
    QRect placeOnScreen() const { return {m_place, size()}; }

    // An answer button was clicked: the answer is staged in the verdict
    // window, then the next question follows (a wrong answer ends the game
    // inside the verdict window).
    void Command_Click(int index);

    // Takes the money: reports the sum of the last right answer and ends
    // the program.
    [[noreturn]] void UserGameEnd();

    // Asks "Хотите выйти?"; Yes takes the money, No changes nothing.
    void ConfirmQuit();

    // The leave button.
    void CommandButton2_Click();

    // The minimise button: the minimised window carries the game's title.
    void CommandButton1_Click();

    // The lifelines: fifty-fifty, phone a friend, ask the audience.
    void Command6_Click();
    void Command8_Click();
    void Command9_Click();

    // The desktop session is ending (the user logs off, the system shuts
    // down). With a question on screen and the session manager's leave to
    // ask (`mayAsk`), the player is asked "Хотите выйти?": Yes ends the game
    // as the leave button does; No returns true, which cancels the end of
    // the session. Otherwise the game ends with the session, unasked.
    bool refusesSessionEnd(bool mayAsk);

protected:
    // Alt with a letter: A..D, or the Cyrillic letters that look the same,
    // click their answer; no other letter clicks anything.
    bool event(QEvent *event) override;
    // Draws the marker around the question while the holder has the focus.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // A close request from the window system asks "Хотите выйти?" first.
    void closeEvent(QCloseEvent *event) override;

private:
    QRect holderMarkerRect() const;

    std::unique_ptr<Ui::Form2> ui;
    QPoint m_place;
    // Set when the window is shown, until the window manager has reported
    // where it put it.
    bool m_awaitingPlacement = false;
};

#endif
