#include "keyboardinput.h"

#include "controls/transport.h"
#include "engine/commands.h"
#include "engine/openactions.h"
#include "engine/playercore.h"
#include "pointerinput.h"
#include "screenmodes.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

using KeyMap::Action;

namespace {
const QString one = QStringLiteral("1");
const QString zero = QStringLiteral("0");

QString dvdCommand(Action action)
{
    switch (action) {
    case Action::dvdUp:
        return EngineCommand::dvdnavUp;
    case Action::dvdDown:
        return EngineCommand::dvdnavDown;
    case Action::dvdLeft:
        return EngineCommand::dvdnavLeft;
    case Action::dvdRight:
        return EngineCommand::dvdnavRight;
    case Action::dvdSelect:
        return EngineCommand::dvdnavSelect;
    case Action::dvdPrev:
        return EngineCommand::dvdnavPrev;
    default:
        return QString();
    }
}
} // namespace

KeyboardInput::KeyboardInput(PlayerCore &core, const Parts &parts, QObject *parent)
    : QObject(parent), m_core(core), m_parts(parts)
{
    // Keys go to the widget with the focus (a bar button, the picture, the
    // window itself): one filter over the program sees them before any of
    // them does.
    qApp->installEventFilter(this);
}

bool KeyboardInput::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // The window object that first receives the key is no widget; the key
    // is taken once, at the widget it is meant for.
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != m_parts.window)
        return false;
    // A dialog or a menu open over the window has the keys to itself.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // The key is used up here: a focused button must not click on Space nor
    // a slider move on an arrow as well as the key's own action.
    key->accept();
    Q_EMIT keyPressed(key->key());
    keyDown(KeyMap::fromQt(key->key(), key->modifiers()));
    return true;
}

void KeyboardInput::keyDown(const KeyMap::KeyStroke &stroke)
{
    // Every key re-applies the always-on-top choice; a held key repeats,
    // so only a change reaches the window manager.
    m_parts.modes->refreshAlwaysOnTop();

    if (m_core.dvdMode()) {
        if (const std::optional<Action> dvd = KeyMap::dvdAction(stroke.code)) {
            m_core.sendCommand(dvdCommand(*dvd));
            // A DVD command resumes a paused engine; only a command that
            // reached a running engine makes the player play.
            if (m_core.isEngineRunning())
                m_core.state().setValue(Field::playStateField, PlayState::playing);
        }
    }

    const OptionStore &options = m_core.options();
    KeyMap::Conditions conditions;
    conditions.backEnabled = options.entry(Menu::back10Menu).enabled;
    conditions.forwardEnabled = options.entry(Menu::forward10Menu).enabled;
    for (Action action : KeyMap::generalActions(stroke, conditions)) {
        if (!perform(action))
            return;
    }
}

void KeyboardInput::withCursorTimerOff(const std::function<void()> &open)
{
    PlayerState &state = m_core.state();
    state.setValue(Field::cursorTimerOffField, one);
    open();
    state.setValue(Field::cursorTimerOffField, zero);
}

bool KeyboardInput::perform(Action action)
{
    Transport &transport = *m_parts.transport;
    switch (action) {
    case Action::togglePlayPause:
        transport.togglePlayPause();
        break;
    case Action::stopPlayback:
        transport.stopPlayback();
        break;
    case Action::back10:
    case Action::forward10:
    case Action::back60:
    case Action::forward60:
    case Action::back600:
    case Action::forward600:
        transport.jump(KeyMap::jumpSeconds(action));
        break;
    case Action::resetAudioDelay:
        transport.resetAudioDelay();
        break;
    case Action::audioDelayDown:
        transport.stepAudioDelay(-0.1);
        break;
    case Action::audioDelayUp:
        transport.stepAudioDelay(0.1);
        break;
    case Action::resetSubDelay:
        transport.resetSubDelay();
        break;
    case Action::subDelayDown:
        transport.stepSubDelay(-0.1);
        break;
    case Action::subDelayUp:
        transport.stepSubDelay(0.1);
        break;
    case Action::fullScreen:
        m_parts.modes->externalFullScreen();
        break;
    case Action::fillScreen:
        m_parts.modes->externalFillScreen();
        break;
    case Action::openFile:
        withCursorTimerOff([this] { m_parts.openActions->openMediaFile(); });
        break;
    case Action::openAviSynth:
        withCursorTimerOff([this] { m_parts.openActions->openWithAviSynth(); });
        break;
    case Action::openUrl:
        withCursorTimerOff([this] { m_parts.openActions->openUrl(); });
        break;
    case Action::closeMedia:
        m_parts.opener->closeCurrentMedia();
        break;
    case Action::subtitleSmaller:
        transport.subtitleSmaller();
        break;
    case Action::subtitleLarger:
        transport.subtitleLarger();
        break;
    case Action::showProgramInfo:
        Q_EMIT showWindowRequested(ToolWindow::programInfo);
        break;
    case Action::showPlayInfo:
        Q_EMIT showWindowRequested(ToolWindow::playInfo);
        break;
    case Action::showVideoEq:
        Q_EMIT showWindowRequested(ToolWindow::videoEq);
        break;
    case Action::showAudioEq:
        Q_EMIT showWindowRequested(ToolWindow::audioEq);
        break;
    case Action::showSubtitleSettings:
        Q_EMIT showWindowRequested(ToolWindow::subtitleSettings);
        break;
    case Action::popupMenu:
        m_parts.pointer->stopCursorHiding();
        if (QMenu *menu = m_parts.popupMenu ? m_parts.popupMenu() : nullptr)
            menu->popup(QCursor::pos());
        break;
    case Action::frameStep:
        transport.frameStep();
        break;
    case Action::resetSpeed:
        transport.resetSpeed();
        break;
    case Action::speedDown:
        transport.speedDown();
        break;
    case Action::speedUp:
        transport.speedUp();
        break;
    case Action::volumeDown:
        transport.stepVolume(-5);
        break;
    case Action::volumeUp:
        transport.stepVolume(5);
        break;
    case Action::toggleMute:
        transport.toggleMute();
        break;
    case Action::toggleSubtitles:
        transport.toggleSubtitleVisibility();
        break;
    case Action::subtitleBack:
        transport.subtitleStep(-1);
        break;
    case Action::subtitleForward:
        transport.subtitleStep(1);
        break;
    case Action::windowSize05:
    case Action::windowSize10:
    case Action::windowSize15:
    case Action::windowSize20:
        // An unknown source size ends the handler here.
        return m_parts.modes->setWindowSizeFactor(KeyMap::sizeFactor(action));
    case Action::dvdUp:
    case Action::dvdDown:
    case Action::dvdLeft:
    case Action::dvdRight:
    case Action::dvdSelect:
    case Action::dvdPrev:
        break; // the DVD rows run before the general ones
    }
    return true;
}
