#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <sys/types.h>

// Our side of one describing process: the small program oblenmediainfo-describe,
// which loads libmediainfo by itself and describes the files sent to it, one
// at a time, exactly as report::describe does here.
//
// Why processes: the library keeps its settings and tables process-wide behind
// locks that it takes many times per file, so threads of one process spend
// much of a batch waiting for each other (and the cores spin on those locks).
// Processes share none of that. A file that crashes the library also ends only
// its describing process, not the window.
//
// The channel is a socket on descriptor 3 of the process. Each message is a
// 32-bit byte count and that many bytes of UTF-16 text: the process first
// sends its library's version text, then one report per path it receives. It
// ends when the socket closes.
class DescribeHelper
{
public:
    // Starts the program for the library named; the version text arrives
    // meanwhile and is waited for by the first call that needs it. Nothing
    // when the program cannot be started.
    static std::unique_ptr<DescribeHelper> spawn(const QString &program,
                                                 const QString &libraryName);
    // Where the installed program is: beside this program (the build tree, or
    // an installation into one folder), or in ../libexec/oblenmediainfo. Empty
    // when it is in neither place.
    static QString installedProgram();

    // Closes the channel and reaps the process, killing it when it does not
    // end at once (it may be in the middle of a long file).
    ~DescribeHelper();
    DescribeHelper(const DescribeHelper &) = delete;
    DescribeHelper &operator=(const DescribeHelper &) = delete;

    // Whether the process has answered with its version text (waits for it).
    bool ready();
    const QString &versionText() const { return m_version; }
    // The report of one file; nothing when the process ended without giving
    // it (it crashed on the file, or abort() was called).
    std::optional<QString> describe(const QString &path);
    // From any thread: kills the process, so that a describe() blocked on it
    // returns at once.
    void abort();

    pid_t processId() const { return m_pid; }
    // Peak resident memory of the process so far, in KiB (0 when unknown).
    qint64 peakMemoryKb() const;

private:
    DescribeHelper(pid_t pid, int socket) : m_pid(pid), m_socket(socket) {}

    pid_t m_pid;
    int m_socket;
    QString m_version;
    bool m_greeted = false;
    bool m_failed = false;
    std::atomic<bool> m_aborted{false};
};

// The message framing of the channel, for both ends.
namespace describechannel {

// The descriptor the describing process talks on.
constexpr int processSide = 3;

bool send(int socket, const QString &text);
std::optional<QString> receive(int socket);

} // namespace describechannel
