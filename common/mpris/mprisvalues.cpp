#include "mprisvalues.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cmath>

qint64 mprisMicroseconds(double seconds)
{
    return std::isfinite(seconds) ? qint64(std::llround(seconds * 1e6)) : 0;
}

QString mprisStatusText(MprisPlayer::Status status)
{
    switch (status) {
    case MprisPlayer::Status::Playing:
        return QStringLiteral("Playing");
    case MprisPlayer::Status::Paused:
        return QStringLiteral("Paused");
    case MprisPlayer::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString mprisUrlOf(const QString &pathOrAddress)
{
    // An absolute path is a file even with "://" in it; anything else with
    // a scheme is an address the engine opens as such.
    if (!pathOrAddress.startsWith(QLatin1Char('/')) && pathOrAddress.contains(QLatin1String("://")))
        return pathOrAddress;
    const QByteArray bytes = QFile::encodeName(QFileInfo(pathOrAddress).absoluteFilePath());
    return QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(bytes, "/"));
}

double mprisAmplitudeOf(int hundredthsDb, int silenceAt)
{
    if (hundredthsDb <= silenceAt)
        return 0.0;
    return std::pow(10.0, std::min(hundredthsDb, 0) / 2000.0);
}

int mprisHundredthsDbOf(double amplitude, int silenceAt)
{
    if (!(amplitude > 0.0))
        return silenceAt;
    const long value = std::lround(2000.0 * std::log10(std::min(amplitude, 1.0)));
    return int(std::clamp<long>(value, silenceAt, 0));
}
