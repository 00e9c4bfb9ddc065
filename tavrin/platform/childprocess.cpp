#include "childprocess.h"

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
