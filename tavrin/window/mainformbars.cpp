// The main window's bars and what drives them: the status bar, the bottom bar
// with the transport, the engine-output timers; the display modes and the
// mouse over the window.
#include "bottomtoolbar.h"
#include "controls/menuform.h"
#include "controls/transport.h"
#include "engine/runfailure.h"
#include "keyboardinput.h"
#include "mainform.h"
#include "pointerinput.h"
#include "screenmodes.h"
#include "state/playbacktracker.h"
#include "statustoolbar.h"
#include "videowindow.h"
#include "windowrules.h"

#include <QLabel>
#include <QMenu>

namespace {
const QString startHint =
    QStringLiteral("F2 키를 누르거나 파일을 이 창에 끌어다 놓으면 재생합니다.\n"
                   "마우스 오른쪽 버튼을 누르면 메뉴가 열립니다.");
const QString failureHint =
    QStringLiteral("자세한 내용은 메뉴의 분석 ▸ MPlayer 기록 보기에 있습니다.");
} // namespace

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
    m_menuForm = new menuform(*this);
    m_popupMenu = m_menuForm->popupMenu();
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
    // A run that never played says why, in the bar and (the bars are hidden
    // in minimal mode) over the black picture; the log keeps the rest.
    auto *failures = new RunFailureWatch(m_core, this);
    connect(failures, &RunFailureWatch::reasonChanged, m_statusToolbar, &StatusToolbar::setNotice);
    // Without a medium the picture tells a newcomer the ways in.
    auto showHint = [this, failures] {
        if (!failures->reason().isEmpty())
            m_videoWindow->setHint(failures->reason() + QStringLiteral("\n") + failureHint);
        else if (m_core.state().value(Field::mediaPathField).isEmpty())
            m_videoWindow->setHint(startHint);
        else
            m_videoWindow->setHint(QString());
    };
    connect(failures, &RunFailureWatch::reasonChanged, this, showHint);
    connect(&state, &PlayerState::changed, this, [showHint](Field field) {
        if (field == Field::mediaPathField)
            showHint();
    });
    showHint();
    connect(m_transport.get(), &Transport::videoFocusRequested, m_videoWindow,
            [this] { m_videoWindow->setFocus(Qt::OtherFocusReason); });
    // Playback has started: the engine's font cache is built.
    connect(m_tracker.get(), &PlaybackTracker::detailParsed, m_fontCacheNotice, &QWidget::hide);

    // The name shown is the window title without the program's own part.
    auto showName = [this](const QString &title) {
        m_statusToolbar->setName(title.section(MediaOpener::titleSuffix, 0, 0));
    };
    connect(this, &QWidget::windowTitleChanged, m_statusToolbar, showName);
    showName(windowTitle());
}

void mainform::setUpScreen()
{
    m_modes = new ScreenModes(
        m_core, {this, m_videoFrame, m_videoWindow, m_statusToolbar, m_bottomToolbar}, this);
    PointerInput::Parts pointerParts{this, m_videoFrame, m_videoWindow, {}, {}};
    pointerParts.bars = {m_statusToolbar, m_bottomToolbar};
    pointerParts.popupAreas = {m_statusToolbar->nameLabel(), m_statusToolbar->infoLabel(),
                               m_statusToolbar->infoLabel()->parentWidget(),
                               m_bottomToolbar->bottomRightToolbar()};
    m_pointer = new PointerInput(m_core, *m_transport, *m_modes, pointerParts, this);
    connect(m_pointer, &PointerInput::popupMenuRequested, m_popupMenu,
            [this](const QPoint &at) { m_popupMenu->popup(at); });

    KeyboardInput::Parts keyParts{this,           m_transport.get(), m_modes, m_pointer,
                                  &m_openActions, &m_opener,         {}};
    keyParts.popupMenu = [this] { return m_popupMenu; };
    m_keyboard = new KeyboardInput(m_core, keyParts, this);
    connect(m_keyboard, &KeyboardInput::keyPressed, this, &mainform::keyPressed);

    // The keys and the popup entries that open the adjustment and
    // information windows.
    connect(m_keyboard, &KeyboardInput::showWindowRequested, this, [this](ToolWindow window) {
        switch (window) {
        case ToolWindow::videoEq:
            showVideoEqualizer();
            break;
        case ToolWindow::audioEq:
            showAudioEqualizer();
            break;
        case ToolWindow::subtitleSettings:
            showSubtitleSettings();
            break;
        case ToolWindow::programInfo:
            showProgramInfo();
            break;
        case ToolWindow::playInfo:
            showPlaybackInfo();
            break;
        }
    });
    connect(m_menuForm, &menuform::windowRequested, this, [this](MenuCommand command) {
        switch (command) {
        case MenuCommand::showVideoAdjust:
            showVideoEqualizer();
            break;
        case MenuCommand::showEqualizer:
            showAudioEqualizer();
            break;
        case MenuCommand::showSubtitleSettings:
            showSubtitleSettings();
            break;
        case MenuCommand::showProgramInfo:
            showProgramInfo();
            break;
        case MenuCommand::showEngineLog:
            showEngineLog();
            break;
        case MenuCommand::showPlaybackInfo:
            showPlaybackInfo();
            break;
        default:
            break;
        }
    });

    setMinimumSize(
        WindowRules::minimumClientSize(m_statusToolbar->height(), m_bottomToolbar->height()));
    connect(m_tracker.get(), &PlaybackTracker::sourceSizeKnown, m_modes, &ScreenModes::applyAspect);
    connect(m_tracker.get(), &PlaybackTracker::detailParsed, m_modes, &ScreenModes::fitToVideo);
    m_modes->layOut();
}
