// The identify parser on output recorded from the real MPlayer (the sample
// with two audio tracks, an embedded and an external subtitle; the audio-only
// file) and on the edge cases of what the engine may print.
#include "controls/optionstore.h"
#include "state/identifyparser.h"
#include "state/playerstate.h"

#include <QFile>
#include <QTest>

namespace {
// Recorded output as engineOutputBox holds it: lines ended by CR LF.
QString recorded(const QString &name)
{
    QFile f(QStringLiteral(TAVRIN_TEST_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll()).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

struct Parsed
{
    PlayerState state;
    OptionStore options;
    bool ran = false;

    explicit Parsed(const QString &output)
    {
        options.resetList(Menu::audioTrackMenu, true);
        options.resetList(Menu::subtitleFileMenu, false);
        options.resetList(Menu::embeddedSubtitleMenu, false);
        options.setChecked(Menu::subtitleNoneMenu, true);
        state.setValue(Field::engineOutputBox, output);
        ran = runDetailParse(state, options);
    }
    QString operator[](Field f) const { return state.value(f); }
};
} // namespace

class IdentifyParserTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sampleMediaInformation();
    void sampleStreamMenus();
    void sampleWithoutASoundDevice();
    void audioOnlyFile();
    void nothingBeforePlaybackStarts();
    void lastValueOfNeedsACompleteLine();
    void streamWithoutLanguageAndManyStreams();
    void restartTicksTheKeptTrack();
    void summaryForms_data();
    void summaryForms();
    void outputSizeAndColourSpace();
    void parsingTwiceReusesTheItems();
    void numbersThatDoNotConvertAreSkipped_data();
    void numbersThatDoNotConvertAreSkipped();
};

void IdentifyParserTest::sampleMediaInformation()
{
    Parsed p(recorded(QStringLiteral("mplayer-sample-x11.out")));
    QVERIFY(p.ran);
    QCOMPARE(p[Field::videoDecoderField],
             QStringLiteral("[ffmpeg] FFmpeg's libavcodec codec family"));
    QCOMPARE(p[Field::videoCodecField], QStringLiteral("[ffh264] vfm: ffmpeg (FFmpeg H.264)"));
    QCOMPARE(p[Field::videoFormatField], QStringLiteral("H264"));
    QCOMPARE(p[Field::videoBitrateField], QStringLiteral("0"));
    QCOMPARE(p[Field::frameRateField], QStringLiteral("25.000"));
    QCOMPARE(p[Field::sourceWidthField], QStringLiteral("640"));
    QCOMPARE(p[Field::sourceHeightField], QStringLiteral("360"));
    QCOMPARE(p[Field::audioDecoderField],
             QStringLiteral("[ffmpeg] FFmpeg/libavcodec audio decoders"));
    QCOMPARE(p[Field::audioCodecField],
             QStringLiteral("[ffaac] afm: ffmpeg (FFmpeg AAC (MPEG-2/MPEG-4 Audio))"));
    QCOMPARE(p[Field::audioFormatField], QStringLiteral("MP4A"));
    QCOMPARE(p[Field::audioBitrateField], QStringLiteral("0"));
    QCOMPARE(p[Field::sourceSampleRateField], QStringLiteral("48000"));
    // "AO: [null] 48000Hz 2ch floatle (4 bytes per sample)"
    QCOMPARE(p[Field::outputSampleRateField], QStringLiteral("48000"));
    QCOMPARE(p[Field::audioChannelsField], QStringLiteral("2"));
    QCOMPARE(p[Field::totalSecondsField], QStringLiteral("10.02"));
    QCOMPARE(p[Field::totalTimeLabel], QStringLiteral("00:00:10.0"));
    QCOMPARE(p[Field::infoLabel], QStringLiteral("H264 | MP4A, 48000HZ, 2CH"));
    // The video-output line is read by its own timer.
    QCOMPARE(p[Field::outputWidthField], QString());
    QVERIFY(extractColourSpaceAndOutputSize(p.state));
    QCOMPARE(p[Field::outputWidthField], QStringLiteral("640"));
    QCOMPARE(p[Field::outputHeightField], QStringLiteral("360"));
    QCOMPARE(p[Field::colourSpaceField], QStringLiteral("Planar YV12 "));
}

void IdentifyParserTest::sampleStreamMenus()
{
    Parsed p(recorded(QStringLiteral("mplayer-sample-x11.out")));
    const OptionStore &o = p.options;
    QCOMPARE(o.itemCount(Menu::audioTrackMenu), 2);
    QCOMPARE(o.caption(Menu::audioTrackMenu, 0), QStringLiteral("0 - kor"));
    QCOMPARE(o.caption(Menu::audioTrackMenu, 1), QStringLiteral("1 - eng"));
    QVERIFY(o.entry(Menu::audioTrackMenu, 1).enabled);
    QCOMPARE(o.checkedItem(Menu::audioTrackMenu), std::optional<int>(0));

    // The external subtitle under its id 0, with its bare file name, ticked.
    QCOMPARE(o.itemCount(Menu::subtitleFileMenu), 1);
    QCOMPARE(o.caption(Menu::subtitleFileMenu, 0), QStringLiteral("sample.srt"));
    QVERIFY(o.entry(Menu::subtitleFileMenu, 0).visible);
    QVERIFY(o.isChecked(Menu::subtitleFileMenu, 0));
    QVERIFY(!o.isChecked(Menu::subtitleNoneMenu));

    QCOMPARE(o.itemCount(Menu::embeddedSubtitleMenu), 1);
    QCOMPARE(o.caption(Menu::embeddedSubtitleMenu, 0), QStringLiteral("내장 자막: 0 - kor"));
    QVERIFY(o.entry(Menu::embeddedSubtitleMenu, 0).visible);
    // With an external subtitle ticked the embedded one is not.
    QVERIFY(!o.isChecked(Menu::embeddedSubtitleMenu, 0));
}

void IdentifyParserTest::sampleWithoutASoundDevice()
{
    // No sound device: the last "AO: " line is a failure and names no rate.
    Parsed p(recorded(QStringLiteral("mplayer-sample-nosound.out")));
    QVERIFY(p.ran);
    QCOMPARE(p[Field::outputSampleRateField], QString());
    QCOMPARE(p[Field::infoLabel], QStringLiteral("H264 | MP4A, HZ, 2CH"));
    QCOMPARE(p[Field::audioCodecField],
             QStringLiteral("[ffaac] afm: ffmpeg (FFmpeg AAC (MPEG-2/MPEG-4 Audio))"));
}

void IdentifyParserTest::audioOnlyFile()
{
    Parsed p(recorded(QStringLiteral("mplayer-audio-only.out")));
    QVERIFY(p.ran);
    for (const Field f : {Field::videoDecoderField, Field::videoCodecField, Field::videoFormatField,
                          Field::frameRateField, Field::sourceWidthField, Field::sourceHeightField})
        QCOMPARE(p[f], QString());
    QCOMPARE(p[Field::audioFormatField], QStringLiteral("85"));
    QCOMPARE(p[Field::audioDecoderField],
             QStringLiteral("[mpg123] MPEG 1.0/2.0/2.5 layers I, II, III"));
    // The last of the repeated lines wins: the channel count is 2, not 0.
    QCOMPARE(p[Field::audioChannelsField], QStringLiteral("2"));
    QCOMPARE(p[Field::audioBitrateField], QStringLiteral("128000"));
    QCOMPARE(p[Field::outputSampleRateField], QStringLiteral("44100"));
    QCOMPARE(p[Field::totalTimeLabel], QStringLiteral("00:00:10.0"));
    QCOMPARE(p[Field::infoLabel], QStringLiteral("MP3, 44100HZ, 2CH"));
    // A stream without a language line is listed by its id alone.
    QCOMPARE(p.options.caption(Menu::audioTrackMenu, 0), QStringLiteral("0"));
    QCOMPARE(p.options.itemCount(Menu::audioTrackMenu), 1);
    QCOMPARE(p.options.caption(Menu::subtitleFileMenu, 0), emptyListCaption);
    QCOMPARE(p.options.caption(Menu::embeddedSubtitleMenu, 0), emptyListCaption);
    QVERIFY(p.options.isChecked(Menu::subtitleNoneMenu));
    // No video size: the output size can never be known.
    QVERIFY(!extractColourSpaceAndOutputSize(p.state));
}

void IdentifyParserTest::nothingBeforePlaybackStarts()
{
    QString output = recorded(QStringLiteral("mplayer-sample-x11.out"));
    output.truncate(output.indexOf(QStringLiteral("Starting playback...")));
    Parsed p(output);
    QVERIFY(!p.ran);
    QCOMPARE(p[Field::videoFormatField], QString());
    QCOMPARE(p[Field::totalSecondsField], QString());
    QCOMPARE(p[Field::infoLabel], QString());
    QCOMPARE(p.options.caption(Menu::audioTrackMenu, 0), emptyListCaption);
}

void IdentifyParserTest::lastValueOfNeedsACompleteLine()
{
    const QString out =
        QStringLiteral("ID_VIDEO_FPS=25.000\r\nID_VIDEO_FPS=29.970\r\nID_VIDEO_FPS=30");
    // The last occurrence has no line end yet: nothing, not the earlier value.
    QCOMPARE(lastValueOf(out, QStringLiteral("ID_VIDEO_FPS=")), std::nullopt);
    QCOMPARE(lastValueOf(out + QStringLiteral("\r\n"), QStringLiteral("ID_VIDEO_FPS=")),
             std::optional<QString>(QStringLiteral("30")));
    QCOMPARE(lastValueOf(out, QStringLiteral("ID_LENGTH=")), std::nullopt);
    // Untrimmed.
    QCOMPARE(lastValueOf(QStringLiteral("AO: x \r\n"), QStringLiteral("AO: ")),
             std::optional<QString>(QStringLiteral("x ")));
    QCOMPARE(outputSampleRateOf(QStringLiteral("[alsa] 44100Hz 2ch s16le (2 bytes per sample)")),
             std::optional<QString>(QStringLiteral("44100")));
    QCOMPARE(outputSampleRateOf(QStringLiteral("[pulse] Init failed: Connection refused")),
             std::nullopt);
}

void IdentifyParserTest::streamWithoutLanguageAndManyStreams()
{
    // Streams 1 and 12: taking stream 1's line out must not eat stream 12's.
    // Stream 3 has no language; stream 12's language line has a further "=".
    const QString out =
        QStringLiteral("ID_AUDIO_ID=1\r\nID_AID_1_LANG=jpn\r\nID_AUDIO_ID=3\r\nID_AUDIO_ID=12\r\n"
                       "ID_AID_12_LANG=eng=x\r\nID_AUDIO_ID=1\r\n"
                       "ID_SUBTITLE_ID=2\r\nID_SUBTITLE_ID=4\r\nID_SID_4_LANG=kor\r\n"
                       "Starting playback...\r\n");
    Parsed p(out);
    QCOMPARE(p.options.itemCount(Menu::audioTrackMenu), 3);
    QCOMPARE(p.options.caption(Menu::audioTrackMenu, 0), QStringLiteral("1 - jpn"));
    QCOMPARE(p.options.caption(Menu::audioTrackMenu, 1), QStringLiteral("3"));
    QCOMPARE(p.options.caption(Menu::audioTrackMenu, 2), QStringLiteral("12 - eng"));
    QCOMPARE(p.options.caption(Menu::embeddedSubtitleMenu, 0), QStringLiteral("내장 자막: 2"));
    QCOMPARE(p.options.caption(Menu::embeddedSubtitleMenu, 1),
             QStringLiteral("내장 자막: 4 - kor"));
    // No external subtitle: the first embedded one is ticked instead of none.
    QVERIFY(p.options.isChecked(Menu::embeddedSubtitleMenu, 0));
    QVERIFY(!p.options.isChecked(Menu::subtitleNoneMenu));
    // Not the whole-output key: a file subtitle listed under id 2.
    Parsed q(QStringLiteral("ID_FILE_SUB_ID=2\r\nID_FILE_SUB_FILENAME=C:\\subs\\a.smi\r\n"
                            "Starting playback...\r\n"));
    QCOMPARE(q.options.caption(Menu::subtitleFileMenu, 2), QStringLiteral("a.smi"));
    QCOMPARE(q.options.caption(Menu::subtitleFileMenu, 0), emptyListCaption);
    QVERIFY(!q.options.isChecked(Menu::subtitleFileMenu, 2));
    QVERIFY(q.options.isChecked(Menu::subtitleNoneMenu));
}

void IdentifyParserTest::restartTicksTheKeptTrack()
{
    PlayerState state;
    OptionStore options;
    options.resetList(Menu::audioTrackMenu, true);
    state.setValue(Field::audioStreamBackupField, QStringLiteral(" -aid 1"));
    state.setValue(Field::engineOutputBox, recorded(QStringLiteral("mplayer-sample-x11.out")));
    parseAudioStreams(state, options);
    QCOMPARE(options.checkedItem(Menu::audioTrackMenu), std::optional<int>(1));
    QCOMPARE(state.value(Field::audioStreamBackupField), QString());

    // A kept track the new run does not have: the first one plays.
    options.resetList(Menu::audioTrackMenu, true);
    state.setValue(Field::audioStreamBackupField, QStringLiteral(" -aid 7"));
    parseAudioStreams(state, options);
    QCOMPARE(options.checkedItem(Menu::audioTrackMenu), std::optional<int>(0));
}

void IdentifyParserTest::summaryForms_data()
{
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("audio");
    QTest::addColumn<QString>("expected");
    QTest::newRow("avc1 shown as H264") << "avc1"
                                        << "85"
                                        << "H264 | MP3, 44100HZ, 2CH";
    QTest::newRow("video only") << "DX50"
                                << ""
                                << "DIVX5";
    QTest::newRow("audio only") << ""
                                << "8192"
                                << "AC3, 44100HZ, 2CH";
    QTest::newRow("unknown codes upper-cased") << "hevc"
                                               << "mp4a"
                                               << "HEVC | MP4A, 44100HZ, 2CH";
    QTest::newRow("vorbis") << "x264"
                            << "vrbs"
                            << "H264 | OGG, 44100HZ, 2CH";
}

void IdentifyParserTest::summaryForms()
{
    QFETCH(QString, video);
    QFETCH(QString, audio);
    QFETCH(QString, expected);
    PlayerState state;
    state.setValue(Field::videoFormatField, video);
    state.setValue(Field::audioFormatField, audio);
    state.setValue(Field::outputSampleRateField, QStringLiteral("44100"));
    state.setValue(Field::audioChannelsField, QStringLiteral("2"));
    QCOMPARE(formatSummary(state), expected);
    // The fields keep the engine's text.
    QCOMPARE(state.value(Field::videoFormatField), video);
}

void IdentifyParserTest::outputSizeAndColourSpace()
{
    PlayerState state;
    state.setValue(Field::engineOutputBox,
                   QStringLiteral("VO: [x11] 720x480 => 854x480 BGRA \r\n"));
    // Unknown source size: nothing to look for.
    QVERIFY(!extractColourSpaceAndOutputSize(state));
    state.setValue(Field::sourceWidthField, QStringLiteral("720"));
    state.setValue(Field::sourceHeightField, QStringLiteral("480"));
    QVERIFY(extractColourSpaceAndOutputSize(state));
    QCOMPARE(state.value(Field::outputWidthField), QStringLiteral("854"));
    QCOMPARE(state.value(Field::outputHeightField), QStringLiteral("480"));
    QCOMPARE(state.value(Field::colourSpaceField), QStringLiteral("BGRA "));
}

void IdentifyParserTest::parsingTwiceReusesTheItems()
{
    Parsed p(recorded(QStringLiteral("mplayer-sample-x11.out")));
    p.options.choose(Menu::audioTrackMenu, 1);
    QVERIFY(runDetailParse(p.state, p.options));
    QCOMPARE(p.options.itemCount(Menu::audioTrackMenu), 2);
    QCOMPARE(p.options.itemCount(Menu::embeddedSubtitleMenu), 1);
    QCOMPARE(p.options.caption(Menu::audioTrackMenu, 1), QStringLiteral("1 - eng"));
}

void IdentifyParserTest::numbersThatDoNotConvertAreSkipped_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("lengthLabel");
    QTest::addColumn<QString>("subtitleCaption");
    const QString kept = QStringLiteral("00:00:10.0");
    QTest::newRow("length past any integer") << "ID_LENGTH=1e300" << kept << emptyListCaption;
    QTest::newRow("length of 1e96") << "ID_LENGTH=1e96" << kept << emptyListCaption;
    QTest::newRow("infinite length") << "ID_LENGTH=inf" << kept << emptyListCaption;
    QTest::newRow("length not a number") << "ID_LENGTH=nan" << kept << emptyListCaption;
    QTest::newRow("length below the start") << "ID_LENGTH=-1e300"
                                            << "00:00:00.0" << emptyListCaption;
    QTest::newRow("subtitle id past any int")
        << "ID_FILE_SUB_ID=9999999999999999999\r\nID_FILE_SUB_FILENAME=/m/a.srt" << kept
        << emptyListCaption;
    QTest::newRow("subtitle id in range")
        << "ID_FILE_SUB_ID=0\r\nID_FILE_SUB_FILENAME=/m/a.srt" << kept << "a.srt";
}

void IdentifyParserTest::numbersThatDoNotConvertAreSkipped()
{
    QFETCH(QString, lines);
    QFETCH(QString, lengthLabel);
    QFETCH(QString, subtitleCaption);
    PlayerState state;
    OptionStore options;
    options.resetList(Menu::audioTrackMenu, true);
    options.resetList(Menu::subtitleFileMenu, false);
    options.resetList(Menu::embeddedSubtitleMenu, false);
    state.setValue(Field::totalTimeLabel, QStringLiteral("00:00:10.0"));
    state.setValue(Field::engineOutputBox,
                   QStringLiteral(" Starting playback...\r\n") + lines + QStringLiteral("\r\n"));
    QVERIFY(runDetailParse(state, options));
    QCOMPARE(state.value(Field::totalTimeLabel), lengthLabel);
    QCOMPARE(options.caption(Menu::subtitleFileMenu, 0), subtitleCaption);
}

QTEST_GUILESS_MAIN(IdentifyParserTest)
#include "tst_identifyparser.moc"
