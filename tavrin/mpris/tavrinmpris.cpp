#include "tavrinmpris.h"

#include "common/mpris/mpriswindow.h"
#include "controls/transport.h"
#include "engine/openpaths.h"
#include "engine/playercore.h"
#include "mprisdesktopentry.h"
#include "state/vbnumber.h"

#include <algorithm>
#include <cmath>

TavrinMpris::TavrinMpris(PlayerCore &core, Transport &transport, QWidget &window, QObject *parent)
    : MprisPlayer(parent), m_core(core), m_transport(transport), m_window(window)
{
    connect(&core.state(), &PlayerState::changed, this, [this](Field field) {
        switch (field) {
        case Field::currentSecondsField:
            positionAnswered();
            break;
        case Field::playStateField:
        case Field::mediaPathField:
        case Field::totalSecondsField:
        case Field::volumeField:
        case Field::speedField:
            Q_EMIT changed();
            break;
        default:
            break;
        }
    });
    // A run that ends before it answers leaves no seek to report.
    connect(&core, &PlayerCore::engineRunningChanged, this, [this] { m_seek.reset(); });
}

MprisIdentity TavrinMpris::identity()
{
    // What the engine opens besides files: addresses and the DVD drive.
    return {QStringLiteral("tavrin"),
            QStringLiteral("Tavrin"),
            QStringLiteral(MPRIS_DESKTOP_ENTRY),
            {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"),
             QStringLiteral("mms"), QStringLiteral("rtsp"), QStringLiteral("dvd"),
             QStringLiteral("dvdnav")},
            QStringLiteral(MPRIS_MIME_TYPES).split(QLatin1Char(';'), Qt::SkipEmptyParts)};
}

MprisPlayer::Status TavrinMpris::status() const
{
    const PlayerState &state = m_core.state();
    if (state.is(Field::playStateField, PlayState::playing))
        return Status::Playing;
    if (state.is(Field::playStateField, PlayState::paused))
        return Status::Paused;
    return Status::Stopped;
}

std::optional<MprisPlayer::Medium> TavrinMpris::medium() const
{
    const QString path = m_core.state().value(Field::mediaPathField);
    if (path.isEmpty())
        return std::nullopt;
    Medium medium{MediaOpener::displayNameOf(path), mprisUrlOf(path), std::nullopt};
    const QString total = m_core.state().value(Field::totalSecondsField);
    if (!total.isEmpty())
        medium.lengthUs = mprisMicroseconds(vbVal(total));
    return medium;
}

qint64 TavrinMpris::positionUs() const
{
    // The position the engine last answered; the tracker asks for it while
    // playing, and nothing here asks again.
    return mprisMicroseconds(vbVal(m_core.state().value(Field::currentSecondsField)));
}

double TavrinMpris::volume() const
{
    return std::clamp(vbVal(m_core.state().value(Field::volumeField)) / 100.0, 0.0, 1.0);
}

void TavrinMpris::setVolume(double volume)
{
    // The engine's volume is already a percentage of its full volume.
    m_core.state().setValue(Field::volumeField, QString::number(std::lround(volume * 100.0)));
    m_transport.applyVolume();
}

double TavrinMpris::rate() const
{
    return vbVal(m_core.state().value(Field::speedField));
}

void TavrinMpris::setRate(double rate)
{
    if (std::abs(rate - 1.0) < 0.05) {
        m_transport.resetSpeed();
        return;
    }
    // The speed keys' steps of 0.1, as many as it takes; each sends the
    // speed it reached, as a key press would.
    const long steps = std::lround((rate - this->rate()) * 10.0);
    for (long i = 0; i < std::abs(steps); ++i) {
        if (steps > 0)
            m_transport.speedUp();
        else
            m_transport.speedDown();
    }
}

void TavrinMpris::play()
{
    m_transport.play();
}

void TavrinMpris::pause()
{
    m_transport.pause();
}

void TavrinMpris::playPause()
{
    m_transport.togglePlayPause();
}

void TavrinMpris::stop()
{
    m_transport.stopPlayback();
}

void TavrinMpris::seekBy(qint64 offsetUs)
{
    // Seeking is there only while an engine runs, as the seek buttons are.
    const long seconds = std::lround(double(offsetUs) / 1e6);
    if (!m_core.isEngineRunning() || seconds == 0)
        return;
    const int jump = int(std::clamp(seconds, -86400L * 366, 86400L * 366));
    m_transport.jump(jump);
    expectSeek(std::max(0.0, double(positionUs()) / 1e6 + jump));
}

void TavrinMpris::seekTo(qint64 positionUs)
{
    if (!m_core.isEngineRunning())
        return;
    m_transport.seekToSeconds(positionUs / 1000000);
    expectSeek(double(positionUs / 1000000));
}

void TavrinMpris::expectSeek(double targetSeconds)
{
    m_seek = PendingSeek{double(positionUs()) / 1e6, targetSeconds, 0};
}

void TavrinMpris::positionAnswered()
{
    if (!m_seek)
        return;
    const double at = double(positionUs()) / 1e6;
    if (std::abs(at - m_seek->to) <= std::abs(at - m_seek->from) || ++m_seek->answers >= 3) {
        m_seek.reset();
        Q_EMIT seeked(positionUs());
    }
}

void TavrinMpris::raise()
{
    MprisWindow::raise(m_window);
}

void TavrinMpris::quit()
{
    MprisWindow::quit(m_window);
}
