#include "statustext.h"

#include "core/transport.h"

namespace StatusText {

QString playTime(const QString &position, const QString &duration)
{
    return QStringLiteral("재생시간: ") + position + QLatin1Char('/') + duration;
}

QString size(int width, int height)
{
    return QStringLiteral("크기: %1x%2픽셀").arg(width).arg(height);
}

QString volume(long volume)
{
    return QStringLiteral("볼륨: ") + Transport::doubleText(volume / 100.0) + QStringLiteral("dB");
}

QString balance(long balance)
{
    QString text = QString::number(balance);
    if (balance == Transport::balanceMinimum)
        text = QStringLiteral("Left");
    else if (balance == 0)
        text = QStringLiteral("Center");
    else if (balance == Transport::balanceMaximum)
        text = QStringLiteral("Right");
    return QStringLiteral("밸런스: ") + text;
}

QString rate(double rate)
{
    return QStringLiteral("배속: ") + Transport::doubleText(rate) + QLatin1Char('x');
}

} // namespace StatusText
