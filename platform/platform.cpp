// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/platform.h"

#include "platform/framing.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QScreen>

#include <algorithm>

#include <chrono>
#include <cstdlib>
#include <random>

namespace Platform {

namespace {

class ClockRandom final : public RandomSource
{
public:
    void seedFromClock() override
    {
        m_engine.seed(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())
                      ^ static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    }
    double next() override
    {
        // 53 random bits scaled into [0, 1): never reaches 1.
        return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
    }

private:
    std::mt19937_64 m_engine{20041u};
};

ClockRandom g_clockRandom;
RandomSource *g_random = nullptr;
MessageBoxHandler g_messageBoxHandler;
ModalHandler g_modalHandler;
EndProgramHandler g_endProgramHandler;
QString g_programFolder;

} // namespace

void setRandomSource(RandomSource *source)
{
    g_random = source;
}

RandomSource &randomSource()
{
    return g_random ? *g_random : g_clockRandom;
}

double rnd()
{
    return randomSource().next();
}

void randomize()
{
    randomSource().seedFromClock();
}

QString applicationTitle()
{
    return QStringLiteral("Ступенион?");
}

namespace {

// Where a message box stands: centred, frame included, on the window of the
// one that asks when it is on screen; otherwise (the game screen found a
// file it cannot read before it was first shown) on the game's window that
// is, the title screen.
QRect ownerPlace(const QWidget *box, QWidget *parent)
{
    const QWidget *owner = parent ? parent->window() : nullptr;
    if (!owner || !owner->isVisible()) {
        owner = nullptr;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (const QWidget *window : windows) {
            if (window != box && window->isVisible() && !window->isMinimized()
                && (window->windowType() == Qt::Window || window->windowType() == Qt::Dialog)) {
                owner = window;
                break;
            }
        }
    }
    return owner ? owner->frameGeometry() : Framing::screenArea(box);
}

// The least width at which window managers draw a box's title whole. They
// set it in a bold face of about 10 pt (KDE's Breeze: Noto Sans 10 pt bold)
// between the buttons of the title bar, often centred on the whole bar; a
// box only as wide as its text and buttons (188 pixels for «Хотите выйти?»)
// gets its title shortened to «Сту…он?». The game's sans face is wider than
// most title faces, which gives a margin.
int widthForTitle(const QWidget *box)
{
    QFont font = QApplication::font();
    font.setPointSizeF(10);
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Room on either side for an icon or menu button and up to three
    // buttons, each about two lines of text wide.
    return metrics.horizontalAdvance(box->windowTitle()) + 2 * 4 * metrics.height();
}

// The standard box, wide enough for its title and placed as the game's
// other dialogs are. It takes its size from its contents only as it is
// shown, and would then stand where Qt guesses, not quite centred on its
// owner.
class GameMessageBox final : public QMessageBox
{
public:
    GameMessageBox(Icon icon, const QString &text, QWidget *parent)
        : QMessageBox(icon, applicationTitle(), text, QMessageBox::NoButton, parent)
    {
        // The row of buttons spans the box: as wide as the title needs, it
        // widens the box however often the box sizes itself.
        if (auto *row = findChild<QDialogButtonBox *>())
            row->setMinimumWidth(widthForTitle(this));
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        Framing::centreOn(this, ownerPlace(this, parentWidget()));
    }
};

// A message box sizes its label to the whole text. For a long text (an
// audience poll that quotes answers thousands of characters long) that
// takes seconds and makes the box taller than the screen, its buttons out
// of reach. Such a text goes into a scrolling field of a box that fits the
// screen instead; every other message keeps the standard box.
bool tooLongForAMessageBox(const QString &text)
{
    return text.size() > 2000 || text.count(QLatin1Char('\n')) > 30;
}

MessageResult scrollingMessageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon)
{
    QDialog box(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.setWindowTitle(applicationTitle());
    Framing::showNoWindowIcon(&box);
    auto *layout = new QGridLayout(&box);
    if (icon != MessageIcon::None) {
        auto *picture = new QLabel(&box);
        const QStyle::StandardPixmap kind =
            icon == MessageIcon::Information ? QStyle::SP_MessageBoxInformation : QStyle::SP_MessageBoxCritical;
        const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        picture->setPixmap(box.style()->standardIcon(kind, nullptr, &box).pixmap(size, size));
        layout->addWidget(picture, 0, 0, Qt::AlignTop);
    }
    auto *field = new QPlainTextEdit(&box);
    field->setObjectName(QStringLiteral("text"));
    field->setReadOnly(true);
    field->setFrameShape(QFrame::NoFrame);
    field->setBackgroundVisible(false);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, box.palette().color(QPalette::Window));
    field->setPalette(palette);
    // Lines wrap between words only: a word wider than the field runs on
    // and the field scrolls sideways. (Breaking such a word anywhere takes
    // a time that grows with the square of its length.)
    field->setWordWrapMode(QTextOption::WordWrap);
    field->setPlainText(text);
    layout->addWidget(field, 0, 1);

    auto *row = new QDialogButtonBox(&box);
    layout->addWidget(row, 1, 0, 1, 2);
    QPushButton *yes = nullptr;
    if (buttons == MessageButtons::YesNo) {
        yes = row->addButton(QStringLiteral("Да"), QDialogButtonBox::YesRole);
        QPushButton *no = row->addButton(QStringLiteral("Нет"), QDialogButtonBox::NoRole);
        no->setDefault(true);
        QObject::connect(yes, &QPushButton::clicked, &box, &QDialog::accept);
        QObject::connect(no, &QPushButton::clicked, &box, &QDialog::reject);
        no->setFocus();
    } else {
        QPushButton *ok = row->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
        ok->setFocus();
    }

    const QScreen *screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    box.setFixedSize(std::min(600, area.width() * 4 / 5), std::min(450, area.height() * 3 / 5));
    Framing::centreOn(&box, ownerPlace(&box, parent));
    // Esc and a close request mean No, or OK, as in the standard box.
    const int result = box.exec();
    if (buttons == MessageButtons::YesNo)
        return result == QDialog::Accepted ? MessageResult::Yes : MessageResult::No;
    return MessageResult::Ok;
}

} // namespace

MessageResult messageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon)
{
    if (g_messageBoxHandler)
        return g_messageBoxHandler(text, buttons, icon);
    if (tooLongForAMessageBox(text))
        return scrollingMessageBox(parent, text, buttons, icon);

    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == MessageIcon::Information)
        boxIcon = QMessageBox::Information;
    else if (icon == MessageIcon::Critical)
        boxIcon = QMessageBox::Critical;
    GameMessageBox box(boxIcon, text, parent);
    box.setTextFormat(Qt::PlainText);
    Framing::showNoWindowIcon(&box);
    if (buttons == MessageButtons::YesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MessageResult::Yes : MessageResult::No;
    }
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return MessageResult::Ok;
}

void setMessageBoxHandler(MessageBoxHandler handler)
{
    g_messageBoxHandler = std::move(handler);
}

int execModal(QDialog &dialog)
{
    if (g_modalHandler)
        return g_modalHandler(dialog);
    return dialog.exec();
}

void setModalHandler(ModalHandler handler)
{
    g_modalHandler = std::move(handler);
}

void endProgram()
{
    if (g_endProgramHandler)
        g_endProgramHandler();
    // Nothing is saved and no window or handler gets another turn: leave now.
    std::_Exit(0);
}

void setEndProgramHandler(EndProgramHandler handler)
{
    g_endProgramHandler = std::move(handler);
}

void fatalError(QWidget *parent, const QString &text)
{
    messageBox(parent, text, MessageButtons::Ok, MessageIcon::Critical);
    endProgram();
}

QString programFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder)
{
    g_programFolder = folder;
}

QString programPath(const QString &relativePath)
{
    QString path = relativePath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return programFolder() + path;
}

} // namespace Platform
