#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

// Raise and Quit as the desktop means them, for a player's main window.
namespace MprisWindow {

inline void raise(QWidget &window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

// Closes the window as its close button does (which may refuse), and ends
// the program when it closed. After the call's answer has gone out.
inline void quit(QWidget &window)
{
    QTimer::singleShot(0, &window, [&window] {
        if (window.close())
            QCoreApplication::quit();
    });
}

} // namespace MprisWindow
