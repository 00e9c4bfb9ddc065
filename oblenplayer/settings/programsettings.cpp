#include "programsettings.h"

#include "common/writablefolder.h"
#include "settings/profileini.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace {

QString rendererOptionKey(int i)
{
    return QStringLiteral("렌더러선택%1").arg(i);
}

QString rendererMenuKey(int i)
{
    return QStringLiteral("영상렌더러장치메뉴%1").arg(i);
}

const QString leftKey = QStringLiteral("LEFT");
const QString topKey = QStringLiteral("TOP");
const QString volumeKey = QStringLiteral("볼륨");
const QString topmostKey = QStringLiteral("항상위");
// Misspelt since the first release; existing files carry it this way.
const QString avsAudioKey = QStringLiteral("AVS파일재싱시음성듣기메뉴");

constexpr int volumeMinimum = -10000;
constexpr int volumeMaximum = 0;

std::optional<double> readNumber(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

template <typename T, typename Read>
void take(const ProfileIni &ini, const QString &key, T &field, Read read, T fallback)
{
    const std::optional<QString> text = ini.value(ProgramSettings::section, key);
    if (!text) {
        field = fallback;
        return;
    }
    if (const auto v = read(*text))
        field = *v;
}

} // namespace

namespace SettingsValue {

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// "True" and "False" in any case, or a number: 0 is False, anything else True.
std::optional<bool> readBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> v = readNumber(t))
        return *v != 0;
    return std::nullopt;
}

// A negative position becomes 0; a number too large for a window position
// does not read.
std::optional<float> readTwips(const QString &text)
{
    const std::optional<double> v = readNumber(text);
    if (!v || *v > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return float(std::max(0.0, *v));
}

// Whole hundredths of a dB within the volume slider's range.
std::optional<int> readVolume(const QString &text)
{
    const std::optional<double> v = readNumber(text);
    if (!v)
        return std::nullopt;
    const double rounded = std::nearbyint(*v);
    if (rounded < volumeMinimum || rounded > volumeMaximum)
        return std::nullopt;
    return int(rounded);
}

} // namespace SettingsValue

QStringList ProgramSettings::keys()
{
    QStringList k;
    for (int i = 0; i < rendererCount; ++i)
        k << rendererOptionKey(i);
    for (int i = 0; i < rendererCount; ++i)
        k << rendererMenuKey(i);
    k << leftKey << topKey << volumeKey << topmostKey << avsAudioKey;
    return k;
}

void ProgramSettings::read(const ProfileIni &ini)
{
    using namespace SettingsValue;
    const ProgramSettings defaults;
    for (int i = 0; i < rendererCount; ++i) {
        bool option = rendererOption[size_t(i)];
        take(ini, rendererOptionKey(i), option, readBool, defaults.rendererOption[size_t(i)]);
        rendererOption[size_t(i)] = option;
    }
    for (int i = 0; i < rendererCount; ++i) {
        bool checked = rendererMenu[size_t(i)];
        take(ini, rendererMenuKey(i), checked, readBool, defaults.rendererMenu[size_t(i)]);
        rendererMenu[size_t(i)] = checked;
    }
    take(ini, leftKey, left, readTwips, defaults.left);
    take(ini, topKey, top, readTwips, defaults.top);
    take(ini, volumeKey, volume, readVolume, defaults.volume);
    take(ini, topmostKey, topmost, readBool, defaults.topmost);
    take(ini, avsAudioKey, avsAudio, readBool, defaults.avsAudio);
}

void ProgramSettings::write(ProfileIni &ini) const
{
    using namespace SettingsValue;
    for (int i = 0; i < rendererCount; ++i)
        ini.setValue(section, rendererOptionKey(i), boolText(rendererOption[size_t(i)]));
    for (int i = 0; i < rendererCount; ++i)
        ini.setValue(section, rendererMenuKey(i), boolText(rendererMenu[size_t(i)]));
    ini.setValue(section, leftKey, QString::number(left));
    ini.setValue(section, topKey, QString::number(top));
    ini.setValue(section, volumeKey, QString::number(volume));
    ini.setValue(section, topmostKey, boolText(topmost));
    ini.setValue(section, avsAudioKey, boolText(avsAudio));
}

int ProgramSettings::selectedRenderer() const
{
    int selected = -1;
    for (int i = 0; i < rendererCount; ++i) {
        if (rendererOption[size_t(i)])
            selected = i;
    }
    return selected;
}

QString settingsFilePath(const QString &programFolder, const QString &dataFolder)
{
    return QDir(folderForWrites(programFolder, dataFolder)).filePath(ProgramSettings::fileName);
}

QPoint placeOnScreens(QPoint topLeft, QSize frameSize, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return topLeft;
    const QRect *nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::max();
    for (const QRect &screen : screens) {
        if (screen.contains(topLeft))
            return topLeft;
        const double dx = std::max(
            {double(screen.left()) - topLeft.x(), 0.0, double(topLeft.x()) - screen.right()});
        const double dy = std::max(
            {double(screen.top()) - topLeft.y(), 0.0, double(topLeft.y()) - screen.bottom()});
        const double distance = dx * dx + dy * dy;
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &screen;
        }
    }
    const QRect &s = *nearest;
    const int x = std::max(s.left(), std::min(topLeft.x(), s.right() + 1 - frameSize.width()));
    const int y = std::max(s.top(), std::min(topLeft.y(), s.bottom() + 1 - frameSize.height()));
    return {x, y};
}
