#include "cmdcls.h"

#include "commands.h"
#include "platform/childprocess.h"
#include "state/playerstate.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QStringEncoder>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcEngine, "tavrin.engine", QtInfoMsg)

cmdcls::cmdcls(PlayerState &state, QObject *parent) : QObject(parent), m_state(state)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_process, &QProcess::readyRead, this, [this] {
        while (!m_ended && m_process.bytesAvailable() > 0)
            ReceiveInfo();
    });
    // Queued: a start that fails reports from inside QProcess::start, before
    // the window has switched to its playing state; the end must come after.
    connect(&m_process, &QProcess::finished, this, &cmdcls::onFinished, Qt::QueuedConnection);
    connect(&m_process, &QProcess::errorOccurred, this, &cmdcls::onError, Qt::QueuedConnection);
}

namespace {
// A write to the pipe of an engine that has gone must fail, not end the
// program (QProcess asks for the same before its own writes).
void ignoreBrokenPipes()
{
    static const bool ignored = [] {
        struct sigaction action = {};
        action.sa_handler = SIG_IGN;
        return sigaction(SIGPIPE, &action, nullptr) == 0;
    }();
    Q_UNUSED(ignored);
}
} // namespace

cmdcls::~cmdcls()
{
    // The engine is told to quit before its channel goes; one that is still
    // there must not outlive the program as an orphan drawing into a window
    // that no longer exists.
    if (m_process.state() == QProcess::NotRunning) {
        closeCommandPipe();
        return;
    }
    // Nobody reads this run's output any more: what the engine still prints
    // is read and dropped. An engine that floods its output would otherwise
    // keep the program appending to the box until the engine ends, and the
    // program would take that long to close.
    m_process.disconnect(this);
    connect(&m_process, &QProcess::readyRead, this, [this] { m_process.readAll(); });
    // Give a "quit " that is still in the write buffer its chance first.
    const QDeadlineTimer grace(quitGraceMs);
    flushCommands();
    while (!m_pendingCommands.isEmpty() && !grace.hasExpired()) {
        pollfd room{m_commandFd, POLLOUT, 0};
        poll(&room, 1, int(grace.remainingTime()));
        flushCommands();
    }
    closeCommandPipe();
    if (!m_process.waitForFinished(int(qMax<qint64>(0, grace.remainingTime())))) {
        qCWarning(lcEngine) << "engine did not quit; killing it";
        m_process.kill();
        m_process.waitForFinished(killWaitMs);
    }
}

void cmdcls::ExecuteCommand(const EngineLaunch &launch)
{
    m_launch = launch;
    const std::optional<int> nice = launch.niceValue;
    int commands[2];
    const int childEnd = pipe2(commands, O_CLOEXEC) == 0 ? commands[0] : -1;
    // The medium's name reaches the engine as the bytes it was given in.
    const auto exact = std::make_shared<const ExactCommandLine>(launch.program, launch.arguments);
    // The engine is created with its priority (a refused raise leaves the
    // default, as it should), and it does not play on as an orphan. Its
    // standard input is the channel's command pipe.
    endWithProgram(
        m_process,
        [nice, childEnd] {
            if (childEnd >= 0)
                dup2(childEnd, STDIN_FILENO);
            if (nice)
                setpriority(PRIO_PROCESS, 0, *nice);
        },
        exact);
    qCDebug(lcEngine) << "starting" << launch.program << launch.arguments;
    m_process.start(launch.program, launch.arguments, QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (childEnd >= 0) {
        close(childEnd);
        m_commandFd = commands[1];
        fcntl(m_commandFd, F_SETFL, fcntl(m_commandFd, F_GETFL) | O_NONBLOCK);
        m_commandRoom = std::make_unique<QSocketNotifier>(m_commandFd, QSocketNotifier::Write);
        m_commandRoom->setEnabled(false);
        connect(m_commandRoom.get(), &QSocketNotifier::activated, this, &cmdcls::flushCommands);
        ignoreBrokenPipes();
    }
    const qint64 pid = m_process.processId();
    m_state.setValue(Field::processHandleField, QString::number(pid > 0 ? pid : 0));
}

void cmdcls::ReceiveInfo()
{
    if (m_ended)
        return;
    const QByteArray bytes = m_process.read(readSize);
    route(m_assembler.feed(bytes));
}

void cmdcls::route(const QString &chunk)
{
    const RoutedChunk routed = routeChunk(chunk);
    if (routed.position) {
        m_state.setValue(Field::currentSecondsField, *routed.position);
        Q_EMIT positionAnswered();
    }
    if (!routed.output.isEmpty())
        m_state.appendOutput(routed.output);
    if (routed.showAsOneLine)
        m_state.setValue(Field::oneLineInfoLabel, routed.output);
}

int cmdcls::WriteData(const QString &text)
{
    // A command sent right after the start (the subtitle and gamma settings)
    // finds the engine still starting: the pipe exists, and QProcess passes
    // the bytes on once the engine runs.
    if (m_ended || m_process.state() == QProcess::NotRunning)
        return -1;
    m_endRequested = m_endRequested || text == EngineCommand::quit || text == EngineCommand::stop;
    QStringEncoder encoder(QStringEncoder::System);
    QByteArray bytes = encoder.encode(text);
    bytes.append("\r\n", 2);
    if (m_commandFd < 0) {
        const qint64 written = m_process.write(bytes);
        if (written > 0 && m_process.state() == QProcess::Running)
            m_process.waitForBytesWritten(0);
        return written < 0 ? -1 : static_cast<int>(written) - 2;
    }
    // Straight into the pipe, so the engine sees the line at once.
    m_pendingCommands += bytes;
    flushCommands();
    return m_commandFd < 0 ? -1 : static_cast<int>(bytes.size()) - 2;
}

void cmdcls::flushCommands()
{
    while (!m_pendingCommands.isEmpty() && m_commandFd >= 0) {
        const ssize_t n =
            write(m_commandFd, m_pendingCommands.constData(), size_t(m_pendingCommands.size()));
        if (n > 0) {
            m_pendingCommands.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break;
        } else {
            // The engine has closed its input: nothing sent now can arrive.
            closeCommandPipe();
        }
    }
    if (m_commandRoom)
        m_commandRoom->setEnabled(!m_pendingCommands.isEmpty());
}

void cmdcls::closeCommandPipe()
{
    m_commandRoom.reset();
    m_pendingCommands.clear();
    if (m_commandFd >= 0)
        close(m_commandFd);
    m_commandFd = -1;
}

void cmdcls::onFinished()
{
    finish();
}

void cmdcls::onError(QProcess::ProcessError error)
{
    // A crash is followed by finished(); a failed start is not. The child
    // that could not exec the engine had a process id for a moment: it names
    // nothing now.
    if (error == QProcess::FailedToStart) {
        m_state.setValue(Field::processHandleField, QStringLiteral("0"));
        finish();
    }
}

void cmdcls::finish()
{
    if (m_ended)
        return;
    while (m_process.bytesAvailable() > 0)
        ReceiveInfo();
    route(m_assembler.flush());
    m_ended = true;
    qCDebug(lcEngine) << "engine ended" << m_process.exitStatus() << m_process.exitCode();
    Q_EMIT ended();
}
