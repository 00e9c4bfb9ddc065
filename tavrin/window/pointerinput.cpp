#include "pointerinput.h"

#include "controls/transport.h"
#include "engine/commands.h"
#include "engine/playercore.h"
#include "platform/windowmove.h"
#include "screenmodes.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {
const QString one = QStringLiteral("1");

// The button numbers the player has always used: 1 left, 2 right, 4 middle.
QString buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return QStringLiteral("1");
    case Qt::RightButton:
        return QStringLiteral("2");
    case Qt::MiddleButton:
        return QStringLiteral("4");
    default:
        return QString();
    }
}
} // namespace

PointerInput::PointerInput(PlayerCore &core, Transport &transport, ScreenModes &modes,
                           const Parts &parts, QObject *parent)
    : QObject(parent), m_core(core), m_transport(transport), m_modes(modes), m_parts(parts)
{
    cursorTimer.setInterval(WindowRules::CursorIdle::tickMs);
    connect(&cursorTimer, &QTimer::timeout, this, &PointerInput::cursorTick);
    connect(&m_modes, &ScreenModes::becameWindowed, this, [this] {
        stopCursorHiding();
        m_idle.reset();
    });

    m_parts.videoFrame->setMouseTracking(true);
    m_parts.videoWindow->setMouseTracking(true);
    // Qt gives the wheel to the widget under the pointer, whichever of the
    // main window's widgets that is: one filter over the whole program sees
    // them all, and the picture's, the frame's and the bars' mouse events.
    qApp->installEventFilter(this);
}

bool PointerInput::dvdMode() const
{
    return m_core.dvdMode();
}

void PointerInput::HideMouse()
{
    if (m_hidden)
        return;
    m_hidden = true;
    // The video's native windows have no cursor of their own and show this one.
    m_parts.window->setCursor(Qt::BlankCursor);
}

void PointerInput::ShowMouse()
{
    if (!m_hidden)
        return;
    m_hidden = false;
    m_parts.window->unsetCursor();
}

void PointerInput::stopCursorHiding()
{
    cursorTimer.stop();
    ShowMouse();
}

bool PointerInput::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel)
        return wheel(watched, event);
    if (watched != m_parts.videoWindow && watched != m_parts.videoFrame) {
        if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType() &&
            m_parts.bars.contains(static_cast<QWidget *>(watched)))
            return barReleased(watched, static_cast<QMouseEvent *>(event));
        return false;
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    auto *over = static_cast<QWidget *>(watched);
    switch (type) {
    case QEvent::MouseButtonPress:
        pressed(over, mouse);
        break;
    case QEvent::MouseMove:
        moved(over, mouse);
        break;
    case QEvent::MouseButtonRelease:
        released(mouse);
        break;
    default:
        doubleClicked(over);
        break;
    }
    return false;
}

void PointerInput::pressed(QWidget *over, QMouseEvent *event)
{
    PlayerState &state = m_core.state();
    state.setValue(Field::mouseButtonKindField, buttonNumber(event->button()));
    if (event->button() != Qt::LeftButton)
        return;
    if (over == m_parts.videoWindow && dvdMode()) {
        m_core.sendCommand(EngineCommand::dvdnavMouse);
        state.setValue(Field::playStateField, PlayState::playing);
    }
    if (!m_modes.isBorderless()) {
        // The window moves only once the pointer has travelled: a drag
        // started on the press would swallow a double-click.
        m_dragArmed = true;
        m_dragging = false;
        m_pressGlobal = event->globalPosition().toPoint();
        m_windowAtPress = m_parts.window->pos();
    }
}

void PointerInput::moved(QWidget *over, QMouseEvent *event)
{
    if (over == m_parts.videoWindow && dvdMode()) {
        // The engine points in X server pixels.
        const qreal ratio = m_parts.videoWindow->devicePixelRatio();
        const QPointF at = event->position() * ratio;
        m_core.sendCommand(EngineCommand::setMousePos(float(at.x()), float(at.y())));
    }
    if (m_dragArmed && (event->buttons() & Qt::LeftButton))
        drag(event->globalPosition().toPoint());
    followBars(over->mapTo(m_parts.window, event->position().toPoint()));
    if (m_modes.isBorderless()) {
        m_pointerX = qRound(event->globalPosition().x());
        if (!cursorTimer.isActive())
            cursorTimer.start();
    }
}

void PointerInput::released(QMouseEvent *event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        m_dragArmed = false;
        m_dragging = false;
        break;
    case Qt::RightButton:
        stopCursorHiding();
        Q_EMIT popupMenuRequested(event->globalPosition().toPoint());
        break;
    case Qt::MiddleButton:
        m_modes.toggleFullScreen();
        break;
    default:
        break;
    }
}

void PointerInput::doubleClicked(QWidget *over)
{
    PlayerState &state = m_core.state();
    // Only a double-click on the picture itself plays or pauses; the black
    // border around it does not.
    if (over == m_parts.videoWindow && state.is(Field::mouseButtonKindField, one))
        m_transport.togglePlayPause();
    state.setValue(Field::mouseButtonKindField, QString());
    m_dragArmed = false;
}

void PointerInput::followBars(const QPoint &inWindow)
{
    if (m_modes.hoverZone().contains(inWindow)) {
        if (!m_modes.barsVisible())
            m_modes.setBarsVisible(true);
        return;
    }
    const bool minimal = m_core.state().is(Field::minimalModeFlag, one);
    if ((minimal || m_modes.isBorderless()) && m_modes.barsVisible()) {
        m_modes.setBarsVisible(false);
        if (m_modes.isBorderless())
            m_modes.layOut();
    }
}

void PointerInput::drag(const QPoint &global)
{
    if (m_modes.isBorderless())
        return;
    QWidget *window = m_parts.window;
    const QPoint travel = global - m_pressGlobal;
    if (!m_dragging) {
        if (travel.manhattanLength() < QApplication::startDragDistance())
            return;
        m_dragging = true;
        // The window follows the pointer from the press, not from where the
        // travel was noticed.
        window->move(m_windowAtPress + travel);
        if (startWindowManagerMove(window, global)) {
            // The window manager moves it from here on.
            m_dragArmed = false;
            m_dragging = false;
        }
        return;
    }
    // No window manager to ask: move it ourselves.
    window->move(m_windowAtPress + travel);
}

bool PointerInput::wheel(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != m_parts.window)
        return false;
    const int steps = m_wheel.add(static_cast<QWheelEvent *>(event)->angleDelta().y());
    for (int i = 0; i < qAbs(steps); ++i)
        m_transport.stepVolume(steps > 0 ? 5 : -5);
    // Handled once, where it arrived, instead of again at every parent.
    return true;
}

bool PointerInput::barReleased(QObject *watched, QMouseEvent *event)
{
    if (event->button() != Qt::RightButton)
        return false;
    // The bars and their labels, not the buttons and sliders on them.
    QWidget *hit = static_cast<QWidget *>(watched)->childAt(event->position().toPoint());
    if (hit && !m_parts.popupAreas.contains(hit))
        return false;
    Q_EMIT popupMenuRequested(event->globalPosition().toPoint());
    return true;
}

void PointerInput::cursorTick()
{
    const bool suspended = m_core.state().is(Field::cursorTimerOffField, one);
    if (QApplication::activeWindow() != m_parts.window || suspended || m_modes.barsVisible()) {
        stopCursorHiding();
        return;
    }
    if (m_idle.tick(m_pointerX))
        HideMouse();
    else
        ShowMouse();
}
