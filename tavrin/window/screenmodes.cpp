#include "screenmodes.h"

#include "engine/commands.h"
#include "engine/playercore.h"
#include "platform/windowmove.h"
#include "state/aspect.h"
#include "state/vbnumber.h"
#include "windowrules.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

Q_LOGGING_CATEGORY(lcScreenModes, "tavrin.window.modes")

using namespace DisplayMode;

namespace {
const Field pictureFields[4] = {Field::P_LEFT, Field::P_TOP, Field::P_WIDTH, Field::P_HEIGHT};
const Field frameFields[4] = {Field::PT_LEFT, Field::PT_TOP, Field::PT_WIDTH, Field::PT_HEIGHT};
const Field windowFields[4] = {Field::F_LEFT, Field::F_TOP, Field::F_WIDTH, Field::F_HEIGHT};
const QString one = QStringLiteral("1");
const QString zero = QStringLiteral("0");
} // namespace

ScreenModes::ScreenModes(PlayerCore &core, const Parts &parts, QObject *parent)
    : QObject(parent), m_core(core), m_parts(parts)
{
    // The choice "재생시만 사용" follows the play state as it changes.
    connect(&m_core.state(), &PlayerState::changed, this, [this](Field field, const QString &) {
        if (field == Field::playStateField)
            followPlayState();
    });
    connect(&m_core.options(), &OptionStore::entryChanged, this, [this](Menu menu, int) {
        if (menu == Menu::alwaysOnTopMenu)
            applyAlwaysOnTopRule();
        else if (menu == Menu::aspectMenu)
            applyAspect();
    });
}

bool ScreenModes::minimal() const
{
    return m_core.state().is(Field::minimalModeFlag, one);
}

Mode ScreenModes::mode() const
{
    return modeOf(m_borderless, m_core.state().value(Field::fullScreenStateField), minimal());
}

bool ScreenModes::barsVisible() const
{
    return m_parts.statusBar->isVisible() || m_parts.bottomBar->isVisible();
}

void ScreenModes::setBarsVisible(bool visible)
{
    m_parts.statusBar->setVisible(visible);
    m_parts.bottomBar->setVisible(visible);
    if (visible) {
        // Over the picture, which is a native window of its own.
        m_parts.statusBar->raise();
        m_parts.bottomBar->raise();
    }
}

QRect ScreenModes::hoverZone() const
{
    if (!m_hoverZonesVisible)
        return QRect();
    return WindowRules::hoverZoneRect(m_parts.window->size(), m_parts.bottomBar->height());
}

void ScreenModes::layOut()
{
    QWidget *window = m_parts.window;
    const int top = m_parts.statusBar->height();
    const int bottom = m_parts.bottomBar->height();
    m_parts.statusBar->setGeometry(0, 0, window->width(), top);
    m_parts.bottomBar->setGeometry(0, window->height() - bottom, window->width(), bottom);
    m_parts.videoFrame->setGeometry(
        WindowRules::videoFrameRect(window->size(), m_borderless, minimal(), top, bottom));
    applyAspect();
}

void ScreenModes::applyAspect()
{
    const PlayerState &state = m_core.state();
    const QSize frame = m_parts.videoFrame->size();
    const AspectResult result =
        ::applyAspect({state.value(Field::sourceWidthField), state.value(Field::sourceHeightField),
                       state.value(Field::fullScreenStateField), state.value(Field::fillScreenFlag),
                       m_core.options().checkedItem(Menu::aspectMenu), frame});
    // A stretched picture is no picture to keep above everything else; but
    // "only while playing" means exactly that, so a playing window under
    // that choice is put back on top at once.
    if (result.stretched) {
        setAlwaysOnTop(false);
        followPlayState();
    }
    m_parts.videoWindow->setGeometry((frame.width() - result.size.width()) / 2,
                                     (frame.height() - result.size.height()) / 2,
                                     result.size.width(), result.size.height());
}

void ScreenModes::toggleFullScreen()
{
    run(stepFor(Request::ToggleFullScreen, m_borderless,
                m_core.state().value(Field::fullScreenStateField)));
}

void ScreenModes::externalFullScreen()
{
    run(stepFor(Request::ExternalFullScreen, m_borderless,
                m_core.state().value(Field::fullScreenStateField)));
}

void ScreenModes::externalFillScreen()
{
    run(stepFor(Request::ExternalFillScreen, m_borderless,
                m_core.state().value(Field::fullScreenStateField)));
}

void ScreenModes::run(Step step)
{
    qCDebug(lcScreenModes) << "mode step" << int(step) << "from" << int(mode());
    switch (step) {
    case Step::None:
        break;
    case Step::EnterFullScreen:
        enter(false);
        break;
    case Step::EnterFillScreen:
        // The flag tells the picture to stretch while the window goes over.
        m_core.state().setValue(Field::fillScreenFlag, one);
        enter(true);
        m_core.state().setValue(Field::fillScreenFlag, zero);
        break;
    case Step::Leave:
        leave();
        break;
    case Step::SwitchToFullScreen:
        switchState(fullScreen);
        break;
    case Step::SwitchToFillScreen:
        switchState(fillScreen);
        break;
    }
}

void ScreenModes::switchState(const QString &state)
{
    m_core.state().setValue(Field::fullScreenStateField, state);
    applyAspect();
}

void ScreenModes::saveRect(const QRect &rect, const Field (&fields)[4])
{
    PlayerState &state = m_core.state();
    state.setValue(fields[0], QString::number(rect.x()));
    state.setValue(fields[1], QString::number(rect.y()));
    state.setValue(fields[2], QString::number(rect.width()));
    state.setValue(fields[3], QString::number(rect.height()));
}

QRect ScreenModes::savedRect(const Field (&fields)[4]) const
{
    const PlayerState &state = m_core.state();
    auto number = [&](Field f) { return static_cast<int>(vbVal(state.value(f))); };
    return QRect(number(fields[0]), number(fields[1]), number(fields[2]), number(fields[3]));
}

void ScreenModes::setFrameless(bool frameless)
{
    m_borderless = frameless;
    // On the native window itself: changing the widget's flags would create
    // a new native window and take the engine's drawing target away.
    if (QWindow *handle = m_parts.window->windowHandle())
        handle->setFlag(Qt::FramelessWindowHint, frameless);
    // The caption is put back after each border change.
    PlayerState &state = m_core.state();
    state.setValue(Field::P_CAPTION, m_parts.window->windowTitle());
    m_parts.window->setWindowTitle(state.value(Field::P_CAPTION));
}

void ScreenModes::enter(bool fill)
{
    QWidget *window = m_parts.window;
    // The place to return to is the normal window's. Under a window manager
    // the way back from maximised takes a round trip, so the geometry read
    // just after it would still be the maximised one.
    const bool maximised = window->isMaximized();
    const QRect windowRect = maximised ? window->normalGeometry() : window->geometry();
    if (maximised)
        window->showNormal();
    // The screen the window is on, not the primary one: with two monitors the
    // picture stays where the user put it.
    QScreen *screen = window->screen();
    const QRect screenRect = screen ? screen->geometry() : window->geometry();
    const QRect covering(QPoint(0, 0), screenRect.size());

    saveRect(m_parts.videoWindow->geometry(), pictureFields);
    m_parts.videoWindow->setGeometry(covering);
    saveRect(m_parts.videoFrame->geometry(), frameFields);
    m_parts.videoFrame->setGeometry(covering);
    saveRect(windowRect, windowFields);

    setFrameless(true);
    // A bare X server only knows the geometry; a window manager stacks a
    // full-screen window above its panels. The geometry goes first: set on
    // a full-screen window it would take the full-screen state off again.
    window->setGeometry(screenRect);
    window->showFullScreen();
    requestFullScreenState(window, true);

    m_hoverZonesVisible = true;
    setBarsVisible(false);
    setAlwaysOnTop(false);
    m_core.sendCommand(EngineCommand::voFullscreenOff);
    m_core.state().setValue(Field::fullScreenStateField, fill ? fillScreen : fullScreen);
    applyAspect();
}

void ScreenModes::leave()
{
    QWidget *window = m_parts.window;
    m_parts.videoWindow->setGeometry(savedRect(pictureFields));
    m_parts.videoFrame->setGeometry(savedRect(frameFields));
    setFrameless(false);
    window->showNormal();
    requestFullScreenState(window, false);
    window->setGeometry(savedRect(windowFields));

    m_hoverZonesVisible = minimal();
    setBarsVisible(!minimal());
    applyAlwaysOnTopRule();
    m_core.sendCommand(EngineCommand::voFullscreenOff);
    m_core.state().setValue(Field::fullScreenStateField, QString());
    Q_EMIT becameWindowed();
    // When the saved size is the screen's size no resize event comes: lay the
    // window out now, or the frame stays under the bars.
    layOut();
}

void ScreenModes::minimalMode()
{
    m_core.state().setValue(Field::minimalModeFlag, one);
    if (m_borderless)
        return;
    m_hoverZonesVisible = true;
    setBarsVisible(false);
    layOut();
}

void ScreenModes::normalMode()
{
    m_core.state().setValue(Field::minimalModeFlag, zero);
    if (m_borderless)
        return;
    m_hoverZonesVisible = false;
    setBarsVisible(true);
    layOut();
}

bool ScreenModes::setWindowSizeFactor(double factor)
{
    QWidget *window = m_parts.window;
    if (m_borderless)
        run(Step::Leave);
    else if (window->isMaximized())
        window->showNormal();
    const PlayerState &state = m_core.state();
    const std::optional<QSize> client = WindowRules::clientSizeForFactor(
        state.value(Field::sourceWidthField), state.value(Field::sourceHeightField), factor,
        window->devicePixelRatio(), minimal(),
        m_parts.statusBar->height() + m_parts.bottomBar->height());
    if (!client)
        return false;
    window->resize(*client);
    return true;
}

void ScreenModes::fitToVideo()
{
    PlayerState &state = m_core.state();
    if (!state.is(Field::parameterOpenedField, one))
        return;
    setWindowSizeFactor(1.0);
    // Once the size is known the fit is over for this medium, even when the
    // size was one no window can have and the window kept its own.
    if (!state.value(Field::sourceWidthField).isEmpty() &&
        !state.value(Field::sourceHeightField).isEmpty())
        state.setValue(Field::parameterOpenedField, zero);
}

void ScreenModes::setAlwaysOnTop(bool on)
{
    if (on && m_borderless)
        return;
    if (QWindow *handle = m_parts.window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, on);
    m_core.state().setValue(Field::alwaysOnTopFlag, on ? one : zero);
}

void ScreenModes::applyAlwaysOnTopRule()
{
    const std::optional<bool> wanted =
        WindowRules::alwaysOnTopWanted(m_core.options().checkedItem(Menu::alwaysOnTopMenu),
                                       m_core.state().value(Field::playStateField));
    if (wanted)
        setAlwaysOnTop(*wanted);
}

void ScreenModes::refreshAlwaysOnTop()
{
    const std::optional<bool> wanted =
        WindowRules::alwaysOnTopWanted(m_core.options().checkedItem(Menu::alwaysOnTopMenu),
                                       m_core.state().value(Field::playStateField));
    if (!wanted)
        return;
    // A borderless window is above the others already and stays as it is.
    if (*wanted && m_borderless)
        return;
    const QWindow *handle = m_parts.window->windowHandle();
    const bool onTop = handle && handle->flags().testFlag(Qt::WindowStaysOnTopHint);
    if (onTop != *wanted || !m_core.state().is(Field::alwaysOnTopFlag, *wanted ? one : zero))
        setAlwaysOnTop(*wanted);
}

void ScreenModes::followPlayState()
{
    if (!m_core.options().isChecked(Menu::alwaysOnTopMenu, 1))
        return;
    const PlayerState &state = m_core.state();
    const bool playing = state.is(Field::playStateField, PlayState::playing);
    if (playing && !state.is(Field::alwaysOnTopFlag, one))
        setAlwaysOnTop(true);
    else if (!playing && !state.is(Field::alwaysOnTopFlag, zero))
        setAlwaysOnTop(false);
}
