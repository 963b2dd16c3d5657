// SPDX-License-Identifier: GPL-3.0-or-later
// kvizora-check: checks a data folder before it ships with the game.

#include "game/contentcheck.h"
#include "ui/appearance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The check measures texts with the game's fonts but shows no window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Appearance::setUpFonts();

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("Использование: kvizora-check ПАПКА_DATA\n", stderr);
        return 2;
    }
    const QString folder = QDir::cleanPath(args.at(1));
    if (!QFileInfo(folder).isDir()) {
        std::fprintf(stderr, "Папка не найдена: %s\n", qPrintable(QDir::toNativeSeparators(folder)));
        return 2;
    }

    const ContentCheck::Report report = ContentCheck::checkFolder(folder, ContentCheck::measuredByTheGame());
    const QByteArray text = ContentCheck::format(report).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), report.problems.isEmpty() ? stdout : stderr);
    return report.problems.isEmpty() ? 0 : 1;
}
