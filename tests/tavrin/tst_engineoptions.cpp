// The real engine against the command lines Tavrin builds: it must accept
// every option the menus can produce, and show the subtitles beside the
// sample with the right text whether they are CP949 or UTF-8.
#include "controls/optionstore.h"
#include "engine/commandline.h"
#include "engine/subtitlecodepage.h"
#include "platform/engineprogram.h"
#include "state/playerstate.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

struct Run
{
    int exitCode = -1;
    QString output;
};

// Runs the engine on the built arguments, drawing and sounding nowhere and
// stopping after a moment: later options win, so these override the window's.
Run runEngine(const QStringList &arguments, const QString &folder = QString())
{
    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty())
        engine.setWorkingDirectory(folder);
    engine.start(locateEngine(QString()),
                 arguments + QStringList{"-vo", "null", "-ao", "null", "-endpos", "0.4",
                                         "-noconsolecontrols"});
    engine.closeWriteChannel();
    Run run;
    if (!engine.waitForFinished(20000)) {
        engine.kill();
        engine.waitForFinished();
    }
    run.exitCode = engine.exitCode();
    run.output = QString::fromLocal8Bit(engine.readAll());
    return run;
}

struct Setup
{
    PlayerState state;
    OptionStore options;
    LaunchEnvironment env;
    QTemporaryDir dir;

    Setup()
    {
        options.choose(Menu::videoOutputMenu, 1);
        options.choose(Menu::cpuPriorityMenu, 3);
        state.setValue(Field::subFontPathField, QStringLiteral(KOREAN_FONT));
        state.setValue(Field::mediaPathField, sample);
        env.enginePath = locateEngine(QString());
        env.windowId = QStringLiteral("0");
        env.colourKey = QStringLiteral("65793");
        env.subtitleStylePath = dir.filePath(QStringLiteral("subtitle.ass"));
        QFile style(env.subtitleStylePath);
        if (style.open(QIODevice::WriteOnly))
            style.write(subtitleStyleText(state).toUtf8());
        env.processorCount = QStringLiteral("2");
        env.mediaIsExistingFile = true;
    }
    QStringList arguments()
    {
        QStringList args = buildEngineLaunch(state, options, env).arguments;
        // No window to draw into here.
        const int wid = args.indexOf(QStringLiteral("-wid"));
        args.remove(wid, 2);
        return args;
    }
};
} // namespace

class EngineOptionsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyOptionIsAccepted_data();
    void everyOptionIsAccepted();
    void subtitlesBesideTheSampleShowTheirText_data();
    void subtitlesBesideTheSampleShowTheirText();
    void dvdTextWithOptionsDumpsNothing();
};

void EngineOptionsTest::initTestCase()
{
    QVERIFY2(QFile::exists(sample), "the sample media is made by the build");
}

void EngineOptionsTest::everyOptionIsAccepted_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<int>("item"); // -1 toggles a single entry; -2 the defaults
    QTest::newRow("defaults") << int(Menu::videoOutputMenu) << -2;
    const Menu arrays[] = {Menu::deinterlaceMenu, Menu::scalerMenu,     Menu::sampleRateMenu,
                           Menu::channelsMenu,    Menu::stereoModeMenu, Menu::decodingThreadsMenu,
                           Menu::deblockingMenu};
    OptionStore store;
    for (const Menu m : arrays) {
        for (int i : store.indices(m))
            QTest::newRow(qPrintable(OptionStore::nameOf(m) + QLatin1Char(' ') + QString::number(i)))
                << int(m) << i;
    }
    for (const Menu m : {Menu::postProcessingMenu, Menu::blurMenu, Menu::sharpenMenu,
                         Menu::denoiseMenu, Menu::deringMenu, Menu::autoLevelsMenu,
                         Menu::pitchCorrectionMenu, Menu::extraStereoMenu, Menu::voiceRemovalMenu,
                         Menu::normalizerMenu, Menu::motionVectorsMenu})
        QTest::newRow(qPrintable(OptionStore::nameOf(m))) << int(m) << -1;
    QTest::newRow("styled subtitles") << int(Menu::Count) << -3;
    QTest::newRow("picture values and a start position") << int(Menu::Count) << -4;
}

void EngineOptionsTest::everyOptionIsAccepted()
{
    QFETCH(int, menu);
    QFETCH(int, item);
    Setup s;
    const Menu m = static_cast<Menu>(menu);
    if (item == -1) {
        s.options.setChecked(m, !s.options.isChecked(m));
    } else if (item == -3) {
        s.state.setValue(Field::useDefaultSubtitleSettingsField, QStringLiteral("0"));
    } else if (item == -4) {
        for (Field f : {Field::hueField, Field::saturationField, Field::brightnessField,
                        Field::contrastField})
            s.state.setValue(f, QStringLiteral("10"));
        s.state.setValue(Field::savedSecondsField, QStringLiteral("2.5"));
        s.state.setValue(Field::audioStreamBackupField, QStringLiteral(" -aid 1"));
        s.state.setValue(Field::eqBand3Field, QStringLiteral("4.5"));
    } else if (item >= 0) {
        if (m == Menu::deblockingMenu)
            s.options.setChecked(m, item, true);
        else
            s.options.choose(m, item);
    }
    const Run run = runEngine(s.arguments());
    QVERIFY2(run.exitCode == 0, qPrintable(run.output.right(1500)));
    QVERIFY2(run.output.contains(QStringLiteral("Starting playback...")),
             qPrintable(run.output.right(1500)));
    QVERIFY2(!run.output.contains(QStringLiteral("Error parsing option")), qPrintable(run.output));
    QVERIFY2(!run.output.contains(QStringLiteral("Couldn't open video filter")),
             qPrintable(run.output));
    QVERIFY2(!run.output.contains(QStringLiteral("Couldn't open audio filter")),
             qPrintable(run.output));
}

void EngineOptionsTest::subtitlesBesideTheSampleShowTheirText_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("codePage");
    QTest::newRow("CP949") << "CP949" << "cp949";
    QTest::newRow("UTF-8") << "UTF-8" << "utf-8";
}

void EngineOptionsTest::subtitlesBesideTheSampleShowTheirText()
{
    QFETCH(QString, encoding);
    QFETCH(QString, codePage);
    const QString line = QStringLiteral("안녕하세요, 타브린 시험 자막입니다.");
    QTemporaryDir dir;
    const QString media = dir.filePath(QStringLiteral("영상.mkv"));
    QVERIFY(QFile::copy(sample, media));
    QFile srt(dir.filePath(QStringLiteral("영상.srt")));
    QVERIFY(srt.open(QIODevice::WriteOnly));
    const QString text = QStringLiteral("1\n00:00:00,100 --> 00:00:05,000\n") + line +
                         QStringLiteral("\n\n");
    srt.write(QStringEncoder(encoding.toLatin1().constData()).encode(text));
    srt.close();

    Setup s;
    s.state.setValue(Field::mediaPathField, media);
    s.env.subtitleCodePage = subtitleCodePageFor(media);
    QCOMPARE(s.env.subtitleCodePage, codePage);
    // The engine writes the subtitles it loaded, decoded, to dumpsub.srt.
    const Run run = runEngine(s.arguments() << QStringLiteral("-dumpsrtsub"), dir.path());
    QCOMPARE(run.exitCode, 0);
    QFile dump(dir.filePath(QStringLiteral("dumpsub.srt")));
    QVERIFY2(dump.open(QIODevice::ReadOnly), qPrintable(run.output.right(1000)));
    const QString dumped = QString::fromUtf8(dump.readAll());
    QVERIFY2(dumped.contains(line), qPrintable(dumped));
}

void EngineOptionsTest::dvdTextWithOptionsDumpsNothing()
{
    // A medium text that begins with "dvd" but is not the program's own form
    // for a listed drive must not become options: here they would have the
    // engine copy the sample into a file of the text's choosing.
    Setup s;
    s.env.mediaIsExistingFile = false;
    s.env.opticalDrives = {QStringLiteral("/dev/sr0")};
    const QString dump = s.dir.filePath(QStringLiteral("dumped"));
    s.state.setValue(Field::mediaPathField, QStringLiteral("dvd ") + sample +
                                                QStringLiteral(" -dumpstream -dumpfile ") + dump);
    const Run run = runEngine(s.arguments());
    QVERIFY2(!QFile::exists(dump), qPrintable(run.output.right(1500)));
    QVERIFY2(!run.output.contains(QStringLiteral("Starting playback...")),
             qPrintable(run.output.right(1500)));
}

QTEST_GUILESS_MAIN(EngineOptionsTest)
#include "tst_engineoptions.moc"
