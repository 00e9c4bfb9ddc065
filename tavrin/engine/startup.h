#pragma once

#include <QString>
#include <QStringList>

class OptionStore;
class PlayerCore;
struct DisplayAdapter;
struct OpticalDrive;

// The machine-dependent defaults chosen when the program starts.
namespace Startup {

// Shown before the program ends on a system it does not run on.
inline const QString unsupportedSystemMessage =
    QStringLiteral("Windows 2000 이상 운영체제에서 실행하실 수 있습니다.");

// The videoOutputMenu item for the last display adapter found, by its PCI
// vendor: OpenGL YUV for NVIDIA and ATI/AMD, X11 for the virtual machines'
// adapters (VMware, VirtualBox, Hyper-V), OpenGL tiles for anything else.
// Without any adapter (a virtual X server) X11, which works everywhere.
int videoOutputItemFor(const QList<DisplayAdapter> &adapters);
// cpuPriorityMenu: below normal on a single processor, normal otherwise.
int cpuPriorityItemFor(int processorCount);
// The dvdDriveMenu caption of a drive: "/dev/sr0: " + the label with each
// word's first letter capitalised and the rest in lower case.
QString driveCaption(const OpticalDrive &drive);
// The device of a dvdDriveMenu caption: the text before its first ":".
QString driveOfCaption(const QString &caption);
// The devices of the drives listed in dvdDriveMenu (its enabled entries).
QStringList listedDrives(const OptionStore &options);

// Applies all of the above, and the default subtitle font, to the core.
void chooseMachineDefaults(PlayerCore &core);

} // namespace Startup
