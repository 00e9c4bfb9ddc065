#include "smallwindow.h"

#include "engine/playercore.h"
#include "window/windowrules.h"

#include <QWidget>

void prepareSmallWindow(QWidget *window, const PlayerCore &core)
{
    // A dialog, not a plain window: only for dialogs (and tools) does the
    // X11 platform name the owner in WM_TRANSIENT_FOR.
    window->setWindowFlag(Qt::Dialog, true);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const std::optional<bool> onTop =
        WindowRules::alwaysOnTopWanted(core.options().checkedItem(Menu::alwaysOnTopMenu),
                                       core.state().value(Field::playStateField));
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop.value_or(false));
}
