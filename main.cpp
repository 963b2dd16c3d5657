// SPDX-License-Identifier: GPL-3.0-or-later
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/desktop.h"
#include "ui/fontsetup.h"

#include <QApplication>

#include <thread>

int main(int argc, char *argv[])
{
    Desktop::choosePlatform();
    // Fontconfig needs no display: the game's font configuration is built on
    // a second thread while Qt connects to the window system.
    std::thread fonts([] { FontSetup::useGameFonts(); });
    QApplication app(argc, argv);
    fonts.join();
    Appearance::setUpApplication();

    // The title screen is the first window; it starts the game or ends the
    // program, and discards itself when a game starts.
    auto *titleScreen = new Form1;
    Desktop::nameApplication(titleScreen);
    titleScreen->show();
    return app.exec();
}
