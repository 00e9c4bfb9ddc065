#pragma once

#include <QString>

// Ties the program's windows to its desktop entry `name`.desktop and gives
// them the program's icon, so that task bars and window switchers show them
// under the entry's name and picture. On Wayland the entry's name is the
// windows' app id; on X11 desktops match the windows' WM_CLASS, which Qt makes
// of the application name, to the entry's StartupWMClass. The icon is the one
// built into the program (add_program_icon in CMake), the same pictures as
// the installed theme icon `name`, so a copy run from the build tree or on a
// bare X server looks the same. Call it once the application object exists
// and has its name.
void setDesktopIdentity(const QString &name);
