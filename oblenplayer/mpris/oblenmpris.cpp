#include "oblenmpris.h"

#include "common/mpris/mpriswindow.h"
#include "core/playercore.h"
#include "core/transport.h"
#include "mprisdesktopentry.h"

#include <algorithm>
#include <cmath>

OblenMpris::OblenMpris(PlayerCore &core, QWidget &window, QObject *parent)
    : MprisPlayer(parent), m_core(core), m_window(window)
{
    // The graph tells nothing of its own: every button, key and open that
    // can change what the desktop shows ends in one of these. While playing
    // the controls change every second as well.
    connect(&core, &PlayerCore::titleChanged, this, &MprisPlayer::changed);
    connect(&core, &PlayerCore::controlsChanged, this, &MprisPlayer::changed);
    connect(&core, &PlayerCore::openingFinished, this, &MprisPlayer::changed);
    connect(&core, &PlayerCore::mediaClosed, this, &MprisPlayer::changed);
    connect(&core, &PlayerCore::focusVideoRequested, this, &MprisPlayer::changed);
}

MprisIdentity OblenMpris::identity()
{
    return {QStringLiteral("oblenplayer"),
            QStringLiteral("Oblen Player"),
            QStringLiteral(MPRIS_DESKTOP_ENTRY),
            {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")},
            QStringLiteral(MPRIS_MIME_TYPES).split(QLatin1Char(';'), Qt::SkipEmptyParts)};
}

MprisPlayer::Status OblenMpris::status() const
{
    // A graph being built is not asked anything yet.
    FilgraphManager *graph = m_core.graph();
    if (!graph || m_core.isOpening())
        return Status::Stopped;
    switch (graph->GetState(0).value_or(GraphState::Stopped)) {
    case GraphState::Running:
        return Status::Playing;
    case GraphState::Paused:
        return Status::Paused;
    case GraphState::Stopped:
        break;
    }
    return Status::Stopped;
}

std::optional<MprisPlayer::Medium> OblenMpris::medium() const
{
    // The title names the medium from its open until its close.
    const QString title = m_core.title();
    const QString path = m_core.fields().fileOrUrlField;
    if (path.isEmpty() || !title.endsWith(PlayerCore::titleSuffix))
        return std::nullopt;
    Medium medium{title.chopped(PlayerCore::titleSuffix.size()), mprisUrlOf(path), std::nullopt};
    const QString duration = m_core.fields().txtDuration;
    if (!duration.isEmpty())
        medium.lengthUs = mprisMicroseconds(Transport::textValue(duration));
    return medium;
}

qint64 OblenMpris::positionUs() const
{
    // The position the window's own timer last read from the graph.
    return mprisMicroseconds(Transport::textValue(m_core.fields().txtElapsed));
}

double OblenMpris::volume() const
{
    return mprisAmplitudeOf(m_core.controls().volumeBar, Transport::volumeMinimum);
}

void OblenMpris::setVolume(double volume)
{
    // As the volume slider's move does.
    m_core.setVolume(mprisHundredthsDbOf(volume, Transport::volumeMinimum));
}

double OblenMpris::rate() const
{
    FilgraphManager *graph = m_core.graph();
    if (!graph || m_core.isOpening())
        return 1.0;
    return graph->Rate().value_or(1.0);
}

void OblenMpris::setRate(double rate)
{
    // The "Z" key for the normal speed, the speed buttons' change otherwise.
    if (std::abs(rate - 1.0) < 0.05)
        m_core.normalSpeed();
    else
        m_core.changeRate(rate - this->rate());
    Q_EMIT changed();
}

void OblenMpris::play()
{
    m_core.play();
}

void OblenMpris::pause()
{
    m_core.pause();
}

void OblenMpris::playPause()
{
    if (status() == Status::Playing)
        m_core.pause();
    else
        m_core.play();
}

void OblenMpris::stop()
{
    m_core.stop();
}

void OblenMpris::seekBy(qint64 offsetUs)
{
    if (!m_core.graph() || m_core.isOpening())
        return;
    // The 5-second buttons' jump, by the desktop's offset.
    m_core.jump(double(offsetUs) / 1e6);
    reportSeek();
}

void OblenMpris::seekTo(qint64 positionUs)
{
    if (!m_core.graph() || m_core.isOpening())
        return;
    // A drag of the seek slider that lets go at the target.
    m_core.seekSliderPressed();
    m_core.fields().seekTargetField = Transport::oneDecimal(double(positionUs) / 1e6);
    m_core.seekSliderReleased();
    reportSeek();
}

void OblenMpris::reportSeek()
{
    if (FilgraphManager *graph = m_core.graph()) {
        if (const std::optional<double> position = graph->CurrentPosition())
            Q_EMIT seeked(mprisMicroseconds(*position));
    }
}

void OblenMpris::raise()
{
    MprisWindow::raise(m_window);
}

void OblenMpris::quit()
{
    MprisWindow::quit(m_window);
}
