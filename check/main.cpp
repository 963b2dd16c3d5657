// SPDX-License-Identifier: GPL-3.0-or-later
// kvizora-check: checks a data folder before it ships with the game, and
// turns an author's UTF-8 text into a content file.

#include "check/contentcheck.h"
#include "ui/appearance.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Writes only the one file the author named, and only whole: a text that
// cannot be converted leaves it as it was.
int convert(const QString &in, const QString &out)
{
    // Only a regular file: a named pipe or a device would block the reading
    // or never end.
    QFile source(in);
    if (!QFileInfo(in).isFile() || !source.open(QIODevice::ReadOnly)) {
        print(stderr, QStringLiteral("Файл не удаётся прочитать: %1\n").arg(native(in)));
        return 2;
    }
    const ContentCheck::Conversion conversion = ContentCheck::fromUtf8Text(native(in), source.readAll());
    if (!conversion.problems.isEmpty()) {
        for (const ContentCheck::Problem &p : conversion.problems)
            print(stderr, ContentCheck::describe(p) + QLatin1Char('\n'));
        print(stderr, QStringLiteral("Файл %1 не записан.\n").arg(native(out)));
        return 1;
    }
    QSaveFile target(out);
    if (!target.open(QIODevice::WriteOnly) || target.write(conversion.bytes) != conversion.bytes.size() || !target.commit()) {
        print(stderr, QStringLiteral("Файл не удаётся записать: %1\n").arg(native(out)));
        return 2;
    }
    print(stdout, QStringLiteral("Записан %1: строк — %2, Windows-1251, CR LF.\n").arg(native(out)).arg(conversion.lines));
    return 0;
}

// The check's report is all it prints. Qt's own notes on the machine it
// runs on (no desktop session, no runtime folder) say nothing about the
// content and would stand before the report.
void quietQt(QtMsgType, const QMessageLogContext &, const QString &)
{
}

} // namespace

int main(int argc, char *argv[])
{
    // The check measures texts with the game's fonts but shows no window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    QApplication app(argc, argv);
    Appearance::setUpFonts();

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && args.first() == QLatin1String("--convert"))
        return convert(args.at(1), args.at(2));
    const bool strict = !args.isEmpty() && args.first() == QLatin1String("--strict");
    if (strict)
        args.removeFirst();
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        print(stderr, QStringLiteral("Использование: kvizora-check [--strict] ПАПКА_DATA\n"
                                     "               kvizora-check --convert ТЕКСТ_UTF-8 ФАЙЛ.dat\n"));
        return 2;
    }
    const QString folder = QDir::cleanPath(args.first());
    if (!QFileInfo(folder).isDir()) {
        print(stderr, QStringLiteral("Папка не найдена: %1\n").arg(native(folder)));
        return 2;
    }

    const ContentCheck::Report report = ContentCheck::checkFolder(folder, ContentCheck::measuredByTheGame());
    const bool fails = report.count(ContentCheck::Severity::Error) > 0
        || (strict && report.count(ContentCheck::Severity::Warning) > 0);
    print(fails ? stderr : stdout, ContentCheck::format(report));
    return fails ? 1 : 0;
}
