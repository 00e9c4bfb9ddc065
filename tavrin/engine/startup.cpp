#include "startup.h"

#include "playercore.h"

namespace Startup {

namespace {
// The maker is told by the vendor number, never by the name: names are
// "vendor device", and a search for "ati" in them finds "Intel Corporation"
// and VirtualBox's "InnoTek Systemberatung" as readily as ATI.
struct VendorDriver
{
    quint16 vendorId;
    int videoOutputItem;
};

constexpr VendorDriver driverByVendor[] = {
    {0x10de, 4}, // NVIDIA: OpenGL YUV
    {0x1002, 4}, // ATI / AMD: OpenGL YUV
    {0x15ad, 1}, // VMware's virtual adapter: X11
    {0x80ee, 1}, // VirtualBox: X11
    {0x1414, 1}, // Microsoft (Virtual PC, Hyper-V): X11
};
constexpr int otherAdapterItem = 5;
constexpr int noAdapterItem = 1;
} // namespace

int videoOutputItemFor(const QList<DisplayAdapter> &adapters)
{
    if (adapters.isEmpty())
        return noAdapterItem;
    // Only the last adapter found decides.
    const quint16 vendor = adapters.last().vendorId;
    for (const VendorDriver &row : driverByVendor) {
        if (row.vendorId == vendor)
            return row.videoOutputItem;
    }
    return otherAdapterItem;
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

QString driveOfCaption(const QString &caption)
{
    const qsizetype colon = caption.indexOf(QLatin1Char(':'));
    return colon < 0 ? caption : caption.left(colon);
}

QStringList listedDrives(const OptionStore &options)
{
    QStringList drives;
    for (const int index : options.indices(Menu::dvdDriveMenu)) {
        if (options.entry(Menu::dvdDriveMenu, index).enabled)
            drives << driveOfCaption(options.caption(Menu::dvdDriveMenu, index));
    }
    return drives;
}

void chooseMachineDefaults(PlayerCore &core)
{
    SystemServices &system = core.services();
    OptionStore &options = core.options();
    PlayerState &state = core.state();

    const QList<DisplayAdapter> adapters = system.displayAdapters();
    for (const DisplayAdapter &adapter : adapters)
        state.setValue(Field::gpuAdapterField, adapter.name);
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
