// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/module1.h"
#include "lifelines/form4.h"
#include "testsupport.h"
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The game writes nothing. Whole games are played from a read-only copy of
// the built program folder (the executable and its data folder), and the
// folder is compared before and after: names, kinds, sizes, times,
// permissions and contents. Permission bits alone prove nothing where the
// tests run as root, so the comparison is what counts.
class TestReadOnlyFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void gamesFromAReadOnlyFolderLeaveItUnchanged();

private:
    // One line per entry of the folder, the folder itself included.
    QStringList listing() const;
    void setWritable(bool writable);
    // Plays one game through the real windows; `ending` is "top prize",
    // "wrong answer" or "take the money".
    void play(const QString &ending);

    QTemporaryDir m_dir;
    QString m_folder;
};

void TestReadOnlyFolder::initTestCase()
{
    Appearance::setUpApplication();
    QVERIFY(m_dir.isValid());
    m_folder = m_dir.path() + QStringLiteral("/kvizora");
    const QFileInfo executable(QStringLiteral(KVIZORA_EXECUTABLE));
    QVERIFY(QDir().mkpath(m_folder));
    QVERIFY(QFile::copy(executable.filePath(), m_folder + QStringLiteral("/kvizora")));
    const QString data = executable.path() + QStringLiteral("/data");
    QDirIterator files(data, QDir::Files, QDirIterator::Subdirectories);
    int copied = 0;
    while (files.hasNext()) {
        const QString file = files.next();
        const QString target = m_folder + QStringLiteral("/data") + file.mid(data.size());
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        QVERIFY(QFile::copy(file, target));
        ++copied;
    }
    QCOMPARE(copied, 24); // 15 question files, 3 host files, 3 pictures and their 2x twins
    setWritable(false);
}

void TestReadOnlyFolder::cleanupTestCase()
{
    setWritable(true); // so that the temporary folder can go
}

void TestReadOnlyFolder::setWritable(bool writable)
{
    const auto apply = [writable](const QString &path) {
        QFile::Permissions permissions = QFileInfo(path).permissions();
        const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
        QFile::setPermissions(path, writable ? (permissions | QFile::WriteOwner | QFile::WriteUser) : (permissions & ~write));
    };
    QDirIterator entries(m_folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext())
        apply(entries.next());
    apply(m_folder);
}

QStringList TestReadOnlyFolder::listing() const
{
    QStringList lines;
    const auto describe = [&](const QString &path) {
        struct stat status{};
        if (lstat(QFile::encodeName(path).constData(), &status) != 0)
            return QStringLiteral("%1 vanished").arg(path);
        QString line = QStringLiteral("%1 mode %2 size %3 mtime %4.%5 ctime %6.%7")
                           .arg(path.mid(m_folder.size()))
                           .arg(status.st_mode, 0, 8)
                           .arg(qint64(status.st_size))
                           .arg(qint64(status.st_mtim.tv_sec))
                           .arg(qint64(status.st_mtim.tv_nsec))
                           .arg(qint64(status.st_ctim.tv_sec))
                           .arg(qint64(status.st_ctim.tv_nsec));
        if (S_ISREG(status.st_mode)) {
            QFile file(path);
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
                line += QStringLiteral(" sha256 ") + QString::fromLatin1(hash.result().toHex());
        }
        return line;
    };
    lines << describe(m_folder);
    QDirIterator entries(m_folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext())
        lines << describe(entries.next());
    lines.sort();
    return lines;
}

void TestReadOnlyFolder::play(const QString &ending)
{
    Module1 = GameState{};
    PlatformStandIns platform;
    SeededRandom random(2004);
    Platform::setRandomSource(&random);
    Platform::setProgramFolder(m_folder);
    int windows = 0;
    Platform::setModalHandler([&](QDialog &dialog) {
        ++windows;
        if (auto *verdict = qobject_cast<Form3 *>(&dialog)) {
            for (int tick = 0; tick < 8; ++tick)
                verdict->Timer1_Timer();
        } else if (auto *call = qobject_cast<Form4 *>(&dialog)) {
            for (int tick = 0; tick < 15; ++tick)
                call->Timer1_Timer();
            call->Command1_Click();
        } else if (auto *victory = qobject_cast<Form5 *>(&dialog)) {
            victory->show();
            for (int tick = 0; tick < 50; ++tick)
                victory->Timer1_Timer();
            victory->CommandButton1_Click();
        }
        return dialog.result();
    });

    auto *title = new Form1;
    title->show();
    title->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto *game = qobject_cast<Form2 *>(QApplication::topLevelWidgets().value(0));
    QVERIFY(game);
    const auto right = [&] { return rightAnswerButton(*game); };
    try {
        // Every lifeline, on the way to the ending asked for.
        game->Command6_Click();
        game->Command9_Click();
        game->Command_Click(right());
        game->Command8_Click();
        game->Command_Click(right());
        if (ending == QStringLiteral("take the money")) {
            platform.answers << Platform::MessageResult::Yes;
            game->CommandButton2_Click();
        }
        while (Module1.Level < 15)
            game->Command_Click(right());
        game->Command_Click(ending == QStringLiteral("wrong answer") ? (right() + 1) % 4 : right());
    } catch (const ProgramEnded &) {
    }
    QCOMPARE(platform.ends, 1);
    QCOMPARE(Module1.Level, ending == QStringLiteral("take the money") ? 3 : 16);
    QVERIFY(windows >= 3);
    qDeleteAll(QApplication::topLevelWidgets());
}

void TestReadOnlyFolder::gamesFromAReadOnlyFolderLeaveItUnchanged()
{
    const QStringList before = listing();
    QCOMPARE(before.size(), 1 + 1 + 1 + 3 + 24); // folder, executable, data, qa/host/gfx, files
    for (const QString &ending : {QStringLiteral("top prize"), QStringLiteral("wrong answer"), QStringLiteral("take the money")})
        play(ending);
    const QStringList after = listing();
    QCOMPARE(after, before);
}

QTEST_MAIN(TestReadOnlyFolder)
#include "tst_readonlyfolder.moc"
