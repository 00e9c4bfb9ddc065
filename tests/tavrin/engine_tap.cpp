// Runs the real engine and keeps a copy of every byte sent to it, so a test
// (or a bench) can see the exact commands the real MPlayer received.
//
//   ENGINE_TAP_LOG      file that receives every byte read from stdin
//   ENGINE_TAP_PROGRAM  the engine to run (default: mplayer on PATH)
// The engine's output goes straight to ours; we end when it ends.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    int toEngine[2];
    if (pipe(toEngine) != 0)
        return 127;
    const pid_t child = fork();
    if (child < 0)
        return 127;
    if (child == 0) {
        // The engine goes with us, even when we are killed.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(toEngine[0], STDIN_FILENO);
        close(toEngine[0]);
        close(toEngine[1]);
        const char *program = std::getenv("ENGINE_TAP_PROGRAM");
        argv[0] = const_cast<char *>(program ? program : "mplayer");
        execvp(argv[0], argv);
        _exit(127);
    }
    close(toEngine[0]);
    (void)argc;
    // A write to an engine that has just ended must not end us first.
    std::signal(SIGPIPE, SIG_IGN);

    FILE *log = nullptr;
    if (const char *path = std::getenv("ENGINE_TAP_LOG"))
        log = std::fopen(path, "ab");

    bool inputOpen = true;
    for (;;) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (!inputOpen) {
            usleep(20000);
            continue;
        }
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (poll(&in, 1, 20) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            inputOpen = false;
            close(toEngine[1]);
            continue;
        }
        if (log) {
            std::fwrite(buffer, 1, static_cast<size_t>(n), log);
            std::fflush(log);
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = write(toEngine[1], buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                break;
            done += w;
        }
    }
}
