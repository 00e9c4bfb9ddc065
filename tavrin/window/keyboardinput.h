#pragma once

#include "controls/keymap.h"

#include <QObject>
#include <functional>

class MediaOpener;
class OpenActions;
class PlayerCore;
class PointerInput;
class QMenu;
class QWidget;
class ScreenModes;
class Transport;

// The windows a key shows that the keyboard does not own.
enum class ToolWindow
{
    programInfo,
    playInfo,
    videoEq,
    audioEq,
    subtitleSettings,
};

// The main window's keyboard: every key press meant for the main window,
// whichever of its widgets has the focus, refreshes always-on-top and runs
// the key table (the DVD keys while a DVD plays, then the general keys).
class KeyboardInput : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        QWidget *window = nullptr;
        Transport *transport = nullptr;
        ScreenModes *modes = nullptr;
        PointerInput *pointer = nullptr;
        OpenActions *openActions = nullptr;
        MediaOpener *opener = nullptr;
        // The menu the Applications key opens, asked for when it is pressed.
        std::function<QMenu *()> popupMenu;
    };

    KeyboardInput(PlayerCore &core, const Parts &parts, QObject *parent = nullptr);

    // One key press, as the table's code and modifier value.
    void keyDown(const KeyMap::KeyStroke &stroke);

Q_SIGNALS:
    // A key press the main window took, with Qt's key.
    void keyPressed(int qtKey);
    void showWindowRequested(ToolWindow window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // False when the rest of the table must not run.
    bool perform(KeyMap::Action action);
    // Runs an open path with the cursor timer held off around its dialog.
    void withCursorTimerOff(const std::function<void()> &open);

    PlayerCore &m_core;
    Parts m_parts;
};
