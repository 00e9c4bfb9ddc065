#include "commandline.h"

#include "cmdmod.h"
#include "controls/optionstore.h"
#include "state/playerstate.h"

QString textInParentheses(const QString &caption)
{
    const qsizetype open = caption.indexOf(QLatin1Char('('));
    if (open < 0)
        return QString();
    const qsizetype close = caption.indexOf(QLatin1Char(')'), open + 1);
    if (close < 0)
        return QString();
    return caption.mid(open + 1, close - open - 1);
}

QString mediaArgument(const QString &mediaPath)
{
    if (mediaPath.startsWith(QLatin1Char('-')))
        return QStringLiteral("./") + mediaPath;
    return mediaPath;
}

EngineLaunch buildEngineLaunch(const PlayerState &state, const OptionStore &options,
                               const LaunchEnvironment &environment)
{
    EngineLaunch launch;
    launch.program = environment.enginePath;

    const QString media = mediaArgument(state.value(Field::mediaPathField));
    QString vo;
    if (const auto item = options.checkedItem(Menu::videoOutputMenu))
        vo = textInParentheses(options.caption(Menu::videoOutputMenu, *item));

    // The trailing "," lets the engine fall back to a driver that works when
    // the chosen one cannot open, instead of playing without a picture.
    const QString voValue = vo.isEmpty() ? QString() : vo + QLatin1Char(',');

    launch.arguments << media << QStringLiteral("-wid") << environment.windowId
                     << QStringLiteral("-colorkey") << environment.colourKey
                     << QStringLiteral("-slave") << QStringLiteral("-quiet")
                     << QStringLiteral("-identify");
    if (!voValue.isEmpty())
        launch.arguments << QStringLiteral("-vo") << voValue;

    launch.displayText = environment.enginePath + QLatin1Char(' ') + QLatin1Char('"') + media +
                         QLatin1Char('"') + QStringLiteral(" -wid ") + environment.windowId +
                         QStringLiteral(" -colorkey ") + environment.colourKey +
                         QStringLiteral(" -slave -quiet -identify -vo ") + voValue;

    launch.niceValue = cmdmod::niceForPriorityClass(
        cmdmod::priorityClassForItem(options.checkedItem(Menu::cpuPriorityMenu)));
    return launch;
}
