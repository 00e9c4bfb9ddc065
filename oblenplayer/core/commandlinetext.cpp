#include "commandlinetext.h"

namespace {
const QString openSwitch = QStringLiteral("/open");
}

QString commandLineText(const QStringList &arguments)
{
    QStringList parts;
    bool afterOpen = false;
    for (const QString &argument : arguments) {
        if (afterOpen && !argument.startsWith(QLatin1Char('"')))
            parts << QLatin1Char('"') + argument + QLatin1Char('"');
        else
            parts << argument;
        afterOpen = (argument == openSwitch);
    }
    return parts.join(QLatin1Char(' '));
}

QString openPathFromCommandLine(const QString &text)
{
    const QString marker = openSwitch + QStringLiteral(" \"");
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return QString();
    const qsizetype start = at + marker.size();
    const qsizetype end = text.indexOf(QLatin1Char('"'), start);
    if (end < 0)
        return QString();
    return text.mid(start, end - start);
}
