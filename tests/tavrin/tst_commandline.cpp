// The engine command line and the subtitle style file, piece by piece.
#include "controls/optionstore.h"
#include "engine/commandline.h"
#include "engine/subtitlecodepage.h"
#include "state/playerstate.h"
#include "state/vbnumber.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Setup
{
    PlayerState state;
    OptionStore options;
    LaunchEnvironment env;

    Setup()
    {
        // What start-up leaves on a machine without a known adapter.
        options.choose(Menu::videoOutputMenu, 1);
        options.choose(Menu::cpuPriorityMenu, 3);
        state.setValue(Field::subFontPathField, QStringLiteral("/fonts/NanumGothicBold.ttf"));
        state.setValue(Field::mediaPathField, QStringLiteral("/media/a b.mkv"));
        env.enginePath = QStringLiteral("/usr/bin/mplayer");
        env.windowId = QStringLiteral("123");
        env.colourKey = QStringLiteral("65793");
        env.desktopWindowId = QStringLiteral("4242");
        env.subtitleStylePath = QStringLiteral("/home/u/.local/share/Tavrin/setting/subtitle.ass");
        env.processorCount = QStringLiteral("2");
    }
    QString text() const { return buildEngineLaunch(state, options, env).displayText; }
    QStringList arguments() const { return buildEngineLaunch(state, options, env).arguments; }
};
} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultSettingsPieceByPiece();
    void dvdSpecificationsAndFiles_data();
    void dvdSpecificationsAndFiles();
    void existingFilesAreFiles();
    void pictureValuesOnlyWhenNotZero();
    void desktopModeDrawsOnTheRootWithItem0sDriver();
    void threeDeblockingFilters();
    void styledSubtitlesUseTheStyleFile();
    void savedPositionAndKeptAudioTrack();

    void optionRows_data();
    void optionRows();

    void styleFileBytes();
    void typedSeparatorsStayInTheirColumn_data();
    void typedSeparatorsStayInTheirColumn();
    void numbersReadLikeTheProgramAlwaysDid();
    void subtitleCodePage();
};

void CommandLineTest::defaultSettingsPieceByPiece()
{
    Setup s;
    QStringList texts;
    for (const CommandLinePiece &piece : commandLinePieces(s.state, s.options, s.env))
        texts << piece.text;
    QCOMPARE(texts,
             QStringList({"/usr/bin/mplayer ", "\"/media/a b.mkv\"", " -wid 123",
                          " -colorkey 65793", " -slave -quiet -identify -nokeepaspect -zoom -vo x11,",
                          " -speed 1.0", "", " -sws 2", "", " -vf pp=forcequant",
                          " -lavdopts threads=2", " -vf-add hue,eq2", " -volume 50", "",
                          " -channels 2", " -stereo 0",
                          " -af scaletempo,equalizer=0:0:0:0:0:0:0:0:0:0",
                          " -nofontconfig -font \"/fonts/NanumGothicBold.ttf\" -subfont-text-scale "
                          "3 -subpos 97 -subfont-outline 2 -subfont-blur 1.5",
                          " -subcp cp949 -unicode -subdelay 0", "", " -idx"}));
    QCOMPARE(s.arguments(),
             QStringList({"/media/a b.mkv", "-wid", "123", "-colorkey", "65793", "-slave",
                          "-quiet", "-identify", "-nokeepaspect", "-zoom", "-vo", "x11,", "-speed", "1.0",
                          "-sws", "2", "-vf", "pp=forcequant", "-lavdopts", "threads=2",
                          "-vf-add", "hue,eq2", "-volume", "50", "-channels", "2", "-stereo", "0", "-af",
                          "scaletempo,equalizer=0:0:0:0:0:0:0:0:0:0", "-nofontconfig", "-font",
                          "/fonts/NanumGothicBold.ttf", "-subfont-text-scale", "3", "-subpos",
                          "97", "-subfont-outline", "2", "-subfont-blur", "1.5", "-subcp",
                          "cp949", "-unicode", "-subdelay", "0", "-idx"}));
    QCOMPARE(buildEngineLaunch(s.state, s.options, s.env).niceValue.value_or(99), 0);
    // Without a font file the plain renderer gets only "-nofontconfig".
    s.state.setValue(Field::subFontPathField, QString());
    QVERIFY(s.text().contains(QStringLiteral(" -af scaletempo,equalizer=0:0:0:0:0:0:0:0:0:0 "
                                             "-nofontconfig -subcp cp949")));
}

void CommandLineTest::dvdSpecificationsAndFiles_data()
{
    // The drive list holds /dev/sr0 and /dev/sr1. Only the form the program
    // builds for a listed drive is split; any other text is one argument.
    QTest::addColumn<QString>("medium");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("displayed");
    const auto row = [](const char *name, const QString &medium, const QStringList &arguments,
                        const QString &displayed) {
        QTest::newRow(name) << medium << arguments << displayed;
    };
    const QString dvdnav = QStringLiteral("dvdnav:// -dvd-device /dev/sr0");
    row("dvdnav on a listed drive", dvdnav, {"dvdnav://", "-dvd-device", "/dev/sr0"}, dvdnav);
    row("dvd on a listed drive", QStringLiteral("dvd:// -dvd-device /dev/sr1"),
        {"dvd://", "-dvd-device", "/dev/sr1"}, QStringLiteral("dvd:// -dvd-device /dev/sr1"));
    const QString smuggled = QStringLiteral("dvd /some/file.mkv -dumpstream -dumpfile /tmp/x");
    row("options after dvd", smuggled, {smuggled}, '"' + smuggled + '"');
    const QString appended = dvdnav + QStringLiteral(" -dumpstream -dumpfile /tmp/x");
    row("options after a drive", appended, {appended}, '"' + appended + '"');
    const QString unlisted = QStringLiteral("dvdnav:// -dvd-device /tmp/image.iso -dumpfile /x");
    row("a drive not in the list", unlisted, {unlisted}, '"' + unlisted + '"');
    const QString doubled = QStringLiteral("dvdnav://  -dvd-device /dev/sr0");
    row("two blanks", doubled, {doubled}, '"' + doubled + '"');
    row("dvdnav alone", QStringLiteral("dvdnav://"), {"dvdnav://"},
        QStringLiteral("\"dvdnav://\""));
    row("capitals", QStringLiteral("DVD:// upper"), {"DVD:// upper"},
        QStringLiteral("\"DVD:// upper\""));
}

void CommandLineTest::dvdSpecificationsAndFiles()
{
    QFETCH(QString, medium);
    QFETCH(QStringList, arguments);
    QFETCH(QString, displayed);
    Setup s;
    s.env.opticalDrives = {QStringLiteral("/dev/sr0"), QStringLiteral("/dev/sr1")};
    s.state.setValue(Field::mediaPathField, medium);
    QCOMPARE(s.arguments().mid(0, arguments.size() + 1), arguments + QStringList{"-wid"});
    QVERIFY2(s.text().startsWith(QStringLiteral("/usr/bin/mplayer ") + displayed +
                                 QStringLiteral(" -wid ")),
             qPrintable(s.text()));
}

void CommandLineTest::existingFilesAreFiles()
{
    // A file of that name is a file, and a path that reads as an option gets "./".
    Setup s;
    s.env.opticalDrives = {QStringLiteral("/dev/sr0")};
    s.env.mediaIsExistingFile = true;
    s.state.setValue(Field::mediaPathField, QStringLiteral("dvdnav:// -dvd-device /dev/sr0"));
    QCOMPARE(s.arguments().first(), QStringLiteral("dvdnav:// -dvd-device /dev/sr0"));
    s.state.setValue(Field::mediaPathField, QStringLiteral("dvd rip.mkv"));
    QCOMPARE(s.arguments().first(), QStringLiteral("dvd rip.mkv"));
    s.state.setValue(Field::mediaPathField, QStringLiteral("-vo null.mkv"));
    QCOMPARE(s.arguments().first(), QStringLiteral("./-vo null.mkv"));
    QCOMPARE(s.arguments().at(1), QStringLiteral("-wid"));
}

void CommandLineTest::pictureValuesOnlyWhenNotZero()
{
    Setup s;
    s.state.setValue(Field::hueField, QStringLiteral("0.0"));
    s.state.setValue(Field::saturationField, QStringLiteral("-3.5"));
    s.state.setValue(Field::brightnessField, QStringLiteral(""));
    s.state.setValue(Field::contrastField, QStringLiteral("12"));
    QVERIFY(s.text().contains(QStringLiteral(" -sws 2 -saturation -3.5 -contrast 12 -vf ")));
    QVERIFY(!s.text().contains(QStringLiteral("-hue")));
    QVERIFY(s.arguments().join(' ').contains(QStringLiteral("-saturation -3.5 -contrast 12 -vf")));
    s.state.setValue(Field::speedField, QStringLiteral("1.5x"));
    QVERIFY(s.text().contains(QStringLiteral(" -speed 1.5 ")));
}

void CommandLineTest::desktopModeDrawsOnTheRootWithItem0sDriver()
{
    Setup s;
    s.options.choose(Menu::videoOutputMenu, 3);
    s.options.setChecked(Menu::desktopModeMenu, true);
    QVERIFY(s.text().contains(QStringLiteral(" -wid 4242 -colorkey 65793 -slave -quiet "
                                             "-identify -nokeepaspect -zoom -vo xv, -speed")));
}

void CommandLineTest::threeDeblockingFilters()
{
    Setup s;
    for (int i : {0, 1, 2})
        s.options.setChecked(Menu::deblockingMenu, i, true);
    QVERIFY(s.text().contains(QStringLiteral(" -vf pp=forcequant,pp=hb/vb/ha -lavdopts ")));
}

void CommandLineTest::styledSubtitlesUseTheStyleFile()
{
    Setup s;
    s.state.setValue(Field::useDefaultSubtitleSettingsField, QStringLiteral("0"));
    s.state.setValue(Field::assFontScaleField, QStringLiteral("1.5"));
    QVERIFY(s.text().contains(QStringLiteral(
        " -ass -ass-styles \"/home/u/.local/share/Tavrin/setting/subtitle.ass\" "
        "-ass-font-scale 1.5 -subcp cp949")));
    QVERIFY(!s.arguments().contains(QStringLiteral("-font")));
}

void CommandLineTest::savedPositionAndKeptAudioTrack()
{
    Setup s;
    s.state.setValue(Field::savedSecondsField, QStringLiteral("42.7"));
    s.state.setValue(Field::audioStreamBackupField, QStringLiteral(" -aid 1"));
    QVERIFY(s.text().endsWith(QStringLiteral(" -subdelay 0 -ss 42.7 -idx")));
    QVERIFY(s.text().contains(QStringLiteral(" -volume 50 -aid 1 -channels 2")));
    const QStringList args = s.arguments();
    QCOMPARE(args.mid(args.indexOf(QStringLiteral("-aid")), 2), QStringList({"-aid", "1"}));
    QCOMPARE(args.mid(args.size() - 3), QStringList({"-ss", "42.7", "-idx"}));
}

void CommandLineTest::optionRows_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("expected");
    auto row = [](const QString &name, Menu m, int item, const QString &expected) {
        QTest::newRow(qPrintable(name)) << int(m) << item << expected;
    };
    const char *deinterlace[] = {" -vf pp=forcequant ",       " -vf pp=forcequant,pp=lb ",
                                 " -vf pp=forcequant,pp=li ", " -vf pp=forcequant,pp=ci ",
                                 " -vf pp=forcequant,pp=md ", " -vf pp=forcequant,pp=fd ",
                                 " -vf pp=forcequant,pp=l5 ", " -vf pp=forcequant,yadif ",
                                 " -vf pp=forcequant,kerndeint "};
    for (int i = 0; i < 9; ++i)
        row(QStringLiteral("deinterlace %1").arg(i), Menu::deinterlaceMenu, i,
            QString::fromLatin1(deinterlace[i]));
    for (int i = 0; i < 11; ++i)
        row(QStringLiteral("scaler %1").arg(i), Menu::scalerMenu, i,
            QStringLiteral(" -sws %1 ").arg(i));
    const char *rates[] = {"8000", "11025", "12000", "16000", "22050", "24000",
                           "32000", "44100", "48000", "96000", "128000", "192000"};
    row(QStringLiteral("sample rate unchanged"), Menu::sampleRateMenu, 0,
        QStringLiteral(" -af scaletempo,equalizer="));
    for (int i = 0; i < 12; ++i)
        row(QStringLiteral("sample rate %1").arg(rates[i]), Menu::sampleRateMenu, i + 1,
            QStringLiteral(" -af resample=%1:1:2,scaletempo,equalizer=").arg(rates[i]));
    for (int i = 0; i < 3; ++i) {
        row(QStringLiteral("channels %1").arg(i), Menu::channelsMenu, i,
            QStringLiteral(" -channels %1 ").arg(2 + 2 * i));
        row(QStringLiteral("stereo %1").arg(i), Menu::stereoModeMenu, i,
            QStringLiteral(" -stereo %1 ").arg(i));
    }
    row(QStringLiteral("threads auto"), Menu::decodingThreadsMenu, 0,
        QStringLiteral(" -lavdopts threads=2 "));
    for (int i = 1; i < 9; ++i)
        row(QStringLiteral("threads %1").arg(i), Menu::decodingThreadsMenu, i,
            QStringLiteral(" -lavdopts threads=%1 ").arg(i));
    // Single entries: item -1 means "toggle the entry".
    row(QStringLiteral("post-processing"), Menu::postProcessingMenu, -1,
        QStringLiteral(" -speed 1.0 -pp 6 -sws 2 "));
    row(QStringLiteral("blur"), Menu::blurMenu, -1,
        QStringLiteral(" -vf pp=forcequant,unsharp=l5x5:-1:c5x5:1 "));
    row(QStringLiteral("sharpen"), Menu::sharpenMenu, -1,
        QStringLiteral(" -vf pp=forcequant,unsharp=l5x5:1:c5x5:1 "));
    row(QStringLiteral("denoise"), Menu::denoiseMenu, -1,
        QStringLiteral(" -vf pp=forcequant,hqdn3d "));
    row(QStringLiteral("dering"), Menu::deringMenu, -1, QStringLiteral(" -vf pp=forcequant,pp=dr "));
    row(QStringLiteral("autolevels"), Menu::autoLevelsMenu, -1,
        QStringLiteral(" -vf pp=forcequant,pp=al "));
    row(QStringLiteral("pitch correction off"), Menu::pitchCorrectionMenu, -1,
        QStringLiteral(" -af equalizer=0:0:0:0:0:0:0:0:0:0 "));
    row(QStringLiteral("extra stereo"), Menu::extraStereoMenu, -1,
        QStringLiteral(" -af scaletempo,extrastereo,equalizer="));
    row(QStringLiteral("voice removal"), Menu::voiceRemovalMenu, -1,
        QStringLiteral(" -af scaletempo,karaoke,equalizer="));
    row(QStringLiteral("normalizer"), Menu::normalizerMenu, -1,
        QStringLiteral(" -af scaletempo,volnorm,equalizer="));
    row(QStringLiteral("motion vectors (the engine cannot draw them)"), Menu::motionVectorsMenu,
        -1, QStringLiteral(" -lavdopts threads=2 "));
}

void CommandLineTest::optionRows()
{
    QFETCH(int, menu);
    QFETCH(int, item);
    QFETCH(QString, expected);
    Setup s;
    const Menu m = static_cast<Menu>(menu);
    if (item < 0)
        s.options.setChecked(m, !s.options.isChecked(m));
    else
        s.options.choose(m, item);
    QVERIFY2(s.text().contains(expected), qPrintable(s.text()));
    // Every piece is whole in the argument list too.
    const QString joined = s.arguments().join(QLatin1Char(' '));
    QVERIFY2(joined.contains(expected.trimmed()), qPrintable(joined));
}

void CommandLineTest::styleFileBytes()
{
    PlayerState state;
    const QByteArray expected =
        "[Script Info]\r\nScriptType: v4.00+\r\n\r\n[V4+ Styles]\r\nFormat: Name, Fontname, "
        "Fontsize, Bold, Italic, MarginV, Outline, Shadow, PrimaryColour, OutlineColour, "
        "BackColour, BorderStyle, Alignment\r\nStyle: Default,Arial,18,0,0,10,0.5,0.5,65535,0,0,1,2\r\n";
    QCOMPARE(subtitleStyleText(state).toUtf8(), expected);
    state.setValue(Field::subBoldField, QStringLiteral("-1"));
    state.setValue(Field::subFontNameField, QStringLiteral("나눔고딕"));
    QVERIFY(subtitleStyleText(state).endsWith(
        QStringLiteral("Style: Default,나눔고딕,18,-1,0,10,0.5,0.5,65535,0,0,1,2\r\n")));
}

void CommandLineTest::typedSeparatorsStayInTheirColumn_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("styleLine");
    const auto row = [](const char *name, Field f, const char *typed, const char *line) {
        QTest::newRow(name) << int(f) << QString::fromUtf8(typed) << QString::fromUtf8(line);
    };
    row("comma in the font", Field::subFontNameField, "Noto Sans CJK KR, Bold",
        "Style: Default,Noto Sans CJK KR Bold,18,0,0,10,0.5,0.5,65535,0,0,1,2");
    row("decimal comma in the size", Field::subFontSizeField, "18,5",
        "Style: Default,Arial,185,0,0,10,0.5,0.5,65535,0,0,1,2");
    row("line break in the margin", Field::subMarginVField, "10\r\nStyle: Evil,x",
        "Style: Default,Arial,18,0,0,10Style: Evilx,0.5,0.5,65535,0,0,1,2");
    row("bare LF in the shadow", Field::subShadowField, "1\n2",
        "Style: Default,Arial,18,0,0,10,0.5,12,65535,0,0,1,2");
    row("bare CR in a colour", Field::subShadowColourField, "25\r5",
        "Style: Default,Arial,18,0,0,10,0.5,0.5,65535,0,255,1,2");
}

void CommandLineTest::typedSeparatorsStayInTheirColumn()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, styleLine);
    PlayerState state;
    state.setValue(Field(field), typed);
    const QStringList lines = subtitleStyleText(state).split(QStringLiteral("\r\n"));
    // The header's six lines, the one style line, and the empty rest after its CR LF.
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[5], styleLine);
    QCOMPARE(lines[6], QString());
    // The record keeps what was typed.
    QCOMPARE(state.value(Field(field)), typed);
}

void CommandLineTest::numbersReadLikeTheProgramAlwaysDid()
{
    const QList<QPair<const char *, double>> rows = {
        {"12", 12},     {" 12.5 ", 12.5}, {"-3", -3},   {"1 2", 12},  {"12abc", 12},
        {"abc", 0},     {"", 0},          {".5", 0.5},  {"1e3", 1000}, {"1e", 1},
        {"+7", 7},      {"-", 0},         {"5423.45", 5423.45}};
    for (const auto &[text, value] : rows)
        QCOMPARE(vbVal(QString::fromUtf8(text)), value);
}

void CommandLineTest::subtitleCodePage()
{
    QTemporaryDir dir;
    auto write = [&dir](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const QString media = dir.filePath(QStringLiteral("movie.mkv"));
    write(QStringLiteral("movie.mkv"), "not really a movie");
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("cp949")); // no subtitles
    write(QStringLiteral("movie.srt"), QStringLiteral("1\n안녕\n").toUtf8());
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("utf-8"));
    write(QStringLiteral("movie.en.srt"), "1\nplain ascii\n");
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("utf-8"));
    write(QStringLiteral("movie.ko.smi"), "\xbe\xc8\xb3\xe7"); // CP949 "안녕"
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("cp949"));
    write(QStringLiteral("other.srt"), "\xbe\xc8"); // another medium's file does not count
    QFile::remove(dir.filePath(QStringLiteral("movie.ko.smi")));
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("utf-8"));
    QFile::remove(dir.filePath(QStringLiteral("movie.srt")));
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("cp949")); // ASCII only
    write(QStringLiteral("movie.srt"), "\xEF\xBB\xBF" "1\nascii\n");
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("utf-8")); // a byte-order mark
    QCOMPARE(subtitleCodePageFor(QStringLiteral("http://example.com/movie.mkv")),
             QStringLiteral("cp949"));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
