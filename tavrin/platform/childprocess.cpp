#include "childprocess.h"

#include "common/filename.h"

#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// QProcess starts the child as vfork does: until it executes a program, the
// child runs on the program's own stack and memory. The sanitizers' guard
// marks of frames that never return (the child leaves them by executing)
// would stay behind there and make the program's later calls seem to
// overrun, so the code that ends in the exec carries none.
#if defined(__SANITIZE_ADDRESS__)
#define CHILD_SIDE __attribute__((no_sanitize_address))
#else
#define CHILD_SIDE
#endif

void endWithProgram(QProcess &process, std::function<void()> inChild,
                    std::shared_ptr<const ExactCommandLine> exact)
{
    const pid_t program = getpid();
    process.setChildProcessModifier(
        [program, inChild = std::move(inChild), exact = std::move(exact)]() CHILD_SIDE {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            // The program may have gone before the death signal was asked
            // for: then it will never come, and the child must not start at all.
            if (getppid() != program)
                _exit(127);
            if (inChild)
                inChild();
            if (exact)
                exact->exec();
        });
}

ExactCommandLine::ExactCommandLine(const QString &program, const QStringList &arguments)
{
    // QProcess looks a bare name up on the PATH itself; so is it here.
    const QString path =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    m_bytes.push_back(fileNameBytes(path.isEmpty() ? program : path));
    for (const QString &argument : arguments)
        m_bytes.push_back(fileNameBytes(argument));
    for (QByteArray &bytes : m_bytes)
        m_argv.push_back(bytes.data());
    m_argv.push_back(nullptr);
}

CHILD_SIDE void ExactCommandLine::exec() const
{
    ::execv(m_argv.front(), m_argv.data());
}
