#include "startup.h"

#include "playercore.h"

namespace Startup {

int videoOutputItemFor(const QStringList &adapters)
{
    if (adapters.isEmpty())
        return 1;
    // Only the last adapter found decides.
    const QString name = adapters.last().toLower();
    if (name.contains(QStringLiteral("nvidia")) || name.contains(QStringLiteral("ati")))
        return 4;
    if (name.contains(QStringLiteral("vmware")) || name.contains(QStringLiteral("vm additions")) ||
        name.contains(QStringLiteral("virtual pc")))
        return 1;
    return 5;
}

int cpuPriorityItemFor(int processorCount)
{
    return processorCount == 1 ? 4 : 3;
}

QString driveCaption(const OpticalDrive &drive)
{
    QString label = drive.label.toLower();
    bool wordStart = true;
    for (QChar &c : label) {
        if (wordStart)
            c = c.toUpper();
        wordStart = c.isSpace();
    }
    return drive.device + QStringLiteral(": ") + label;
}

void chooseMachineDefaults(PlayerCore &core)
{
    SystemServices &system = core.services();
    OptionStore &options = core.options();
    PlayerState &state = core.state();

    const QStringList adapters = system.displayAdapters();
    for (const QString &adapter : adapters)
        state.setValue(Field::gpuAdapterField, adapter);
    options.choose(Menu::videoOutputMenu, videoOutputItemFor(adapters));
    options.choose(Menu::cpuPriorityMenu, cpuPriorityItemFor(system.processorCount()));

    const QList<OpticalDrive> drives = system.opticalDrives();
    for (int i = 0; i < drives.size(); ++i) {
        const int index = i == 0 ? 0 : options.loadItem(Menu::dvdDriveMenu);
        options.setCaption(Menu::dvdDriveMenu, index, driveCaption(drives[i]));
        options.setEnabled(Menu::dvdDriveMenu, index, true);
        options.setVisible(Menu::dvdDriveMenu, index, true);
    }

    if (state.value(Field::subFontPathField).isEmpty())
        state.setValue(Field::subFontPathField, system.defaultSubtitleFont(core.programFolder()));
}

} // namespace Startup
