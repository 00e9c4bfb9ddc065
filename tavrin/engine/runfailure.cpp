#include "runfailure.h"

#include "playercore.h"

#include <QFileInfo>
#include <QStringList>

namespace {
const QString startedMarker = QStringLiteral("Starting playback...");
// Output beyond this, from the end, is no longer looked at: a run that
// fails prints a few dozen lines.
constexpr qsizetype keptOutput = 16 * 1024;

// What the engine prints for each reason, most telling first: a run that
// did not find its file also says that it failed to open it.
struct Reason
{
    const char *engineText;
    const char *text;
};
constexpr Reason reasons[] = {
    {"File not found:", "파일을 찾을 수 없습니다."},
    {"Error parsing option on the command line", "재생기에 줄 설정 값이 잘못되었습니다."},
    {"X11 error:", "영상을 그릴 창을 열 수 없습니다."},
    {"Cannot find codec", "이 영상 형식을 풀 코덱이 없습니다."},
    {"Failed to recognize file format", "파일 형식을 알 수 없습니다."},
    {"av_open_input_stream() failed", "파일 형식을 알 수 없습니다."},
    {"Could not open/initialize audio device", "소리 장치를 열 수 없습니다."},
    {"No stream found", "재생할 영상이나 소리가 없습니다."},
    {"Failed to open", "파일을 열 수 없습니다."},
};

const QString prefix = QStringLiteral("재생할 수 없음: ");

// What the engine said about the medium: the output after the line that
// names it. Before that line come its start-up notes (fonts, the remote
// control: "Failed to open LIRC support"), which are no reason; an engine
// that refused its options never gets to that line.
QString aboutTheMedium(const QString &output)
{
    const qsizetype playing = output.lastIndexOf(QLatin1String("\r\nPlaying "));
    return playing < 0 ? output : output.mid(playing + 2);
}

// The last line of the engine's own messages: not an identify line and not
// the closing "Exiting...".
QString lastEngineLine(const QString &text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (text.startsWith(QLatin1String("Playing ")))
        lines.removeFirst();
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QString line = lines.at(i).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1String("ID_")) &&
            !line.startsWith(QLatin1String("Exiting...")))
            return line;
    }
    return {};
}
} // namespace

namespace RunFailure {

QString describe(const QString &runOutput, const QString &medium)
{
    const QString said = aboutTheMedium(runOutput);
    for (const Reason &reason : reasons) {
        if (said.contains(QLatin1String(reason.engineText)))
            return prefix + QString::fromUtf8(reason.text);
    }
    // Where the engine says nothing useful, the medium may tell.
    if (medium.endsWith(QLatin1String(".avs"), Qt::CaseInsensitive))
        return prefix + QStringLiteral(
                            "AviSynth 스크립트(외부코덱으로 열기)는 이 시스템에서 쓸 수 없습니다.");
    const QFileInfo file(medium);
    if (file.isFile() && file.size() == 0)
        return prefix + QStringLiteral("빈 파일입니다.");
    const QString line = lastEngineLine(said);
    return prefix + QStringLiteral("재생을 시작하지 못했습니다.") +
           (line.isEmpty() ? QString() : QStringLiteral(" (") + line + QLatin1Char(')'));
}

QString engineMissing()
{
    return prefix + QStringLiteral("MPlayer를 실행할 수 없습니다.");
}

} // namespace RunFailure

RunFailureWatch::RunFailureWatch(PlayerCore &core, QObject *parent) : QObject(parent), m_core(core)
{
    connect(&core, &PlayerCore::engineRunningChanged, this, &RunFailureWatch::onEngineRunning);
    connect(&core.state(), &PlayerState::outputAppended, this, &RunFailureWatch::onOutput);
}

void RunFailureWatch::onOutput(const QString &piece)
{
    if (m_started)
        return;
    m_tail += piece;
    m_started = m_tail.contains(startedMarker);
    if (m_tail.size() > keptOutput)
        m_tail.remove(0, m_tail.size() - keptOutput);
}

void RunFailureWatch::onEngineRunning(bool running)
{
    if (running) {
        m_started = false;
        m_tail.clear();
        setReason(QString());
        return;
    }
    const cmdcls *channel = m_core.cm();
    if (m_started || (channel && channel->endRequested()))
        return;
    const PlayerState &state = m_core.state();
    if (state.is(Field::processHandleField, QStringLiteral("0")))
        setReason(RunFailure::engineMissing());
    else
        setReason(RunFailure::describe(m_tail, state.value(Field::mediaPathField)));
}

void RunFailureWatch::setReason(const QString &reason)
{
    if (m_reason == reason)
        return;
    m_reason = reason;
    Q_EMIT reasonChanged(m_reason);
}
