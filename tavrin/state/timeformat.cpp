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
} // namespace

std::optional<QString> formatTime(const QString &seconds)
{
    if (seconds.isEmpty())
        return QStringLiteral("00:00:00.0");
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
