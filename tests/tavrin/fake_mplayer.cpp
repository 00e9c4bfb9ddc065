// A scripted stand-in for MPlayer in slave mode, for exact tests of the
// engine channel. It records every byte it receives, prints what it was
// started with, plays back a recorded output, answers position requests and
// ends on "quit " or "stop ", like the real engine on Linux (lines end in LF).
//
//   FAKE_MPLAYER_LOG     file that receives every byte read from stdin
//   FAKE_MPLAYER_SCRIPT  file whose text is printed after the start lines
//   FAKE_MPLAYER_HANG    when set, "quit " and SIGTERM are ignored (a hung engine)
//   FAKE_MPLAYER_SILENT  when set, position requests get no answer
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void say(const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

bool startsWith(const std::string &line, const char *prefix)
{
    return line.compare(0, std::strlen(prefix), prefix) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    const bool hang = std::getenv("FAKE_MPLAYER_HANG") != nullptr;
    if (hang)
        std::signal(SIGTERM, SIG_IGN);
    say("MPlayer FAKE-1 (C) 2000-2023 MPlayer Team\n");
    for (int i = 1; i < argc; ++i)
        say(std::string("FAKE_ARG=") + argv[i] + "\n");
    errno = 0;
    say("FAKE_NICE=" + std::to_string(getpriority(PRIO_PROCESS, 0)) + "\n");

    if (const char *script = std::getenv("FAKE_MPLAYER_SCRIPT")) {
        if (FILE *f = std::fopen(script, "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                say(std::string(buffer, n));
            std::fclose(f);
        }
    } else {
        say("ID_LENGTH=10.02\nStarting playback...\n");
    }

    FILE *log = nullptr;
    if (const char *path = std::getenv("FAKE_MPLAYER_LOG"))
        log = std::fopen(path, "wb");

    const bool silent = std::getenv("FAKE_MPLAYER_SILENT") != nullptr;
    double position = 1.0;
    std::string line;
    char c;
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (log) {
            std::fputc(c, log);
            std::fflush(log);
        }
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (silent && (startsWith(line, "get_time_pos") ||
                       startsWith(line, "pausing_keep_force get_time_pos"))) {
        } else if (startsWith(line, "get_time_pos") ||
                   startsWith(line, "pausing_keep_force get_time_pos")) {
            char answer[64];
            std::snprintf(answer, sizeof answer, "ANS_TIME_POSITION=%.1f\n", position);
            position += 0.5;
            say(answer);
        } else if (!hang && (startsWith(line, "quit") || startsWith(line, "stop"))) {
            say("\nExiting... (Quit)\n");
            break;
        } else if (startsWith(line, "say ")) {
            say(line.substr(4) + "\n");
        }
        line.clear();
    }
    if (log)
        std::fclose(log);
    return 0;
}
