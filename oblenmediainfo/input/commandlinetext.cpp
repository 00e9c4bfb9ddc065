#include "commandlinetext.h"

namespace {
const QString openSwitch = QStringLiteral("/open");
const QChar quote = QLatin1Char('"');
} // namespace

QString commandLineText(const QStringList &arguments)
{
    QStringList parts;
    bool afterOpen = false;
    for (const QString &argument : arguments) {
        if (afterOpen && !argument.startsWith(quote))
            parts << quote + argument + quote;
        else
            parts << argument;
        afterOpen = (argument == openSwitch);
    }
    return parts.join(QLatin1Char(' '));
}

QString openPathFromCommandLine(const QString &text)
{
    const QString marker = openSwitch + QLatin1Char(' ') + quote;
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return QString();
    const qsizetype start = at + marker.size();
    const qsizetype end = text.indexOf(quote, start);
    if (end < 0)
        return QString();
    return text.mid(start, end - start);
}
