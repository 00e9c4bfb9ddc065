#include "systemservices.h"

#include "common/writablefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <blkid/blkid.h>
#include <fontconfig/fontconfig.h>
#include <xcb/xcb.h>
extern "C" {
#include <pci/pci.h>
}

QList<DisplayAdapter> LinuxSystem::displayAdapters() const
{
    QList<DisplayAdapter> adapters;
    pci_access *pacc = pci_alloc();
    if (!pacc)
        return adapters;
    pci_init(pacc);
    pci_scan_bus(pacc);
    for (pci_dev *dev = pacc->devices; dev; dev = dev->next) {
        pci_fill_info(dev, PCI_FILL_IDENT | PCI_FILL_CLASS);
        if ((dev->device_class >> 8) != 0x03) // display controllers
            continue;
        char vendor[256] = {};
        char device[256] = {};
        pci_lookup_name(pacc, vendor, sizeof vendor, PCI_LOOKUP_VENDOR, dev->vendor_id);
        pci_lookup_name(pacc, device, sizeof device, PCI_LOOKUP_DEVICE, dev->vendor_id,
                        dev->device_id);
        adapters << DisplayAdapter{dev->vendor_id, QString::fromUtf8(vendor) + QLatin1Char(' ') +
                                                       QString::fromUtf8(device)};
    }
    pci_cleanup(pacc);
    return adapters;
}

QStringList LinuxSystem::drivesFromCdromInfo(const QString &infoText)
{
    QStringList devices;
    for (const QString &line : infoText.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("drive name:")))
            continue;
        // The kernel lists the newest drive first; users expect sr0 first.
        const QStringList names = line.mid(11).split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        for (auto it = names.crbegin(); it != names.crend(); ++it) {
            const QString name = it->trimmed();
            if (!name.isEmpty())
                devices << QStringLiteral("/dev/") + name;
        }
    }
    return devices;
}

QList<OpticalDrive> LinuxSystem::opticalDrives() const
{
    QList<OpticalDrive> drives;
    QFile info(QStringLiteral("/proc/sys/dev/cdrom/info"));
    if (!info.open(QIODevice::ReadOnly))
        return drives;
    for (const QString &device : drivesFromCdromInfo(QString::fromLocal8Bit(info.readAll()))) {
        OpticalDrive drive{device, QString()};
        // An empty drive has no label; probing it must not block or fail.
        if (blkid_probe probe = blkid_new_probe_from_filename(device.toLocal8Bit().constData())) {
            blkid_probe_enable_superblocks(probe, 1);
            blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL);
            const char *label = nullptr;
            if (blkid_do_safeprobe(probe) == 0 &&
                blkid_probe_lookup_value(probe, "LABEL", &label, nullptr) == 0 && label)
                drive.label = QString::fromUtf8(label);
            blkid_free_probe(probe);
        }
        drives << drive;
    }
    return drives;
}

QString LinuxSystem::desktopWindowId() const
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    QString id = QStringLiteral("0");
    if (connection && !xcb_connection_has_error(connection)) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (screen)
            id = QString::number(screen->root);
    }
    if (connection)
        xcb_disconnect(connection);
    return id;
}

void LinuxSystem::restoreDesktopWindow()
{
    // A connection of its own: this also runs as the program ends, when
    // Qt's connection may be gone.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (connection && !xcb_connection_has_error(connection)) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (screen) {
            const uint32_t colormap = screen->default_colormap;
            // Checked: the change has reached the server before this returns.
            free(xcb_request_check(
                connection, xcb_change_window_attributes_checked(connection, screen->root,
                                                                 XCB_CW_COLORMAP, &colormap)));
        }
    }
    if (connection)
        xcb_disconnect(connection);
}

QString LinuxSystem::fontCacheFolder() const
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/fontconfig");
}

int LinuxSystem::processorCount() const
{
    return QThread::idealThreadCount();
}

QString LinuxSystem::defaultSubtitleFont(const QString &programFolder) const
{
    const QString bundled = programFolder + QStringLiteral("/mplayer/mplayer/Daum_SemiBold.ttf");
    if (QFileInfo::exists(bundled))
        return bundled;

    // A bold face that has Hangul: the engine draws the font file it is given
    // and nothing else.
    QString path;
    if (FcInit()) {
        FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>("NanumGothic:bold"));
        FcLangSet *langs = FcLangSetCreate();
        FcLangSetAdd(langs, reinterpret_cast<const FcChar8 *>("ko"));
        FcPatternAddLangSet(pattern, FC_LANG, langs);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern *match = FcFontMatch(nullptr, pattern, &result)) {
            FcChar8 *file = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
                path = QString::fromUtf8(reinterpret_cast<const char *>(file));
            FcPatternDestroy(match);
        }
        FcLangSetDestroy(langs);
        FcPatternDestroy(pattern);
    }
    return path;
}

QString LinuxSystem::writableFolder(const QString &programFolder) const
{
    return folderForWrites(programFolder,
                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString LinuxSystem::processorNameFromCpuinfo(const QString &cpuinfo)
{
    for (const QString &line : cpuinfo.split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && line.left(colon).trimmed() == QLatin1String("model name"))
            return line.mid(colon + 1).trimmed();
    }
    return QString();
}

QString LinuxSystem::processorName() const
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (!cpuinfo.open(QIODevice::ReadOnly))
        return QString();
    // A proc file reports no size: read it to its end.
    return processorNameFromCpuinfo(QString::fromLocal8Bit(cpuinfo.readAll()));
}

std::optional<QString> LinuxSystem::processorCounters() const
{
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromLatin1(stat.readAll());
}
