#include "commands.h"

#include <QStringList>

namespace EngineCommand {

namespace {
const QString keep = QStringLiteral("pausing_keep_force ");

// "<prefix>" + value + " 1 ": an absolute value, not a step.
QString absolute(const QString &prefix, const QString &value)
{
    return prefix + value + QStringLiteral(" 1 ");
}

// Shortest text that reads back as the same single-precision number, as the
// program's own number conversion writes it ("12", "12.5").
QString single(float value)
{
    return QString::number(value, 'g', 7);
}
} // namespace

QString seekRelative(int seconds)
{
    return QStringLiteral("seek ") + QString::number(seconds) + QStringLiteral(" 0 ");
}

QString seekAbsolute(qint64 seconds)
{
    return QStringLiteral("seek ") + QString::number(seconds) + QStringLiteral(" 2 ");
}

QString volumeKeepPause(const QString &value)
{
    return absolute(keep + QStringLiteral("volume "), value);
}

QString volume(const QString &value)
{
    return absolute(QStringLiteral("volume "), value);
}

QString switchAudio(const QString &track)
{
    return QStringLiteral("switch_audio ") + track + QLatin1Char(' ');
}

QString speedSet(const QString &speed)
{
    return keep + QStringLiteral("speed_set ") + speed + QLatin1Char(' ');
}

QString audioDelay(const QString &seconds)
{
    return absolute(keep + QStringLiteral("audio_delay "), seconds);
}

QString subDelay(const QString &seconds)
{
    return absolute(keep + QStringLiteral("sub_delay "), seconds);
}

QString subScale(const QString &scale)
{
    return absolute(keep + QStringLiteral("sub_scale "), scale);
}

QString subFile(int index)
{
    return QStringLiteral("sub_file ") + QString::number(index) + QLatin1Char(' ');
}

QString subDemux(const QString &stream)
{
    return QStringLiteral("sub_demux ") + stream + QLatin1Char(' ');
}

QString gamma(const QString &value)
{
    return absolute(keep + QStringLiteral("gamma "), value);
}

QString contrast(const QString &value)
{
    return absolute(keep + QStringLiteral("contrast "), value);
}

QString brightness(const QString &value)
{
    return absolute(keep + QStringLiteral("brightness "), value);
}

QString hue(const QString &value)
{
    return absolute(keep + QStringLiteral("hue "), value);
}

QString saturation(const QString &value)
{
    return absolute(keep + QStringLiteral("saturation "), value);
}

QString equalizerBands(const QString &bands)
{
    return keep + QStringLiteral("af_eq_set_bands ") + bands + QLatin1Char(' ');
}

QString equalizerCmdline(const QString &bands)
{
    return keep + QStringLiteral("af_cmdline equalizer ") + bands + QLatin1Char(' ');
}

QString equalizer(const QString &bands, bool engineHasSetBands)
{
    return engineHasSetBands ? equalizerBands(bands) : equalizerCmdline(bands);
}

QString commandName(const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    qsizetype first = 0;
    // pausing, pausing_keep, pausing_toggle and pausing_keep_force are
    // prefixes, not commands.
    while (first < words.size() && words.at(first).startsWith(QLatin1String("pausing")))
        ++first;
    return first < words.size() ? words.at(first) : QString();
}

QString setMousePos(float x, float y)
{
    return QStringLiteral("set_mouse_pos ") + single(x) + QLatin1Char(' ') + single(y) +
           QLatin1Char(' ');
}

} // namespace EngineCommand
