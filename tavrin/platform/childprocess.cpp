#include "childprocess.h"

#include "common/filename.h"

#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void endWithProgram(QProcess &process, std::function<void()> inChild)
{
    const pid_t program = getpid();
    process.setChildProcessModifier([program, inChild = std::move(inChild)] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The program may have gone before the death signal was asked for:
        // then it will never come, and the child must not start at all.
        if (getppid() != program)
            _exit(127);
        if (inChild)
            inChild();
    });
}

ExactCommandLine::ExactCommandLine(const QString &program, const QStringList &arguments)
{
    // QProcess looks a bare name up on the PATH itself; so is it here.
    const QString path = program.contains(QLatin1Char('/'))
                             ? program
                             : QStandardPaths::findExecutable(program);
    m_bytes.push_back(fileNameBytes(path.isEmpty() ? program : path));
    for (const QString &argument : arguments)
        m_bytes.push_back(fileNameBytes(argument));
    for (QByteArray &bytes : m_bytes)
        m_argv.push_back(bytes.data());
    m_argv.push_back(nullptr);
}

void ExactCommandLine::exec() const
{
    ::execv(m_argv.front(), m_argv.data());
}
