// The main window's bars and what drives them: the status bar, the bottom bar
// with the transport, the engine-output timers, the picture's size and the
// fit of the window to a medium opened from the command line.
#include "bottomtoolbar.h"
#include "controls/transport.h"
#include "mainform.h"
#include "state/aspect.h"
#include "state/playbacktracker.h"
#include "statustoolbar.h"
#include "videowindow.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

void mainform::setUpTransportBars()
{
    m_tracker = std::make_unique<PlaybackTracker>(m_core);
    m_transport = std::make_unique<Transport>(m_core);
    m_transport->setLauncher([this] { launchEngine(); });
    m_tracker->setSeekKnobFraction([this] { return m_transport->seekKnobFraction(); });
    connect(m_transport.get(), &Transport::seekKnobMovedTo, m_tracker.get(),
            &PlaybackTracker::refreshPositionLabel);

    m_statusToolbar = new StatusToolbar(this);
    m_bottomToolbar = new BottomToolbar(*m_transport, this);
    // In minimal mode the bars show over the picture, which is a native
    // window of its own: only native windows can lie above it.
    m_statusToolbar->setAttribute(Qt::WA_NativeWindow);
    m_bottomToolbar->setAttribute(Qt::WA_NativeWindow);
    m_videoFrame->setMouseTracking(true);
    m_videoFrame->installEventFilter(this);
    m_videoWindow->installEventFilter(this);
    // Until the popup menu is built, the time labels open this one.
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("popupMenu"));
    m_popupMenu->addAction(emptyListCaption)->setEnabled(false);
    connect(m_bottomToolbar, &BottomToolbar::popupMenuRequested, m_popupMenu,
            [this](const QPoint &at) { m_popupMenu->popup(at); });

    PlayerState &state = m_core.state();
    connect(&state, &PlayerState::changed, this, [this](Field field, const QString &value) {
        switch (field) {
        case Field::currentTimeLabel:
            m_bottomToolbar->setCurrentTime(value);
            break;
        case Field::totalTimeLabel:
            m_bottomToolbar->setTotalTime(value);
            break;
        case Field::infoLabel:
            m_statusToolbar->setInfo(value);
            break;
        case Field::playStateField:
            m_bottomToolbar->setPlayPauseCaption(Transport::playPauseCaption(value));
            break;
        default:
            break;
        }
    });
    connect(&m_core, &PlayerCore::engineRunningChanged, m_bottomToolbar,
            &BottomToolbar::setSeekEnabled);
    connect(m_transport.get(), &Transport::videoFocusRequested, m_videoWindow,
            [this] { m_videoWindow->setFocus(Qt::OtherFocusReason); });
    connect(m_tracker.get(), &PlaybackTracker::sourceSizeKnown, this, &mainform::applyAspect);
    connect(m_tracker.get(), &PlaybackTracker::detailParsed, this, &mainform::fitToVideo);
    // Playback has started: the engine's font cache is built.
    connect(m_tracker.get(), &PlaybackTracker::detailParsed, m_fontCacheNotice, &QWidget::hide);

    // The name shown is the window title without the program's own part.
    auto showName = [this](const QString &title) {
        m_statusToolbar->setName(title.section(MediaOpener::titleSuffix, 0, 0));
    };
    connect(this, &QWidget::windowTitleChanged, m_statusToolbar, showName);
    showName(windowTitle());
}

void mainform::applyAspect()
{
    const PlayerState &state = m_core.state();
    const AspectResult result =
        ::applyAspect({state.value(Field::sourceWidthField), state.value(Field::sourceHeightField),
                       state.value(Field::fullScreenStateField), state.value(Field::fillScreenFlag),
                       m_core.options().checkedItem(Menu::aspectMenu), m_videoFrame->size()});
    const QSize frame = m_videoFrame->size();
    m_videoWindow->setGeometry((frame.width() - result.size.width()) / 2,
                               (frame.height() - result.size.height()) / 2, result.size.width(),
                               result.size.height());
}

void mainform::fitToVideo()
{
    PlayerState &state = m_core.state();
    if (!state.is(Field::parameterOpenedField, QStringLiteral("1")))
        return;
    if (isFullScreen() || isMaximized())
        showNormal();
    const QString width = state.value(Field::sourceWidthField);
    const QString height = state.value(Field::sourceHeightField);
    if (width.isEmpty() || height.isEmpty())
        return;
    // A size no window can have is the engine's nonsense, not a video: the
    // window keeps its size (and the bars added to it cannot overflow).
    const int sourceWidth = width.toInt();
    const int sourceHeight = height.toInt();
    if (sourceWidth <= QWIDGETSIZE_MAX && sourceHeight <= QWIDGETSIZE_MAX) {
        // One source pixel to one device pixel, plus the bars unless they are hidden.
        const qreal ratio = devicePixelRatio();
        int clientHeight = qRound(sourceHeight / ratio);
        if (!state.is(Field::minimalModeFlag, QStringLiteral("1")))
            clientHeight += m_statusToolbar->height() + m_bottomToolbar->height();
        resize(qRound(sourceWidth / ratio), clientHeight);
    }
    state.setValue(Field::parameterOpenedField, QStringLiteral("0"));
}

void mainform::setBarsVisible(bool visible)
{
    m_statusToolbar->setVisible(visible);
    m_bottomToolbar->setVisible(visible);
    if (visible) {
        m_statusToolbar->raise();
        m_bottomToolbar->raise();
    }
}

bool mainform::eventFilter(QObject *watched, QEvent *event)
{
    // Minimal mode: the bottom strip of the picture is the hover zone that
    // brings both bars up; anywhere else over the picture puts them away.
    if (event->type() == QEvent::MouseMove &&
        m_core.state().is(Field::minimalModeFlag, QStringLiteral("1"))) {
        const auto *move = static_cast<QMouseEvent *>(event);
        const QPoint at = static_cast<QWidget *>(watched)->mapTo(this, move->position().toPoint());
        const bool inZone = at.y() >= height() - m_bottomToolbar->height();
        if (inZone != m_bottomToolbar->isVisible())
            setBarsVisible(inZone);
    }
    return QWidget::eventFilter(watched, event);
}
