#include "game/platform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

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

MessageResult messageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon)
{
    if (g_messageBoxHandler)
        return g_messageBoxHandler(text, buttons, icon);

    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == MessageIcon::Information)
        boxIcon = QMessageBox::Information;
    else if (icon == MessageIcon::Critical)
        boxIcon = QMessageBox::Critical;
    QMessageBox box(boxIcon, applicationTitle(), text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
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
