#include "timetext.h"

#include "core/transport.h"

namespace {

QString twoDigits(long value)
{
    return value < 10 ? QLatin1Char('0') + QString::number(value) : QString::number(value);
}

QString timeText(const QString &source)
{
    const double s = Transport::textValue(source);
    QString text;
    if (s < 10) {
        // Below a minute the source text is used as it is, then cut.
        text = QStringLiteral("00:00:0") + source;
    } else if (s < 60) {
        text = QStringLiteral("00:00:") + source;
    } else {
        // Minutes are worked out in single precision, as the display always has.
        long minutes = long(float(s) / 60.0f);
        const double rest = s - double(minutes) * 60.0;
        QString seconds = Transport::oneDecimal(rest);
        if (seconds.toDouble() < 10)
            seconds.prepend(QLatin1Char('0'));
        if (minutes > 59) {
            const long hours = minutes / 60;
            minutes -= hours * 60;
            text = twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') +
                   seconds;
        } else {
            text = QStringLiteral("00:") + twoDigits(minutes) + QLatin1Char(':') + seconds;
        }
    }
    return text.left(10);
}

} // namespace

QString positionText(const QString &seconds)
{
    if (seconds.isEmpty())
        return QString();
    QString text = timeText(seconds);
    if (text.size() == 8)
        text += QStringLiteral(".0");
    return text;
}

QString durationText(const QString &seconds)
{
    return seconds.isEmpty() ? QString() : timeText(seconds);
}
