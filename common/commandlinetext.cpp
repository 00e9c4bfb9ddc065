#include "common/commandlinetext.h"

namespace {
const QString openSwitch = QStringLiteral("/open");
const QChar quote = QLatin1Char('"');

QString withoutEnclosingQuotes(const QString &argument)
{
    if (argument.size() >= 2 && argument.startsWith(quote) && argument.endsWith(quote))
        return argument.mid(1, argument.size() - 2);
    return argument;
}
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

ProgramCommandLine readCommandLine(const QStringList &arguments)
{
    ProgramCommandLine line(commandLineText(arguments), QString());
    const QString marker = openSwitch + QLatin1Char(' ') + quote;
    // The first "/open" decides, whichever form it came in.
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == openSwitch && i + 1 < arguments.size()) {
            line.openPath = withoutEnclosingQuotes(arguments.at(i + 1));
            break;
        }
        if (argument.contains(marker)) {
            line.openPath = openPathFromCommandLine(commandLineText(arguments.mid(i)));
            break;
        }
    }
    return line;
}
