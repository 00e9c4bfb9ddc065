#pragma once

#include "platform/systemservices.h"

#include <QTemporaryDir>

// A machine with fixed answers, writing into a folder of its own.
class FakeSystem : public SystemServices
{
public:
    bool supported = true;
    QList<DisplayAdapter> adapters;
    QList<OpticalDrive> drives;
    int processors = 2;
    QString font = QStringLiteral("/fonts/NanumGothicBold.ttf");
    QString rootWindow = QStringLiteral("4242");
    int desktopRestored = 0;
    QString fontCache;
    RecordingWallpaper recorder;
    QTemporaryDir folder;
    QString cpuName = QStringLiteral("Test CPU @ 3.00GHz");
    // The /proc/stat texts handed out one per reading, the last one again
    // once they are used up; countersReadable false is a counter file that
    // cannot be read.
    QStringList counterSamples{QStringLiteral("cpu0 1 0 1 1 0 0 0 0 0 0\n")};
    bool countersReadable = true;
    mutable int countersRead = 0;

    bool isSupportedSystem() const override { return supported; }
    QList<DisplayAdapter> displayAdapters() const override { return adapters; }
    QList<OpticalDrive> opticalDrives() const override { return drives; }
    QString desktopWindowId() const override { return rootWindow; }
    void restoreDesktopWindow() override { ++desktopRestored; }
    QString fontCacheFolder() const override
    {
        return fontCache.isEmpty() ? folder.filePath(QStringLiteral("fontconfig")) : fontCache;
    }
    int processorCount() const override { return processors; }
    QString defaultSubtitleFont(const QString &) const override { return font; }
    QString writableFolder(const QString &) const override { return folder.path(); }
    Wallpaper &wallpaper() override { return recorder; }
    QString processorName() const override { return cpuName; }
    std::optional<QString> processorCounters() const override
    {
        const int reading = countersRead++;
        if (!countersReadable || counterSamples.isEmpty())
            return std::nullopt;
        return counterSamples.at(qMin(reading, int(counterSamples.size()) - 1));
    }
};
