#include "engineoutputfeed.h"

#include "controls/optionstore.h"
#include "engine/outputrouting.h"
#include "state/aspect.h"
#include "state/identifyparser.h"
#include "state/playerstate.h"
#include "state/timeformat.h"
#include "state/vbnumber.h"

#include <QRegularExpression>

namespace {
// Two or more digits of hours: lengths of 100 hours and more keep them all.
const QRegularExpression timeText(QStringLiteral("^\\d{2,}:[0-5]\\d:[0-5]\\d\\.\\d$"));

struct Run
{
    PlayerState state;
    OptionStore options;
    QString problem;
    qsizetype unparsed = 0;
    static constexpr qsizetype parseEvery = 256;

    Run()
    {
        options.resetList(Menu::audioTrackMenu, true);
        options.resetList(Menu::subtitleFileMenu, false);
        options.resetList(Menu::embeddedSubtitleMenu, false);
        options.setChecked(Menu::subtitleNoneMenu, true);
    }

    void fail(const QString &what)
    {
        if (problem.isEmpty())
            problem = what;
    }

    void checkTime(const QString &seconds, const char *field)
    {
        const std::optional<QString> text = formatTime(seconds);
        if (text && !timeText.match(*text).hasMatch())
            fail(QStringLiteral("%1 \"%2\" formats as \"%3\"").arg(field, seconds, *text));
    }

    // What the engine channel does with one chunk.
    void route(const QString &chunk)
    {
        const RoutedChunk routed = routeChunk(chunk);
        if (routed.position) {
            state.setValue(Field::currentSecondsField, *routed.position);
            if (routed.position->contains(QLatin1String("\r\n")))
                fail(QStringLiteral("a position answer runs past its line"));
            const QString &current = *routed.position;
            checkTime(current, "position");
            frameNumberText(vbVal(current), state.value(Field::frameRateField));
            wholeInt64(vbVal(current));
        }
        if (!routed.output.isEmpty()) {
            state.appendOutput(routed.output);
            unparsed += routed.output.size();
        }
    }

    // What the playback tracker and the window do once output has arrived.
    // Its timers parse now and then, not after every read: once some lines
    // have arrived, and at the end.
    void parseNowAndThen()
    {
        if (unparsed >= parseEvery)
            parse();
    }

    void parse()
    {
        unparsed = 0;
        runDetailParse(state, options);
        extractColourSpaceAndOutputSize(state);
        checkTime(state.value(Field::totalSecondsField), "length");
        wholeInt64(vbVal(state.value(Field::totalSecondsField)));
        for (int item = 0; item <= keepNoRatioItem; ++item) {
            const QSize frame(640, 360);
            const AspectResult result = applyAspect({state.value(Field::sourceWidthField),
                                                     state.value(Field::sourceHeightField),
                                                     QString(), QString(), item, frame});
            if (result.size.width() < 0 || result.size.height() < 0 ||
                result.size.width() > frame.width() || result.size.height() > frame.height())
                fail(QStringLiteral("picture %1x%2 outside its frame")
                         .arg(result.size.width())
                         .arg(result.size.height()));
        }
    }
};
} // namespace

QString feedEngineOutput(const QByteArray &data)
{
    if (data.isEmpty())
        return QString();
    // 1 to 4081 bytes a read; the channel reads at most 4096.
    const qsizetype readSize = 1 + static_cast<unsigned char>(data.at(0)) * 16;
    Run run;
    EngineOutputAssembler assembler;
    for (qsizetype at = 1; at < data.size(); at += readSize) {
        run.route(assembler.feed(data.mid(at, readSize)));
        run.parseNowAndThen();
    }
    run.route(assembler.flush());
    run.parse();
    return run.problem;
}
