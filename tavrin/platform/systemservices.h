#pragma once

#include "wallpaper.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A display controller on the PCI bus: its vendor's number, which tells the
// maker whatever its name says, and "vendor device" as the names database
// spells them (what the user sees as the adapter).
struct DisplayAdapter
{
    quint16 vendorId = 0;
    QString name;
};

struct OpticalDrive
{
    QString device; // "/dev/sr0"
    QString label;  // volume label of the disc, empty without one
};

// The machine as Tavrin sees it. Tests replace it with fixed answers.
class SystemServices
{
public:
    virtual ~SystemServices() = default;

    // Whether the player runs on this system at all; start-up refuses one
    // that it does not.
    virtual bool isSupportedSystem() const = 0;
    // The display adapters, in the order found.
    virtual QList<DisplayAdapter> displayAdapters() const = 0;
    virtual QList<OpticalDrive> opticalDrives() const = 0;
    // The X11 root window, decimal: what the engine draws into on the desktop.
    virtual QString desktopWindowId() const = 0;
    // Puts the root window's default colormap back. An engine that drew on
    // the desktop installs a colormap of its own on the root and leaves None
    // there when it ends; window managers then stop framing new windows, and
    // programs that create windows with the root's colormap fail.
    virtual void restoreDesktopWindow() = 0;
    // The engine's font cache folder; its absence means the cache is still
    // to be built.
    virtual QString fontCacheFolder() const = 0;
    virtual int processorCount() const = 0;
    // The font file plain subtitles are drawn with when the user chose none.
    virtual QString defaultSubtitleFont(const QString &programFolder) const = 0;
    // Where the program writes its files: the program folder of a portable
    // copy, otherwise (installed, or not writable) the user's data folder.
    virtual QString writableFolder(const QString &programFolder) const = 0;
    virtual Wallpaper &wallpaper() = 0;
    // The processor's name as its maker gives it; empty when unknown.
    virtual QString processorName() const = 0;
    // The kernel's processor time counters, the text of /proc/stat; nothing
    // when they cannot be read.
    virtual std::optional<QString> processorCounters() const = 0;
};

// The real services of a Linux desktop.
class LinuxSystem : public SystemServices
{
public:
    // The refusal is for the old Windows family (95, 98, Me); every system
    // the program builds for can run it.
    bool isSupportedSystem() const override { return true; }
    QList<DisplayAdapter> displayAdapters() const override;
    QList<OpticalDrive> opticalDrives() const override;
    QString desktopWindowId() const override;
    void restoreDesktopWindow() override;
    QString fontCacheFolder() const override;
    int processorCount() const override;
    QString defaultSubtitleFont(const QString &programFolder) const override;
    QString writableFolder(const QString &programFolder) const override;
    Wallpaper &wallpaper() override { return m_wallpaper; }
    QString processorName() const override;
    std::optional<QString> processorCounters() const override;

    // The first "model name" of a /proc/cpuinfo text.
    static QString processorNameFromCpuinfo(const QString &cpuinfo);
    // The optical drives named in the kernel's CD-ROM table, as /dev paths.
    static QStringList drivesFromCdromInfo(const QString &infoText);

private:
    RecordingWallpaper m_wallpaper;
};
