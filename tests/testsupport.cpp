// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include "game/form2.h"
#include "game/module1.h"
#include "game/rules.h"
#include "ui/controls.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTest>
#ifdef KVIZORA_SCREEN_READER_TESTS
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#endif

#include <algorithm>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

double ScriptedRandom::next()
{
    if (m_draws.empty()) {
        QTest::qFail("the code drew more random numbers than the test scripted", __FILE__, __LINE__);
        throw std::runtime_error("random draws exhausted");
    }
    const double r = m_draws.front();
    m_draws.pop_front();
    ++drawn;
    return r;
}

double SeededRandom::next()
{
    // 53 random bits scaled into [0, 1), as the game's own generator does.
    return static_cast<double>(engine() >> 11) * 0x1.0p-53;
}

PlatformStandIns::PlatformStandIns()
{
    Platform::setRandomSource(&random);
    Platform::setMessageBoxHandler([this](const QString &text, Platform::MessageButtons buttons, Platform::MessageIcon icon) {
        messages.append({text, buttons, icon});
        if (buttons == Platform::MessageButtons::Ok)
            return Platform::MessageResult::Ok;
        if (answers.isEmpty()) {
            QTest::qFail("a Yes/No box was shown with no answer scripted", __FILE__, __LINE__);
            throw std::runtime_error("no scripted answer");
        }
        return answers.takeFirst();
    });
    Platform::setEndProgramHandler([this] {
        ++ends;
        throw ProgramEnded();
    });
}

PlatformStandIns::~PlatformStandIns()
{
    Platform::setRandomSource(nullptr);
    Platform::setMessageBoxHandler({});
    Platform::setEndProgramHandler({});
    Platform::setModalHandler({});
    Platform::setProgramFolder(QString());
}

QByteArray toWindows1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

qint64 timeLimit(qint64 milliseconds)
{
    const int scale = qEnvironmentVariableIntValue("KVIZORA_TIME_SCALE");
    return milliseconds * (scale > 1 ? scale : 1);
}

DataFolder::DataFolder()
{
    Platform::setProgramFolder(m_dir.path());
}

void DataFolder::writeBytes(const QString &relativePath, const QByteArray &bytes)
{
    const QString full = m_dir.path() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test data file");
}

void DataFolder::writeLines(const QString &relativePath, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += toWindows1251(line) + "\r\n";
    writeBytes(relativePath, bytes);
}

void DataFolder::writeHostFiles()
{
    const auto numbered = [](const QString &word, int count) {
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << word + QLatin1Char(' ') + QString::number(i);
        return lines;
    };
    writeLines(QStringLiteral("data/host/intrigue.dat"), numbered(QStringLiteral("Интрига"), 16));
    writeLines(QStringLiteral("data/host/Right.dat"), numbered(QStringLiteral("Верно!"), 11));
    writeLines(QStringLiteral("data/host/Wrong.dat"), numbered(QStringLiteral("Увы!"), 7));
}

QStringList DataFolder::levelLines(int level)
{
    QStringList lines;
    for (int record = 1; record <= 10; ++record) {
        const QString id = QString::number(level) + QLatin1Char('.') + QString::number(record);
        lines << QStringLiteral("Вопрос ") + id << QStringLiteral("Верно ") + id << QStringLiteral("Мимо ") + id + QStringLiteral(" а")
              << QStringLiteral("Мимо ") + id + QStringLiteral(" б") << QStringLiteral("Мимо ") + id + QStringLiteral(" в");
    }
    return lines;
}

void DataFolder::writeLevel(int level)
{
    writeLines(QStringLiteral("data/qa/%1.dat").arg(level), levelLines(level));
}

void DataFolder::writeLevels(int from, int to)
{
    for (int level = from; level <= to; ++level)
        writeLevel(level);
}

void DataFolder::copyShippedData()
{
    const QString source = qEnvironmentVariable("KVIZORA_SOURCE_DIR") + QStringLiteral("/data");
    QDirIterator files(source, QDir::Files, QDirIterator::Subdirectories);
    int copied = 0;
    while (files.hasNext()) {
        const QString file = files.next();
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read the shipped data");
        writeBytes(QStringLiteral("data") + file.mid(source.size()), in.readAll());
        ++copied;
    }
    if (copied == 0)
        throw std::runtime_error("no shipped data found: is KVIZORA_SOURCE_DIR set?");
}

ChildOutcome runInChildProcess(const std::function<void()> &scenario)
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        close(fds[0]);
        const int out = fds[1];
        Platform::setEndProgramHandler({});
        Platform::setMessageBoxHandler([out](const QString &text, Platform::MessageButtons buttons, Platform::MessageIcon) {
            const QByteArray record = text.toUtf8().toBase64() + '\n';
            if (write(out, record.constData(), size_t(record.size())) != record.size())
                _exit(96);
            return buttons == Platform::MessageButtons::YesNo ? Platform::MessageResult::Yes : Platform::MessageResult::Ok;
        });
        scenario();
        _exit(ScenarioReturned);
    }
    close(fds[1]);
    QByteArray received;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        received.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    ChildOutcome outcome;
    outcome.exited = WIFEXITED(status);
    outcome.exitCode = outcome.exited ? WEXITSTATUS(status) : -1;
    for (const QByteArray &line : received.split('\n'))
        if (!line.isEmpty())
            outcome.messages << QString::fromUtf8(QByteArray::fromBase64(line));
    return outcome;
}

int rightAnswerButton(const Form2 &gameScreen)
{
    for (int i = 0; i < 4; ++i)
        if (Rules::isRightAnswer(gameScreen.Command[i]->caption(), Module1.CorrectAnswer))
            return i;
    return -1;
}

namespace {

AccessibilityRecorder *g_recorder = nullptr;

// QAccessible::isActive() answers what the platform's accessibility says;
// QAccessible::setActive() only tells observers. A screen reader turns the
// platform's on, so does this.
void setPlatformAccessibilityActive(bool active)
{
#ifdef KVIZORA_SCREEN_READER_TESTS
    QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform);
    platform->setActive(active);
    QCOMPARE(QAccessible::isActive(), active);
#else
    Q_UNUSED(active);
#endif
}

} // namespace

AccessibilityRecorder::AccessibilityRecorder()
{
    g_recorder = this;
    QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
        QAccessibleInterface *iface = event->accessibleInterface();
        g_recorder->events.append({event->type(), event->object(), iface ? iface->role() : QAccessible::NoRole,
                                   iface ? iface->text(QAccessible::Name) : QString()});
    });
    setPlatformAccessibilityActive(true);
}

AccessibilityRecorder::~AccessibilityRecorder()
{
    setPlatformAccessibilityActive(false);
    QAccessible::installUpdateHandler(nullptr);
    g_recorder = nullptr;
}

QStringList AccessibilityRecorder::announcements() const
{
    QStringList spoken;
    for (const Event &event : events)
        if (event.type == QAccessible::ObjectShow && event.role == QAccessible::Notification)
            spoken << event.name;
    return spoken;
}

int AccessibilityRecorder::nameChanges(const QObject *object) const
{
    return int(std::count_if(events.begin(), events.end(), [object](const Event &event) {
        return event.type == QAccessible::NameChanged && event.object == object;
    }));
}

void pressKey(QWindow *window, int key, Qt::KeyboardModifiers modifiers)
{
    if (key >= 0x0400 && key <= 0x04FF)
        QTest::sendKeyEvent(QTest::Click, window, Qt::Key(key), QString(QChar(key)).toLower(), modifiers);
    else
        QTest::keyClick(window, Qt::Key(key), modifiers);
}

QString accessibleName(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no interface>");
}
