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
