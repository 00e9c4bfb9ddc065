#include "identifyparser.h"

#include "controls/optionstore.h"
#include "identifykeys.h"
#include "playerstate.h"
#include "timeformat.h"

#include <QStringList>
#include <array>
#include <utility>

namespace {
const QString crlf = QStringLiteral("\r\n");

using CodeName = std::pair<const char *, const char *>;

constexpr std::array<CodeName, 5> videoCodes = {{
    {"DIV3", "DIVX3"},
    {"DIVX", "DIVX4"},
    {"DX50", "DIVX5"},
    {"AVC1", "H264"},
    {"X264", "H264"},
}};

// Numeric codes are the decimal WAVE format tags the engine prints.
constexpr std::array<CodeName, 11> audioCodes = {{
    {"1", "PCM"},
    {"85", "MP3"},
    {"8193", "DTS"},
    {"352", "WMA1"},
    {"353", "WMA2"},
    {"255", "AAC"},
    {"80", "MP2"},
    {"8192", "AC3"},
    {"VRBS", "OGG"},
    {"SAMR", "AMR"},
    {"SEVC", "EVRC"},
}};

template <size_t N> QString translate(const std::array<CodeName, N> &table, const QString &format)
{
    const QString code = format.toUpper();
    for (const auto &[from, to] : table) {
        if (code == QLatin1String(from))
            return QString::fromLatin1(to);
    }
    return code;
}

void setIfFound(PlayerState &state, Field field, const std::optional<QString> &value)
{
    if (value)
        state.setValue(field, *value);
}

bool isLineStart(const QString &text, qsizetype at)
{
    return at == 0 || text.at(at - 1) == QLatin1Char('\n');
}

// Removes every whole line that reads exactly `line`, so that the next pass of
// a scan finds the next stream. Only whole lines: taking "ID_AUDIO_ID=1" out
// of "ID_AUDIO_ID=12" would lose stream 12.
void removeWholeLines(QString &text, const QString &line)
{
    const QString withEnd = line + crlf;
    qsizetype at = 0;
    while ((at = text.indexOf(withEnd, at)) >= 0) {
        if (isLineStart(text, at))
            text.remove(at, withEnd.size());
        else
            at += 1;
    }
}

// The language of a stream: the line "ID_AID_<id>_LANG=kor" gives "kor" (up
// to a further "=", if any). Nothing without a complete language line.
std::optional<QString> languageOf(const QString &copy, const QString &prefix, const QString &id)
{
    const QString start = prefix + id + IdentifyKey::languageSuffix;
    qsizetype at = 0;
    while ((at = copy.indexOf(start, at)) >= 0) {
        if (isLineStart(copy, at)) {
            const qsizetype end = copy.indexOf(crlf, at);
            if (end < 0)
                return std::nullopt;
            const QString line = copy.mid(at, end - at);
            return line.section(QLatin1Char('='), 1, 1);
        }
        at += 1;
    }
    return std::nullopt;
}

// The stream scan shared by the audio and embedded-subtitle lists: one
// caption per "<idKey><id>" line, "<id> - <language>" when a language line
// exists, "<id>" otherwise, in the order the engine listed the streams.
QStringList scanStreams(const QString &output, const QString &idKey, const QString &langPrefix)
{
    QStringList captions;
    QString copy = output;
    for (;;) {
        const qsizetype at = copy.indexOf(idKey);
        if (at < 0)
            break;
        const qsizetype end = copy.indexOf(crlf, at);
        if (end < 0)
            break;
        const QString line = copy.mid(at, end - at);
        // This occurrence goes even when it does not start a line, so the
        // scan always moves on; repeats of the same line go with it.
        copy.remove(at, end + crlf.size() - at);
        removeWholeLines(copy, line);
        const QString id = line.mid(idKey.size());
        QString caption = id;
        if (const std::optional<QString> language = languageOf(copy, langPrefix, id))
            caption += QStringLiteral(" - ") + *language;
        captions << caption;
    }
    return captions;
}

// Fills a run-time list from item 0 on; existing items are reused.
void fillList(OptionStore &options, Menu menu, const QStringList &captions)
{
    for (int i = 0; i < captions.size(); ++i) {
        if (!options.loadItemAt(menu, i))
            continue;
        options.setCaption(menu, i, captions.at(i));
        options.setEnabled(menu, i, true);
        options.setVisible(menu, i, true);
    }
}

// The stream id a list caption stands for: "1 - eng" and "1" are stream 1.
QString streamIdOf(const QString &caption)
{
    const qsizetype dash = caption.indexOf(QStringLiteral(" - "));
    return dash < 0 ? caption : caption.left(dash);
}

QString cutToFileName(QString path)
{
    path = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
} // namespace

std::optional<QString> lastValueOf(const QString &output, const QString &key)
{
    const qsizetype at = output.lastIndexOf(key);
    if (at < 0)
        return std::nullopt;
    const qsizetype end = output.indexOf(crlf, at);
    if (end < 0)
        return std::nullopt;
    const QString line = output.mid(at, end - at);
    return line.mid(line.lastIndexOf(key) + key.size());
}

std::optional<QString> outputSampleRateOf(const QString &audioOutputValue)
{
    const qsizetype hz = audioOutputValue.indexOf(QStringLiteral("hz"), 0, Qt::CaseInsensitive);
    if (hz < 0)
        return std::nullopt;
    const QStringList words = audioOutputValue.left(hz).split(QLatin1Char(' '));
    if (words.size() < 2)
        return std::nullopt;
    return words.at(1);
}

void extractPlaybackInfo(PlayerState &state)
{
    const QString output = state.value(Field::engineOutputBox);
    for (const KeyToField &entry : playbackInfoKeys) {
        std::optional<QString> value = lastValueOf(output, entry.key);
        if (value && entry.key == IdentifyKey::audioOutput)
            value = outputSampleRateOf(*value);
        setIfFound(state, entry.field, value);
    }
}

void extractSourceSize(PlayerState &state)
{
    const QString output = state.value(Field::engineOutputBox);
    setIfFound(state, Field::sourceWidthField, lastValueOf(output, IdentifyKey::videoWidth));
    setIfFound(state, Field::sourceHeightField, lastValueOf(output, IdentifyKey::videoHeight));
}

bool extractColourSpaceAndOutputSize(PlayerState &state)
{
    const QString width = state.value(Field::sourceWidthField);
    const QString height = state.value(Field::sourceHeightField);
    if (width.isEmpty() || height.isEmpty())
        return false;
    const QString key = width + QLatin1Char('x') + height + IdentifyKey::outputSizeArrow;
    const std::optional<QString> rest = lastValueOf(state.value(Field::engineOutputBox), key);
    if (rest) {
        const QString size = rest->section(QLatin1Char(' '), 0, 0);
        QString colourSpace = *rest;
        if (!size.isEmpty())
            colourSpace.remove(size + QLatin1Char(' '));
        state.setValue(Field::colourSpaceField, colourSpace);
        const qsizetype x = size.indexOf(QLatin1Char('x'));
        state.setValue(Field::outputWidthField, x < 0 ? size : size.left(x));
        state.setValue(Field::outputHeightField, x < 0 ? QString() : size.mid(x + 1));
    }
    return !state.value(Field::outputWidthField).isEmpty() &&
           !state.value(Field::outputHeightField).isEmpty();
}

void parseAudioStreams(PlayerState &state, OptionStore &options)
{
    const QStringList captions =
        scanStreams(state.value(Field::engineOutputBox), IdentifyKey::audioId,
                    IdentifyKey::audioLanguagePrefix);
    fillList(options, Menu::audioTrackMenu, captions);
    if (options.caption(Menu::audioTrackMenu, 0) == emptyListCaption)
        return;

    // After a restart the track that was playing is ticked again: the kept
    // option is " -aid <id>".
    int chosen = 0;
    const QString backup = state.value(Field::audioStreamBackupField);
    if (!backup.isEmpty()) {
        const QString id = backup.split(QLatin1Char(' ')).value(2);
        for (const int index : options.indices(Menu::audioTrackMenu)) {
            if (streamIdOf(options.caption(Menu::audioTrackMenu, index)) == id) {
                chosen = index;
                break;
            }
        }
        state.setValue(Field::audioStreamBackupField, QString());
    }
    options.choose(Menu::audioTrackMenu, chosen);
}

void parseFileSubtitles(PlayerState &state, OptionStore &options)
{
    const QString output = state.value(Field::engineOutputBox);
    const std::optional<QString> id = lastValueOf(output, IdentifyKey::fileSubId);
    const QString name =
        cutToFileName(lastValueOf(output, IdentifyKey::fileSubFilename).value_or(QString()));
    bool isNumber = false;
    const int index = id ? id->toInt(&isNumber) : -1;
    if (isNumber && options.loadItemAt(Menu::subtitleFileMenu, index)) {
        options.setCaption(Menu::subtitleFileMenu, index, name);
        options.setEnabled(Menu::subtitleFileMenu, index, true);
        options.setVisible(Menu::subtitleFileMenu, index, true);
        if (*id == QLatin1String("0")) {
            options.setChecked(Menu::subtitleFileMenu, index, true);
            options.setChecked(Menu::subtitleNoneMenu, false);
        }
    }
    parseEmbeddedSubtitles(state, options);
}

void parseEmbeddedSubtitles(PlayerState &state, OptionStore &options)
{
    QStringList captions = scanStreams(state.value(Field::engineOutputBox), IdentifyKey::subtitleId,
                                       IdentifyKey::subtitleLanguagePrefix);
    for (QString &caption : captions)
        caption.prepend(embeddedSubtitlePrefix);
    fillList(options, Menu::embeddedSubtitleMenu, captions);
    if (options.caption(Menu::subtitleFileMenu, 0) == emptyListCaption &&
        options.caption(Menu::embeddedSubtitleMenu, 0) != emptyListCaption) {
        options.setChecked(Menu::embeddedSubtitleMenu, 0, true);
        options.setChecked(Menu::subtitleNoneMenu, false);
    }
}

QString videoCodeForSummary(const QString &format)
{
    return translate(videoCodes, format);
}

QString audioCodeForSummary(const QString &format)
{
    return translate(audioCodes, format);
}

QString formatSummary(const PlayerState &state)
{
    const QString video = videoCodeForSummary(state.value(Field::videoFormatField));
    const QString audio = audioCodeForSummary(state.value(Field::audioFormatField));
    const QString audioPart = audio + QStringLiteral(", ") +
                              state.value(Field::outputSampleRateField) + QStringLiteral("HZ, ") +
                              state.value(Field::audioChannelsField) + QStringLiteral("CH");
    if (video.isEmpty())
        return audioPart;
    if (audio.isEmpty())
        return video;
    return video + QStringLiteral(" | ") + audioPart;
}

bool runDetailParse(PlayerState &state, OptionStore &options)
{
    if (!state.value(Field::engineOutputBox).contains(IdentifyKey::startingPlayback))
        return false;
    parseAudioStreams(state, options);
    parseFileSubtitles(state, options);
    parseDuration(state);
    extractSourceSize(state);
    extractPlaybackInfo(state);
    state.setValue(Field::infoLabel, formatSummary(state));
    return true;
}
