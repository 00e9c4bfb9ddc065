#pragma once

#include "enginelaunch.h"
#include "outputrouting.h"

#include <QObject>
#include <QProcess>
#include <QSocketNotifier>
#include <array>
#include <memory>

class PlayerState;

// The channel to one engine run: starts MPlayer, routes what it prints into
// the state record, writes commands to it, and reports its end. A fresh
// instance is made for every run.
class cmdcls : public QObject
{
    Q_OBJECT
public:
    // Reads are at most this many bytes; each read is routed as one poll.
    static constexpr qint64 readSize = 4096;
    // When the channel goes while its engine still runs (the program ends),
    // the engine gets this long to obey the "quit " it was sent, and is
    // killed after that.
    static constexpr int quitGraceMs = 500;
    static constexpr int killWaitMs = 500;

    explicit cmdcls(PlayerState &state, QObject *parent = nullptr);
    ~cmdcls() override;

    // Starts the engine. processHandleField gets its process id, or "0" when
    // it could not be started, in which case ended() follows from the event
    // loop as for any other end.
    void ExecuteCommand(const EngineLaunch &launch);
    // One poll: reads what is waiting (at most 4096 bytes) and routes it.
    void ReceiveInfo();
    // Sends the text and CR LF. Returns the bytes written minus 2, or -1 when
    // no engine runs.
    int WriteData(const QString &text);
    // The same for a command already in the engine's encoding and ended by
    // CR LF: a command sent many times a second is encoded once.
    int WriteLine(QByteArrayView line);

    // For an engine that ignored "quit ": ask it to end, then make it.
    void Terminate() { m_process.terminate(); }
    void Kill() { m_process.kill(); }

    bool isRunning() const { return m_process.state() != QProcess::NotRunning && !m_ended; }
    // Whether the program told this run to end ("quit ", "stop "): an end
    // it asked for is no failure of the engine.
    bool endRequested() const { return m_endRequested; }
    qint64 processId() const { return m_process.processId(); }
    const EngineLaunch &launch() const { return m_launch; }

Q_SIGNALS:
    // The engine has gone and all of its output has been routed. Emitted once.
    void ended();
    // A position answer was taken out of the output (currentSecondsField
    // may hold the same text as before).
    void positionAnswered();

private:
    void onFinished();
    void onError(QProcess::ProcessError error);
    void route(const QString &chunk);
    // A read of position answers only, the most common read by far while
    // playing, is routed straight from its bytes: this is its last value.
    void routePosition(QByteArrayView value);
    // Reads what the engine printed; false once nothing more is waiting.
    bool readOutput();
    void finish();
    void closeOutputPipe();
    // Commands go through a pipe of the channel's own rather than through
    // QProcess's buffered input: a write there switches a notifier on and off
    // and wakes the event loop twice more per command, many times a second
    // while the position is polled. What the pipe cannot take at once waits
    // here and goes when the pipe has room.
    void flushCommands();
    void closeCommandPipe();

    PlayerState &m_state;
    QProcess m_process;
    EngineLaunch m_launch;
    EngineOutputAssembler m_assembler;
    bool m_ended = false;
    bool m_endRequested = false;
    int m_commandFd = -1;
    QByteArray m_pendingCommands;
    std::unique_ptr<QSocketNotifier> m_commandRoom;
    // The engine's output (standard output and standard error) comes through
    // a pipe of the channel's own too, read straight into one buffer: with
    // QProcess's channel every read costs one more system call, a copy into
    // its ring buffer and one more out of it.
    int m_outputFd = -1;
    std::unique_ptr<QSocketNotifier> m_outputReady;
    std::array<char, readSize> m_readBuffer;
};
