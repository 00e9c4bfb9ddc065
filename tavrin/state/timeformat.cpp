#include "timeformat.h"

#include "identifykeys.h"
#include "playerstate.h"
#include "vbnumber.h"

#include <cmath>

namespace {
QString twoDigits(qint64 value)
{
    return value < 10 ? QLatin1Char('0') + QString::number(value) : QString::number(value);
}

// The engine writes every position with one decimal ("75.3"), and the label
// is made from it many times a second: such a text (under 100 hours) is
// formatted from its whole tenths, without a double and back. The rules
// below give exactly this for every such value: under a minute the digits
// stand as written, from a minute on the tenth needs no rounding.
std::optional<QString> formatTenths(QStringView seconds)
{
    constexpr qint64 hundredHours = 100 * 3600 * 10;
    const qsizetype point = seconds.size() - 2;
    if (point < 1 || point > 6 || seconds[point] != QLatin1Char('.'))
        return std::nullopt;
    qint64 tenths = 0;
    for (qsizetype i = 0; i < seconds.size(); ++i) {
        if (i == point)
            continue;
        const char16_t c = seconds[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        tenths = tenths * 10 + (c - u'0');
    }
    if (tenths >= hundredHours)
        return std::nullopt;
    const qint64 wholeSeconds = tenths / 10;
    const qint64 fields[3] = {wholeSeconds / 3600, wholeSeconds / 60 % 60, wholeSeconds % 60};
    QString text(10, Qt::Uninitialized);
    QChar *out = text.data();
    for (const qint64 field : fields) {
        *out++ = QLatin1Char(char('0' + field / 10));
        *out++ = QLatin1Char(char('0' + field % 10));
        *out++ = QLatin1Char(':');
    }
    out[-1] = QLatin1Char('.');
    *out = QLatin1Char(char('0' + tenths % 10));
    return text;
}
} // namespace

std::optional<QString> formatTime(const QString &seconds)
{
    if (seconds.isEmpty())
        return QStringLiteral("00:00:00.0");
    if (std::optional<QString> text = formatTenths(seconds))
        return text;
    const std::optional<double> parsed = strictNumber(seconds);
    if (!parsed)
        return std::nullopt;
    // A position a hair before the start still shows as the start.
    const double t = std::max(*parsed, 0.0);

    if (t <= 59.0) {
        // The seconds as the engine wrote them, cut (not rounded) to one decimal.
        QString text = QStringLiteral("00:00:") + (t < 10.0 ? QStringLiteral("0") : QString()) +
                       shortestDecimal(t);
        text.truncate(10);
        if (text.size() == 8)
            text += QStringLiteral(".0");
        return text;
    }

    // A length too large for a count of minutes is not a time: skip it.
    const std::optional<qint64> wholeMinutes = wholeInt64(std::floor(t / 60.0));
    if (!wholeMinutes)
        return std::nullopt;
    qint64 minutes = *wholeMinutes;
    double secs = std::round((t - static_cast<double>(minutes) * 60.0) * 10.0) / 10.0;
    // 119.97 rounds to a full minute: show 00:02:00.0, not 00:01:60.0.
    if (secs >= 60.0) {
        secs -= 60.0;
        ++minutes;
    }
    const QString secondsText =
        (secs < 10.0 ? QStringLiteral("0") : QString()) + formatOneDecimal(secs);
    const qint64 hours = minutes / 60;
    // Lengths of 100 hours and more keep every digit of the hours.
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes - hours * 60) +
           QLatin1Char(':') + secondsText;
}

void parseDuration(PlayerState &state)
{
    const QString output = state.value(Field::engineOutputBox);
    const QString &key = IdentifyKey::length;
    const qsizetype at = output.indexOf(key);
    if (at >= 0) {
        const qsizetype end = output.indexOf(QStringLiteral("\r\n"), at);
        if (end >= 0)
            state.setValue(Field::totalSecondsField,
                           output.mid(at + key.size(), end - at - key.size()));
    }
    const QString total = state.value(Field::totalSecondsField);
    if (total.isEmpty())
        return;
    if (const std::optional<QString> text = formatTime(total))
        state.setValue(Field::totalTimeLabel, *text);
}

QString frameNumberText(double seconds, const QString &frameRate)
{
    const std::optional<double> rate = strictNumber(frameRate);
    if (!rate)
        return QString();
    return formatWholeOrEmpty(seconds * *rate);
}
