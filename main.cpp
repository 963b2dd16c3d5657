#include "game/form2.h"
#include "ui/appearance.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Appearance::setUpApplication();

    auto *gameScreen = new Form2;
    gameScreen->Form_Load();
    gameScreen->show();
    return app.exec();
}
