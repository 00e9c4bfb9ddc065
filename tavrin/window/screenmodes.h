#pragma once

#include "displaymode.h"
#include "state/playerstate.h"

#include <QLoggingCategory>
#include <QObject>
#include <QRect>

class PlayerCore;
class QWidget;

Q_DECLARE_LOGGING_CATEGORY(lcScreenModes)

// The main window as a piece of screen: where the video frame and the
// picture lie, the four display modes with the places they save and
// restore, the window sizes made from the source size, and always-on-top.
// It works on the main window's parts; the window only wires it.
class ScreenModes : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        QWidget *window = nullptr;
        QWidget *videoFrame = nullptr;
        QWidget *videoWindow = nullptr;
        QWidget *statusBar = nullptr;
        QWidget *bottomBar = nullptr;
    };

    ScreenModes(PlayerCore &core, const Parts &parts, QObject *parent = nullptr);

    // Full or fill screen: the window has no border and covers its screen.
    bool isBorderless() const { return m_borderless; }
    DisplayMode::Mode mode() const;
    bool barsVisible() const;
    void setBarsVisible(bool visible);
    // The bottom strip that brings the bars up, in window coordinates; empty
    // while the bars have their own place (normal mode).
    QRect hoverZone() const;

    // The resize handler's work: the frame between or under the bars, then
    // the picture.
    void layOut();
    // Sizes the picture inside the frame for the source and the chosen
    // ratio, centred.
    void applyAspect();

    void toggleFullScreen();
    void externalFullScreen();
    void externalFillScreen();
    void minimalMode();
    void normalMode();
    // The window made to show the source at that factor (0.5 to 2.0). False,
    // with nothing resized, while the source size is unknown.
    bool setWindowSizeFactor(double factor);
    // Fits the window to a medium opened from the command line, once.
    void fitToVideo();

    // On puts the window above all others, unless it is borderless (a full
    // screen window is above the others already); off takes it back.
    void setAlwaysOnTop(bool on);
    // The choice of the always-on-top menu, applied now.
    void applyAlwaysOnTopRule();
    // The same, but only where the window is not as the choice wants it.
    void refreshAlwaysOnTop();

Q_SIGNALS:
    // The window has its border again: the pointer must not stay hidden.
    void becameWindowed();

private:
    void run(DisplayMode::Step step);
    void enter(bool fill);
    void leave();
    void switchState(const QString &state);
    void setFrameless(bool frameless);
    void saveRect(const QRect &rect, const Field (&fields)[4]);
    QRect savedRect(const Field (&fields)[4]) const;
    void followPlayState();
    bool minimal() const;

    PlayerCore &m_core;
    Parts m_parts;
    bool m_borderless = false;
    bool m_hoverZonesVisible = false;
};
