#pragma once

#include <QPoint>

class QWidget;

// Hands the move of a top-level window to the window manager, as dragging
// its title bar would (_NET_WM_MOVERESIZE). QWindow::startSystemMove cannot
// be used for the picture: it starts from the last pointer position the
// top-level window itself saw, and the picture's events arrive at its own
// native child windows, so the window jumps. False when no window manager
// that moves windows this way runs: the caller moves the window itself.
bool startWindowManagerMove(QWidget *window, QPoint globalPosition);

// Asks the window manager itself to put the window into full screen or take
// it out. Qt keeps its own idea of the window's state and skips a change to
// the state it believes the window has; that idea follows the window
// manager's property changes one by one, so on the way from maximised to
// full screen it passes through "normal" for a moment, and a change asked for
// then is lost: the window would stay in full screen. Asking again is
// harmless (adding a state the window has changes nothing). Does nothing
// without a window manager that takes such requests.
void requestFullScreenState(QWidget *window, bool fullScreen);
