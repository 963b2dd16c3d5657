#include "title/form1.h"
#include "ui/appearance.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Appearance::setUpApplication();

    // The title screen is the first window; it starts the game or ends the
    // program, and discards itself when a game starts.
    auto *titleScreen = new Form1;
    titleScreen->show();
    return app.exec();
}
