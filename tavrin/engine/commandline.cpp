#include "commandline.h"

#include "cmdmod.h"
#include "controls/optionstore.h"
#include "state/playerstate.h"
#include "state/vbnumber.h"

#include "common/filename.h"

#include <QDir>

#include <QRegularExpression>

namespace {
const QChar quote = QLatin1Char('"');

QString checkedCaption(const OptionStore &options, Menu menu)
{
    const auto item = options.checkedItem(menu);
    return item ? options.caption(menu, *item) : QString();
}

// "-opt value" as arguments; an empty value leaves the option out rather
// than hand the engine an option without its value.
QStringList option(const QString &name, const QString &value)
{
    if (value.isEmpty())
        return {};
    return {name, value};
}

QString cutTrailing(QString text, QChar c)
{
    if (text.endsWith(c))
        text.chop(1);
    return text;
}

const Field equalizerBands[] = {Field::eqBand0Field, Field::eqBand1Field, Field::eqBand2Field,
                                Field::eqBand3Field, Field::eqBand4Field, Field::eqBand5Field,
                                Field::eqBand6Field, Field::eqBand7Field, Field::eqBand8Field,
                                Field::eqBand9Field};
} // namespace

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
    // The engine takes any name with "://" in it for an address, and a
    // file so named ("dvd://1" in the current folder, "/m/a://b.mkv") would
    // not open; as a "file://" address it does, the rest taken as it is. Its
    // doubled slashes, which name the same file, go: with "dvd://" anywhere
    // in it the engine reads a '-' after it as a range of DVD titles.
    if (mediaPath.contains(QLatin1String("://")) && !readsAsAddress(mediaPath)) {
        static const QRegularExpression slashes(QStringLiteral("/{2,}"));
        return QStringLiteral("file://") +
               QDir::current().absoluteFilePath(mediaPath).replace(slashes, QStringLiteral("/"));
    }
    if (mediaPath.startsWith(QLatin1Char('-')))
        return QStringLiteral("./") + mediaPath;
    return mediaPath;
}

std::optional<QStringList> dvdDriveArguments(const QString &mediaPath, const QStringList &drives)
{
    const QString deviceOption = QStringLiteral(" -dvd-device ");
    for (const QString &scheme : {QStringLiteral("dvdnav://"), QStringLiteral("dvd://")}) {
        const QString prefix = scheme + deviceOption;
        if (!mediaPath.startsWith(prefix))
            continue;
        const QString drive = mediaPath.mid(prefix.size());
        if (!drives.contains(drive))
            return std::nullopt;
        return QStringList{scheme, deviceOption.trimmed(), drive};
    }
    return std::nullopt;
}

QString videoFilterChain(const OptionStore &options)
{
    QString chain = QStringLiteral("pp=forcequant,");
    if (const auto item = options.checkedItem(Menu::deinterlaceMenu)) {
        if (*item >= 1 && *item <= 6)
            chain += QStringLiteral("pp=") +
                     textInParentheses(options.caption(Menu::deinterlaceMenu, *item)) +
                     QLatin1Char(',');
        else if (*item == 7)
            chain += QStringLiteral("yadif,");
        else if (*item == 8)
            chain += QStringLiteral("kerndeint,");
    }
    if (options.isChecked(Menu::blurMenu))
        chain += QStringLiteral("unsharp=l5x5:-1:c5x5:1,");
    if (options.isChecked(Menu::sharpenMenu))
        chain += QStringLiteral("unsharp=l5x5:1:c5x5:1,");
    // The 3D denoiser is a filter of its own: as a "pp=" sub-filter the
    // engine refuses it, and the denoise option would do nothing.
    if (options.isChecked(Menu::denoiseMenu))
        chain += QStringLiteral("hqdn3d,");
    if (options.isChecked(Menu::deringMenu))
        chain += QStringLiteral("pp=dr,");
    if (options.isChecked(Menu::autoLevelsMenu))
        chain += QStringLiteral("pp=al,");
    QStringList deblocking;
    for (int i : options.indices(Menu::deblockingMenu)) {
        if (options.isChecked(Menu::deblockingMenu, i))
            deblocking << textInParentheses(options.caption(Menu::deblockingMenu, i));
    }
    if (!deblocking.isEmpty())
        chain += QStringLiteral("pp=") + deblocking.join(QLatin1Char('/')) + QLatin1Char(',');
    return cutTrailing(chain, QLatin1Char(','));
}

QString audioFilterChain(const PlayerState &state, const OptionStore &options)
{
    QString chain;
    if (const auto item = options.checkedItem(Menu::sampleRateMenu); item && *item != 0) {
        const QString rate = options.caption(Menu::sampleRateMenu, *item).section(QLatin1Char(' '), 0, 0);
        chain += QStringLiteral("resample=") + rate + QStringLiteral(":1:2,");
    }
    if (options.isChecked(Menu::pitchCorrectionMenu))
        chain += QStringLiteral("scaletempo,");
    if (options.isChecked(Menu::extraStereoMenu))
        chain += QStringLiteral("extrastereo,");
    if (options.isChecked(Menu::voiceRemovalMenu))
        chain += QStringLiteral("karaoke,");
    if (options.isChecked(Menu::normalizerMenu))
        chain += QStringLiteral("volnorm,");
    QStringList gains;
    for (const Field band : equalizerBands)
        gains << state.value(band);
    chain += QStringLiteral("equalizer=") + gains.join(QLatin1Char(':')) + QLatin1Char(',');
    return cutTrailing(chain, QLatin1Char(','));
}

QString decoderOptions(const OptionStore &options, const QString &processorCount)
{
    // Motion vectors are not passed on: the decoder library of the engine
    // has dropped "vismv", and the engine refuses to start with it.
    QString opts;
    if (const auto item = options.checkedItem(Menu::decodingThreadsMenu)) {
        const QString threads =
            *item == 0 ? processorCount : options.caption(Menu::decodingThreadsMenu, *item);
        opts += QStringLiteral("threads=") + threads + QLatin1Char(':');
    }
    return cutTrailing(opts, QLatin1Char(':'));
}

QList<CommandLinePiece> commandLinePieces(const PlayerState &state, const OptionStore &options,
                                          const LaunchEnvironment &env)
{
    QList<CommandLinePiece> pieces;
    auto add = [&pieces](const QString &text, const QStringList &arguments = {}) {
        pieces.append({text, arguments});
    };
    auto value = [&state](Field f) { return state.value(f); };

    const bool desktop = options.isChecked(Menu::desktopModeMenu);
    const QString media = value(Field::mediaPathField);

    // 1, 2: the program and the medium.
    add(env.enginePath + QLatin1Char(' '));
    const std::optional<QStringList> dvd =
        env.mediaIsExistingFile ? std::nullopt : dvdDriveArguments(media, env.opticalDrives);
    if (dvd)
        add(media, *dvd);
    else
        add(quote + fileNameForDisplay(mediaArgument(media)) + quote, {mediaArgument(media)});

    // 3-5: where and how the picture is drawn. The trailing "," lets the
    // engine fall back to a driver that works when the chosen one cannot
    // open, instead of playing without a picture.
    const QString wid = desktop ? env.desktopWindowId : env.windowId;
    add(QStringLiteral(" -wid ") + wid, option(QStringLiteral("-wid"), wid));
    add(QStringLiteral(" -colorkey ") + env.colourKey, option(QStringLiteral("-colorkey"), env.colourKey));
    QString vo = desktop ? textInParentheses(options.caption(Menu::videoOutputMenu, 0))
                         : textInParentheses(checkedCaption(options, Menu::videoOutputMenu));
    if (!vo.isEmpty())
        vo += QLatin1Char(',');
    // "-zoom": the X11 driver draws at the source size unless it may scale,
    // and the picture must fill the video window whatever its size.
    add(QStringLiteral(" -slave -quiet -identify -nokeepaspect -zoom -vo ") + vo,
        QStringList{QStringLiteral("-slave"), QStringLiteral("-quiet"), QStringLiteral("-identify"),
                    QStringLiteral("-nokeepaspect"), QStringLiteral("-zoom")} +
            option(QStringLiteral("-vo"), vo));

    // 6-9: speed, post-processing, scaler, picture adjustments.
    const QString speed = value(Field::speedField).remove(QLatin1Char('x'));
    add(QStringLiteral(" -speed ") + speed, option(QStringLiteral("-speed"), speed));
    if (options.isChecked(Menu::postProcessingMenu))
        add(QStringLiteral(" -pp 6"), {QStringLiteral("-pp"), QStringLiteral("6")});
    else
        add(QString());
    if (const auto scaler = options.checkedItem(Menu::scalerMenu))
        add(QStringLiteral(" -sws ") + QString::number(*scaler),
            {QStringLiteral("-sws"), QString::number(*scaler)});
    else
        add(QString());
    CommandLinePiece picture;
    const std::pair<Field, const char *> adjustments[] = {{Field::hueField, "-hue"},
                                                          {Field::saturationField, "-saturation"},
                                                          {Field::brightnessField, "-brightness"},
                                                          {Field::contrastField, "-contrast"}};
    for (const auto &[field, name] : adjustments) {
        if (isZeroValue(value(field)))
            continue;
        picture.text += QLatin1Char(' ') + QLatin1String(name) + QLatin1Char(' ') + value(field);
        picture.arguments << QLatin1String(name) << value(field);
    }
    pieces.append(picture);

    // 10, 11: filters and decoder.
    const QString vf = videoFilterChain(options);
    add(QStringLiteral(" -vf ") + vf, {QStringLiteral("-vf"), vf});
    const QString lavdopts = decoderOptions(options, env.processorCount);
    if (!lavdopts.isEmpty())
        add(QStringLiteral(" -lavdopts ") + lavdopts, {QStringLiteral("-lavdopts"), lavdopts});
    else
        add(QString());
    // The picture adjustments as software filters at the end of the chain.
    // They take the equalizer's commands before the video driver does, so
    // hue, saturation, brightness, contrast and gamma change the picture
    // whatever driver draws it: the X11 driver and gl_tiled ignore them, and
    // a driver that cannot open falls back to another that may. "-vf-add"
    // keeps the user's chain as it is.
    add(QStringLiteral(" -vf-add hue,eq2"), {QStringLiteral("-vf-add"), QStringLiteral("hue,eq2")});

    // 12-16: audio.
    add(QStringLiteral(" -volume ") + value(Field::volumeField),
        option(QStringLiteral("-volume"), value(Field::volumeField)));
    const QString kept = value(Field::audioStreamBackupField);
    add(kept, kept.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    if (const auto item = options.checkedItem(Menu::channelsMenu)) {
        const QString caption = options.caption(Menu::channelsMenu, *item);
        const QString count = caption.left(caption.indexOf(QStringLiteral("ch")));
        add(QStringLiteral(" -channels ") + count, option(QStringLiteral("-channels"), count));
    } else {
        add(QString());
    }
    if (const auto item = options.checkedItem(Menu::stereoModeMenu))
        add(QStringLiteral(" -stereo ") + QString::number(*item),
            {QStringLiteral("-stereo"), QString::number(*item)});
    else
        add(QString());
    const QString af = audioFilterChain(state, options);
    add(QStringLiteral(" -af ") + af, {QStringLiteral("-af"), af});

    // 17, 18: subtitles.
    if (vbVal(value(Field::useDefaultSubtitleSettingsField)) == 1.0) {
        const QString font = value(Field::subFontPathField);
        if (font.isEmpty()) {
            add(QStringLiteral(" -nofontconfig"), {QStringLiteral("-nofontconfig")});
        } else {
            const QString scale = value(Field::textSubScaleField);
            const QString position = value(Field::textSubPositionField);
            const QString outline = value(Field::textSubOutlineField);
            const QString blur = value(Field::textSubBlurField);
            add(QStringLiteral(" -nofontconfig -font ") + quote + font + quote +
                    QStringLiteral(" -subfont-text-scale ") + scale + QStringLiteral(" -subpos ") +
                    position + QStringLiteral(" -subfont-outline ") + outline +
                    QStringLiteral(" -subfont-blur ") + blur,
                QStringList{QStringLiteral("-nofontconfig"), QStringLiteral("-font"), font} +
                    option(QStringLiteral("-subfont-text-scale"), scale) +
                    option(QStringLiteral("-subpos"), position) +
                    option(QStringLiteral("-subfont-outline"), outline) +
                    option(QStringLiteral("-subfont-blur"), blur));
        }
    } else {
        const QString scale = value(Field::assFontScaleField);
        add(QStringLiteral(" -ass -ass-styles ") + quote + env.subtitleStylePath + quote +
                QStringLiteral(" -ass-font-scale ") + scale,
            QStringList{QStringLiteral("-ass"), QStringLiteral("-ass-styles"),
                        env.subtitleStylePath} +
                option(QStringLiteral("-ass-font-scale"), scale));
    }
    CommandLinePiece codePage{
        QStringLiteral(" -subcp ") + env.subtitleCodePage + QStringLiteral(" -unicode -subdelay ") +
            value(Field::subDelayField),
        QStringList{QStringLiteral("-subcp"), env.subtitleCodePage, QStringLiteral("-unicode")} +
            option(QStringLiteral("-subdelay"), value(Field::subDelayField))};
    if (env.noSubtitleAutoload) {
        codePage.text += QStringLiteral(" -noautosub");
        codePage.arguments << QStringLiteral("-noautosub");
    }
    pieces.append(codePage);

    // 19, 20: where to start, and an index for files that lack one.
    const QString saved = value(Field::savedSecondsField);
    if (!saved.isEmpty())
        add(QStringLiteral(" -ss ") + saved, {QStringLiteral("-ss"), saved});
    else
        add(QString());
    add(QStringLiteral(" -idx"), {QStringLiteral("-idx")});
    return pieces;
}

EngineLaunch buildEngineLaunch(const PlayerState &state, const OptionStore &options,
                               const LaunchEnvironment &environment)
{
    EngineLaunch launch;
    launch.program = environment.enginePath;
    for (const CommandLinePiece &piece : commandLinePieces(state, options, environment)) {
        launch.displayText += piece.text;
        launch.arguments += piece.arguments;
    }
    launch.niceValue = cmdmod::niceForPriorityClass(
        cmdmod::priorityClassForItem(options.checkedItem(Menu::cpuPriorityMenu)));
    return launch;
}

QString subtitleStyleText(const PlayerState &state)
{
    const Field values[] = {Field::subFontNameField,     Field::subFontSizeField,
                            Field::subBoldField,         Field::subItalicField,
                            Field::subMarginVField,      Field::subOutlineField,
                            Field::subShadowField,       Field::subTextColourField,
                            Field::subOutlineColourField, Field::subShadowColourField};
    // One value may not become two columns or a second line: the separators
    // are dropped from each value here, the fields keep what was typed.
    static const QRegularExpression separators(QStringLiteral("[\r\n,]"));
    QStringList parts;
    for (const Field f : values)
        parts << state.value(f).remove(separators);
    // Border style 1 (outline with shadow), alignment 2 (bottom centre).
    parts << QStringLiteral("1") << QStringLiteral("2");
    return state.value(Field::assScriptHeaderField) + parts.join(QLatin1Char(',')) +
           QStringLiteral("\r\n");
}
