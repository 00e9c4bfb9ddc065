// A scripted stand-in for MPlayer in slave mode, for exact tests of the
// engine channel. It records every byte it receives, prints what it was
// started with, plays back a recorded output, answers position requests and
// ends on "quit " or "stop ", like the real engine on Linux (lines end in LF).
//
//   FAKE_MPLAYER_LOG     file that receives every byte read from stdin
//   FAKE_MPLAYER_SCRIPT  file whose text is printed after the start lines; a
//                        line "@flood N" in it prints N bytes of filler lines
//                        there instead (N = 0: until told to quit), still
//                        obeying commands meanwhile
//   FAKE_MPLAYER_HANG    when set, "quit ", SIGTERM, SIGPIPE and the end of its
//                        input are ignored (a hung engine)
//   FAKE_MPLAYER_SILENT  when set, position requests get no answer
//   FAKE_MPLAYER_PIDFILE file that receives the engine's process id
//   FAKE_MPLAYER_CMDLIST file printed for "-input cmdlist" (nothing without
//                        it); that question is answered and nothing else done
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

bool hang = false;
bool silent = false;
FILE *received = nullptr;
std::string pending; // the command line being read

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

double position = 1.0;

// Acts on one command line; false when it tells the engine to end.
bool obey(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const bool positionRequest =
        startsWith(line, "get_time_pos") || startsWith(line, "pausing_keep_force get_time_pos");
    if (positionRequest && !silent) {
        char answer[64];
        std::snprintf(answer, sizeof answer, "ANS_TIME_POSITION=%.1f\n", position);
        position += 0.5;
        say(answer);
    } else if (!hang && (startsWith(line, "quit") || startsWith(line, "stop"))) {
        say("\nExiting... (Quit)\n");
        return false;
    } else if (startsWith(line, "say ")) {
        say(line.substr(4) + "\n");
    }
    return true;
}

// Reads what is waiting on stdin (all of it, or, when blocking, at least one
// byte) and obeys every complete line. False at the end of input or when a
// command ended the engine.
bool readCommands(bool block)
{
    for (;;) {
        if (!block) {
            pollfd in{STDIN_FILENO, POLLIN, 0};
            if (poll(&in, 1, 0) <= 0)
                return true;
        }
        char buffer[256];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (received) {
                std::fputc(c, received);
                std::fflush(received);
            }
            if (c != '\n') {
                pending += c;
                continue;
            }
            const std::string line = pending;
            pending.clear();
            if (!obey(line))
                return false;
        }
        if (block)
            return true;
    }
}

// Filler lines, as an engine that complains about every frame prints them.
// False when a command ended the engine meanwhile.
bool flood(unsigned long long bytes)
{
    std::string block;
    unsigned long long sent = 0;
    unsigned long number = 0;
    while (bytes == 0 || sent < bytes) {
        block.clear();
        // Whole lines only: the text after the flood starts a line of its own.
        const unsigned long long room = bytes == 0 ? 65536 : std::min(65536ULL, bytes - sent);
        while (block.size() < room) {
            char line[96];
            std::snprintf(line, sizeof line,
                          "[flood] %08lu decoder warning: the quick brown fox jumps again\n",
                          number++);
            block += line;
        }
        say(block);
        sent += block.size();
        if (!readCommands(false))
            return false;
    }
    return true;
}

// Prints the script; false when a command ended the engine during a flood.
bool playScript(const char *path)
{
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return true;
    char line[4096];
    bool going = true;
    while (going && std::fgets(line, sizeof line, f)) {
        if (startsWith(line, "@flood "))
            going = flood(std::strtoull(line + 7, nullptr, 10));
        else
            say(line);
    }
    std::fclose(f);
    return going;
}

} // namespace

// "-input cmdlist": print the command list and end, as the engine does,
// before anything else (the log of a run must not be touched).
bool answersCommandList(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-input") != 0 || std::strcmp(argv[i + 1], "cmdlist") != 0)
            continue;
        if (const char *path = std::getenv("FAKE_MPLAYER_CMDLIST"))
            playScript(path);
        return true;
    }
    return false;
}

int main(int argc, char **argv)
{
    if (answersCommandList(argc, argv))
        return 0;
    hang = std::getenv("FAKE_MPLAYER_HANG") != nullptr;
    silent = std::getenv("FAKE_MPLAYER_SILENT") != nullptr;
    if (hang) {
        std::signal(SIGTERM, SIG_IGN);
        std::signal(SIGPIPE, SIG_IGN);
    }
    if (const char *path = std::getenv("FAKE_MPLAYER_PIDFILE")) {
        if (FILE *f = std::fopen(path, "w")) {
            std::fprintf(f, "%ld\n", static_cast<long>(getpid()));
            std::fclose(f);
        }
    }
    if (const char *path = std::getenv("FAKE_MPLAYER_LOG"))
        received = std::fopen(path, "wb");

    say("MPlayer FAKE-1 (C) 2000-2023 MPlayer Team\n");
    for (int i = 1; i < argc; ++i)
        say(std::string("FAKE_ARG=") + argv[i] + "\n");
    errno = 0;
    say("FAKE_NICE=" + std::to_string(getpriority(PRIO_PROCESS, 0)) + "\n");

    bool going = true;
    if (const char *script = std::getenv("FAKE_MPLAYER_SCRIPT"))
        going = playScript(script);
    else
        say("ID_LENGTH=10.02\nStarting playback...\n");

    while (going)
        going = readCommands(true);
    if (received)
        std::fclose(received);
    // Hung: not even the loss of its input ends it.
    while (hang)
        pause();
    return 0;
}
