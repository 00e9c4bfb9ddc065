#pragma once

#include "windowrules.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QTimer>

class PlayerCore;
class QMouseEvent;
class QWidget;
class ScreenModes;
class Transport;

// The mouse over the main window: presses, moves, releases and double-clicks
// over the picture and its frame, the window dragged by the picture, the
// popup menu on a right release over the video and the bars, DVD menu
// pointing, the wheel as volume, and the pointer hidden while it rests in
// full screen.
class PointerInput : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        QWidget *window = nullptr;
        QWidget *videoFrame = nullptr;
        QWidget *videoWindow = nullptr;
        // Right releases over these (and their labels) open the popup menu.
        QList<QWidget *> bars;
        // The parts of the bars that count as the bars themselves (their
        // right parts and labels); buttons and sliders do not.
        QList<QWidget *> popupAreas;
    };

    PointerInput(PlayerCore &core, Transport &transport, ScreenModes &modes, const Parts &parts,
                 QObject *parent = nullptr);

    // Forces the pointer hidden or shown over the main window.
    void HideMouse();
    void ShowMouse();
    bool isMouseHidden() const { return m_hidden; }
    // Stops hiding the pointer and shows it.
    void stopCursorHiding();

    QTimer cursorTimer;

Q_SIGNALS:
    void popupMenuRequested(const QPoint &globalPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pressed(QWidget *over, QMouseEvent *event);
    void moved(QWidget *over, QMouseEvent *event);
    void released(QMouseEvent *event);
    void doubleClicked(QWidget *over);
    void followBars(const QPoint &inWindow);
    void drag(const QPoint &global);
    bool wheel(QObject *watched, QEvent *event);
    bool barReleased(QObject *watched, QMouseEvent *event);
    void cursorTick();
    bool dvdMode() const;

    PlayerCore &m_core;
    Transport &m_transport;
    ScreenModes &m_modes;
    Parts m_parts;
    WindowRules::WheelSteps m_wheel;
    WindowRules::CursorIdle m_idle;
    int m_pointerX = 0;
    bool m_hidden = false;
    // A left press over the video that may become a drag of the window.
    bool m_dragArmed = false;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_windowAtPress;
};
