#include "describehelper.h"

#include "platform/processmemory.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <csignal>
#include <cstdint>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

Q_LOGGING_CATEGORY(lcHelper, "oblenmediainfo.helper")

namespace describechannel {

namespace {

// A report is a few kilobytes; anything near this is a broken channel.
constexpr std::uint32_t largestMessage = 256u << 20;

bool sendAll(int socket, const char *data, std::size_t size)
{
    while (size > 0) {
        // No SIGPIPE when the other end is gone: the call fails instead.
        const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= std::size_t(sent);
    }
    return true;
}

bool receiveAll(int socket, char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t got = ::recv(socket, data, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= std::size_t(got);
    }
    return true;
}

} // namespace

bool send(int socket, const QString &text)
{
    const std::uint32_t bytes = std::uint32_t(text.size()) * sizeof(QChar);
    return sendAll(socket, reinterpret_cast<const char *>(&bytes), sizeof bytes) &&
           sendAll(socket, reinterpret_cast<const char *>(text.constData()), bytes);
}

std::optional<QString> receive(int socket)
{
    std::uint32_t bytes = 0;
    if (!receiveAll(socket, reinterpret_cast<char *>(&bytes), sizeof bytes))
        return std::nullopt;
    if (bytes % sizeof(QChar) != 0 || bytes > largestMessage)
        return std::nullopt;
    QString text(qsizetype(bytes / sizeof(QChar)), Qt::Uninitialized);
    if (!receiveAll(socket, reinterpret_cast<char *>(text.data()), bytes))
        return std::nullopt;
    return text;
}

} // namespace describechannel

std::unique_ptr<DescribeHelper> DescribeHelper::spawn(const QString &program,
                                                      const QString &libraryName)
{
    if (program.isEmpty())
        return nullptr;
    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        return nullptr;
    const QByteArray programBytes = QFile::encodeName(program);
    const QByteArray libraryBytes = QFile::encodeName(libraryName);
    char *const arguments[] = {const_cast<char *>(programBytes.constData()),
                               const_cast<char *>(libraryBytes.constData()), nullptr};

    // The process's end of the socket becomes its descriptor 3 (dup2 clears
    // close-on-exec there; every other descriptor of ours stays shut to it,
    // so the socket closes when either side ends). Its standard input is
    // empty; its output and errors are ours.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], describechannel::processSide);
    // Signals this program ignores or blocks are not passed on.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int failed = posix_spawn(&pid, programBytes.constData(), &actions, &attributes,
                                   arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(sockets[1]);
    if (failed != 0) {
        qCInfo(lcHelper) << "cannot start" << program << strerror(failed);
        ::close(sockets[0]);
        return nullptr;
    }
    return std::unique_ptr<DescribeHelper>(new DescribeHelper(pid, sockets[0]));
}

QString DescribeHelper::installedProgram()
{
    // The executable's own folder, known before the application object exists.
    const QString folder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path();
    for (const QString &candidate :
         {folder + QStringLiteral("/oblenmediainfo-describe"),
          folder + QStringLiteral("/../libexec/oblenmediainfo/oblenmediainfo-describe")}) {
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).absoluteFilePath();
    }
    return QString();
}

DescribeHelper::~DescribeHelper()
{
    // An idle process sees the channel close and ends by itself.
    ::shutdown(m_socket, SHUT_RDWR);
    ::close(m_socket);
    int status = 0;
    for (int waited = 0; waited < 50; ++waited) {
        const pid_t ended = waitpid(m_pid, &status, WNOHANG);
        if (ended == m_pid || (ended < 0 && errno != EINTR))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(m_pid, SIGKILL);
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
}

bool DescribeHelper::ready()
{
    if (!m_greeted && !m_failed) {
        std::optional<QString> version = describechannel::receive(m_socket);
        m_greeted = version.has_value();
        m_failed = !m_greeted;
        if (version)
            m_version = std::move(*version);
    }
    return m_greeted;
}

std::optional<QString> DescribeHelper::describe(const QString &path)
{
    if (!ready() || m_failed || m_aborted)
        return std::nullopt;
    std::optional<QString> report;
    if (describechannel::send(m_socket, path))
        report = describechannel::receive(m_socket);
    if (!report)
        m_failed = true;
    return report;
}

void DescribeHelper::abort()
{
    m_aborted = true;
    ::kill(m_pid, SIGKILL);
    ::shutdown(m_socket, SHUT_RDWR);
}

qint64 DescribeHelper::peakMemoryKb() const
{
    return processMemoryKb(QString::number(m_pid), "VmHWM");
}
