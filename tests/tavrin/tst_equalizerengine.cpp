// The adjustment windows with the real MPlayer playing the sample: the
// equalizer changes the sound the engine writes (captured with "-ao pcm"),
// every picture bar changes the picture it draws with every driver start-up
// picks (read back from the screen), and neither resumes a paused engine.
#include "enginepause.h"
#include "adjust/audioeq.h"
#include "adjust/videoeq.h"
#include "controls/transport.h"
#include "engine/commands.h"
#include "fakesystem.h"
#include "picturecheck.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QFile>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

// Root mean square, on the 16-bit scale, of each second of a WAVE file's
// sound as the engine's pcm output writes it (float from the AAC decoder,
// else 16-bit).
QList<double> levelPerSecond(const QString &path)
{
    QFile file(path);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const char *bytes = data.constData();
    bool isFloat = false;
    qsizetype frame = 0, rate = 0, at = 12;
    QList<double> levels;
    while (at + 8 <= data.size()) {
        const qsizetype size = qFromLittleEndian<quint32>(bytes + at + 4);
        if (data.mid(at, 4) == "fmt ") {
            isFloat = qFromLittleEndian<quint16>(bytes + at + 8) == 3;
            frame = qFromLittleEndian<quint16>(bytes + at + 10) * (isFloat ? 4 : 2);
            rate = qFromLittleEndian<quint32>(bytes + at + 12);
        } else if (data.mid(at, 4) == "data" && frame > 0) {
            // Whatever the size in the header says: the sound runs to the end.
            const int step = isFloat ? 4 : 2;
            for (qsizetype second = at + 8; second + rate * frame <= data.size();
                 second += rate * frame) {
                double sum = 0;
                for (qsizetype p = second; p < second + rate * frame; p += step) {
                    const double v = isFloat ? qFromLittleEndian<float>(bytes + p) * 32768.0
                                             : qFromLittleEndian<qint16>(bytes + p);
                    sum += v * v;
                }
                levels << std::sqrt(sum / double(rate * frame / step));
            }
            break;
        }
        at += 8 + size;
    }
    return levels;
}

// Mean brightness (0 to 255) of what the screen shows of a widget.
double meanOnScreen(QWidget *widget)
{
    return measure(shotOf(widget)).mean;
}
// What a picture bar is seen to change, and which way.
enum class Seen
{
    brighter,
    darker,
    flatter, // less contrast
    greyer,  // less colour
    turned   // other colours, as bright and as colourful
};
} // namespace

Q_DECLARE_METATYPE(Seen)

class EqualizerEngineTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void loweredBandsLowerTheSound();
    void brightnessBrightensTheOpenGlPictureAndKeepsAPause();
    void everyBarChangesThePictureOfTheDriverStartUpPicks_data();
    void everyBarChangesThePictureOfTheDriverStartUpPicks();

private:
    // Plays the sample (opening it when no engine runs) until `seconds`.
    bool playUntil(double seconds);
    double position() const
    {
        return m_window->core().state().value(Field::currentSecondsField).toDouble();
    }

    FakeSystem m_system;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mainform> m_window;
};

void EqualizerEngineTest::init()
{
    QVERIFY2(QFile::exists(sample), "the sample media is made by the build");
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<mainform>(&m_system);
    m_window->resize(660, 460);
    m_window->move(20, 20);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void EqualizerEngineTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 10000));
    }
    m_window.reset();
    qunsetenv("TAVRIN_MPLAYER");
}

bool EqualizerEngineTest::playUntil(double seconds)
{
    if (!m_window->core().isEngineRunning())
        m_window->openCommandLineMedia(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    return QTest::qWaitFor([&] { return position() >= seconds; }, 20000);
}

void EqualizerEngineTest::loweredBandsLowerTheSound()
{
    // The engine as the program starts it, its sound going to a file.
    const QString wave = m_dir->filePath(QStringLiteral("sound.wav"));
    QFile engine(m_dir->filePath(QStringLiteral("mplayer")));
    QVERIFY(engine.open(QIODevice::WriteOnly));
    engine.write("#!/bin/sh\nexec /usr/bin/mplayer -ao pcm:file=" + wave.toLocal8Bit() +
                 " \"$@\"\n");
    engine.close();
    engine.setPermissions(engine.permissions() | QFile::ExeOwner);
    qputenv("TAVRIN_MPLAYER", engine.fileName().toLocal8Bit());
    m_window->core().options().choose(Menu::videoOutputMenu, 1);

    QVERIFY(playUntil(2.0));
    m_window->showAudioEqualizer();
    // Asked as the window opened: this engine has no af_eq_set_bands.
    QVERIFY(QTest::qWaitFor([&] { return m_window->core().engineCommands().isKnown(); }, 5000));
    QVERIFY(!m_window->core().engineCommands().lists(QStringLiteral("af_eq_set_bands")));
    const double loweredAt = position();
    for (int band = 0; band < AudioBands::count; ++band)
        m_window->audioEqualizer()->eqSlider(band)->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(m_window->core().state().value(Field::eqBand9Field), QStringLiteral("-12"));
    QVERIFY(playUntil(loweredAt + 3.0));
    m_window->sendCommand(EngineCommand::quit);
    QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 10000));

    // Second 0 runs flat, the last whole second with every band at -12 dB.
    const QList<double> levels = levelPerSecond(wave);
    QVERIFY2(levels.size() >= int(loweredAt) + 2, qPrintable(QString::number(levels.size())));
    qInfo("level flat %.0f, every band at -12 dB %.0f", levels.first(), levels.last());
    QVERIFY(levels.first() > 500);
    QVERIFY(levels.last() < levels.first() * 0.35);
}

void EqualizerEngineTest::brightnessBrightensTheOpenGlPictureAndKeepsAPause()
{
    qputenv("TAVRIN_MPLAYER", "/usr/bin/mplayer");
    m_window->core().options().choose(Menu::videoOutputMenu, 3); // OpenGL (gl)
    QVERIFY(playUntil(1.0));
    QWidget *video = m_window->videoWindow();
    const double before = meanOnScreen(video);
    m_window->showVideoEqualizer();
    m_window->videoEqualizer()->move(700, 20); // out of the picture's way
    m_window->videoEqualizer()
        ->slider(PictureValues::brightness)
        ->triggerAction(QAbstractSlider::SliderToMaximum);
    QVERIFY(playUntil(position() + 1.0));
    const double after = meanOnScreen(video);
    qInfo("picture mean %.1f, at brightness 100 %.1f", before, after);
    QVERIFY2(before > 20, "the engine draws the picture");
    QVERIFY(after > before + 60);

    // Paused, every window's line keeps the engine where it is.
    m_window->transport().pause();
    PlayerState &state = m_window->core().state();
    m_window->showAudioEqualizer();
    m_window->audioEqualizer()->eqSlider(4)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    m_window->videoEqualizer()
        ->slider(PictureValues::gamma)
        ->triggerAction(QAbstractSlider::SliderPageStepSub);
    auto enginePosition = [&] {
        state.setValue(Field::currentSecondsField, QString());
        m_window->sendCommand(EngineCommand::getTimePosKeepPause);
        return QTest::qWaitFor([&] { return !state.value(Field::currentSecondsField).isEmpty(); })
                   ? position()
                   : -1.0;
    };
    QVERIFY(waitForEnginePause(m_window->core()));
    const double first = enginePosition();
    QTest::qWait(800);
    QVERIFY(first > 0);
    QCOMPARE(enginePosition(), first);
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);
}

void EqualizerEngineTest::everyBarChangesThePictureOfTheDriverStartUpPicks_data()
{
    QTest::addColumn<int>("vendor"); // of the display adapter start-up finds; 0 for none
    QTest::addColumn<int>("driver"); // the videoOutputMenu item start-up picks for it
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("value");
    QTest::addColumn<Seen>("seen");
    using V = PictureValues;
    // No adapter (a virtual X server): the X11 driver, which ignores them all.
    QTest::newRow("x11 brightness up") << 0 << 1 << int(V::brightness) << 100 << Seen::brighter;
    QTest::newRow("x11 brightness down") << 0 << 1 << int(V::brightness) << -100 << Seen::darker;
    QTest::newRow("x11 contrast") << 0 << 1 << int(V::contrast) << -99 << Seen::flatter;
    QTest::newRow("x11 saturation") << 0 << 1 << int(V::saturation) << -100 << Seen::greyer;
    QTest::newRow("x11 hue") << 0 << 1 << int(V::hue) << 50 << Seen::turned;
    QTest::newRow("x11 gamma") << 0 << 1 << int(V::gamma) << 100 << Seen::brighter;
    // Intel and other makers: gl_tiled, which ignores them too.
    QTest::newRow("gl_tiled brightness")
        << 0x8086 << 5 << int(V::brightness) << 100 << Seen::brighter;
    QTest::newRow("gl_tiled saturation")
        << 0x8086 << 5 << int(V::saturation) << -100 << Seen::greyer;
    // NVIDIA and AMD: OpenGL YUV.
    QTest::newRow("gl yuv contrast") << 0x10de << 4 << int(V::contrast) << -99 << Seen::flatter;
}

void EqualizerEngineTest::everyBarChangesThePictureOfTheDriverStartUpPicks()
{
    QFETCH(int, vendor);
    QFETCH(int, driver);
    QFETCH(int, bar);
    QFETCH(int, value);
    QFETCH(Seen, seen);
    if (vendor != 0)
        m_system.adapters = {DisplayAdapter{quint16(vendor), QStringLiteral("test adapter")}};
    QVERIFY(m_window->start(QString()));
    QCOMPARE(m_window->core().options().checkedItem(Menu::videoOutputMenu), std::optional(driver));

    QVERIFY(playUntil(1.0));
    QWidget *video = m_window->videoWindow();
    const QImage first = shotOf(video);
    const PictureMeasures before = measure(first);
    QVERIFY2(before.colours > 20, "the engine draws the picture");
    m_window->showVideoEqualizer();
    m_window->videoEqualizer()->move(700, 20); // out of the picture's way
    m_window->videoEqualizer()->slider(PictureValues::Row(bar))->setValue(value);
    // Frames drawn after the command.
    QVERIFY(playUntil(position() + 0.6));
    const QImage last = shotOf(video);
    const PictureMeasures after = measure(last);
    // The colour bars stand still; only small parts of the pattern move.
    const double moved = colourDistance(first, last);
    qInfo("grey %.1f -> %.1f, spread %.1f -> %.1f, colour %.1f -> %.1f, colours moved %.1f",
          before.mean, after.mean, before.spread, after.spread, before.colourfulness,
          after.colourfulness, moved);
    switch (seen) {
    case Seen::brighter:
        QVERIFY(after.mean > before.mean + 30);
        break;
    case Seen::darker:
        QVERIFY(after.mean < before.mean - 30);
        break;
    case Seen::flatter:
        QVERIFY(after.spread < before.spread * 0.5);
        break;
    case Seen::greyer:
        QVERIFY(after.colourfulness < before.colourfulness * 0.3);
        break;
    case Seen::turned:
        QVERIFY(moved > 50);
        QVERIFY(qAbs(after.mean - before.mean) < 15);
        QVERIFY(after.colourfulness > before.colourfulness * 0.5);
        break;
    }
}

QTEST_MAIN(EqualizerEngineTest)
#include "tst_equalizerengine.moc"
