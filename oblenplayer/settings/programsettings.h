#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

class ProfileIni;

// What OblenPlayer keeps between runs, in qzconfig.ini. The renderer choice
// is held twice, by the option buttons and by the menu's check marks, and
// each is stored under its own keys.
struct ProgramSettings
{
    static constexpr int rendererCount = 4;
    static inline const QString section = QStringLiteral("PROGRAM SETTING");
    static inline const QString fileName = QStringLiteral("qzconfig.ini");

    std::array<bool, rendererCount> rendererOption{false, false, true, false};
    std::array<bool, rendererCount> rendererMenu{false, false, true, false};
    // The window's outer left and top, in twips.
    float left = 0;
    float top = 0;
    // Hundredths of a dB, 0 being full volume.
    int volume = 0;
    bool topmost = true;
    bool avsAudio = true;

    // The keys of the file, in the order they are written.
    static QStringList keys();

    // Takes every key the file holds with a value that reads; a missing key
    // gives its default, a value that does not read leaves the field as it is.
    void read(const ProfileIni &ini);
    void write(ProfileIni &ini) const;

    // The option selected by the option buttons: the last one that is set,
    // as a group of option buttons keeps only the last selection.
    int selectedRenderer() const;

    bool operator==(const ProgramSettings &o) const
    {
        return rendererOption == o.rendererOption && rendererMenu == o.rendererMenu &&
               left == o.left && top == o.top && volume == o.volume && topmost == o.topmost &&
               avsAudio == o.avsAudio;
    }
};

// Text forms of the file's values.
namespace SettingsValue {
QString boolText(bool value);
std::optional<bool> readBool(const QString &text);
std::optional<float> readTwips(const QString &text);
std::optional<int> readVolume(const QString &text);
} // namespace SettingsValue

// In the folder common/writablefolder.h chooses, the program's own or the
// user's data folder; the same file is read and written.
QString settingsFilePath(const QString &programFolder, const QString &dataFolder);

// Where a window whose outer top-left is wanted at topLeft goes: there when
// that point is on one of the screens, otherwise onto the nearest screen,
// kept inside it as far as its size allows.
QPoint placeOnScreens(QPoint topLeft, QSize frameSize, const QList<QRect> &screens);
