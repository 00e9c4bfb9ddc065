// The adjustment windows with the real MPlayer playing the sample: the
// equalizer's lines change the sound the engine writes (captured with
// "-ao pcm"), and the picture values change the picture it draws with the
// OpenGL driver (read back from the screen).
#include "adjust/audioeq.h"
#include "adjust/videoeq.h"
#include "controls/transport.h"
#include "engine/commands.h"
#include "fakesystem.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

struct Pcm {
    int rate = 0;
    int channels = 0;
    bool isFloat = false; // 32-bit float samples, else signed 16-bit
    QByteArray samples;   // interleaved

    int sampleBytes() const { return isFloat ? 4 : 2; }
    // One sample on the 16-bit scale.
    double at(qsizetype byte) const
    {
        const char *p = samples.constData() + byte;
        return isFloat ? double(qFromLittleEndian<float>(p)) * 32768.0
                       : double(qFromLittleEndian<qint16>(p));
    }
};

// The sound of a RIFF WAVE file as the engine's pcm output writes it.
Pcm readWave(const QString &path)
{
    Pcm pcm;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return pcm;
    const QByteArray data = file.readAll();
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + at + 4);
        if (id == "fmt ") {
            // The engine writes its decoder's format: float from AAC.
            pcm.isFloat = qFromLittleEndian<quint16>(data.constData() + at + 8) == 3;
            pcm.channels = qFromLittleEndian<quint16>(data.constData() + at + 10);
            pcm.rate = int(qFromLittleEndian<quint32>(data.constData() + at + 12));
        } else if (id == "data") {
            // The size in the header may be a placeholder: take what is there.
            pcm.samples = data.mid(at + 8);
            break;
        }
        at += 8 + size;
    }
    return pcm;
}

// Root mean square of the samples from `from` to `to` seconds.
double rms(const Pcm &pcm, double from, double to)
{
    const qsizetype step = pcm.sampleBytes();
    const qsizetype frame = step * pcm.channels;
    const qsizetype first = qsizetype(from * pcm.rate) * frame;
    const qsizetype last = qMin(qsizetype(to * pcm.rate) * frame, pcm.samples.size());
    double sum = 0;
    qsizetype count = 0;
    for (qsizetype at = first; at + step <= last; at += step, ++count) {
        const double value = pcm.at(at);
        sum += value * value;
    }
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

// Mean brightness (0 to 255) of what the screen shows of a widget.
double meanOnScreen(QWidget *widget)
{
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    const QImage image = QGuiApplication::primaryScreen()
                             ->grabWindow(0, origin.x(), origin.y(), widget->width(),
                                          widget->height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    return image.isNull() ? -1 : sum / (double(image.width()) * image.height());
}
} // namespace

class EqualizerEngineTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void loweredBandsLowerTheSound();
    void brightnessBrightensTheOpenGlPicture();
    void changesKeepAPausedEnginePaused();

private:
    // Opens the sample and waits until it has played `seconds`.
    bool playUntil(double seconds);
    double position() const
    {
        return m_window->core().state().value(Field::currentSecondsField).toDouble();
    }

    FakeSystem m_system;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mainform> m_window;
};

void EqualizerEngineTest::initTestCase()
{
    QVERIFY2(QFile::exists(sample), "the sample media is made by the build");
}

void EqualizerEngineTest::init()
{
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
    const QString engine = m_dir->filePath(QStringLiteral("mplayer"));
    QFile script(engine);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec /usr/bin/mplayer -ao pcm:file=" + wave.toLocal8Bit() +
                 " \"$@\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    qputenv("TAVRIN_MPLAYER", engine.toLocal8Bit());
    m_window->core().options().choose(Menu::videoOutputMenu, 1);

    QVERIFY(playUntil(1.5));
    // Asked when the window first opened; the real engine has no
    // af_eq_set_bands.
    m_window->showAudioEqualizer();
    QVERIFY(QTest::qWaitFor([&] { return m_window->core().engineCommands().isKnown(); }, 5000));
    QVERIFY(!m_window->core().engineCommands().lists(QStringLiteral("af_eq_set_bands")));
    const double loweredAt = position();
    for (int band = 0; band < AudioBands::count; ++band)
        m_window->audioEqualizer()->eqSlider(band)->triggerAction(
            QAbstractSlider::SliderToMaximum);
    QCOMPARE(m_window->core().state().value(Field::eqBand9Field), QStringLiteral("-12"));
    QVERIFY(playUntil(loweredAt + 3.0));
    m_window->sendCommand(EngineCommand::quit);
    QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 10000));

    const Pcm pcm = readWave(wave);
    QVERIFY2(pcm.rate > 0 && pcm.channels > 0, "the engine wrote its sound");
    const double seconds =
        double(pcm.samples.size()) / (double(pcm.sampleBytes()) * pcm.channels * pcm.rate);
    QVERIFY2(seconds >= loweredAt + 2.0, qPrintable(QString::number(seconds)));
    const double flat = rms(pcm, 0.3, 1.3);
    const double lowered = rms(pcm, seconds - 1.0, seconds);
    qInfo("level before %.0f, after all bands at -12 dB %.0f", flat, lowered);
    QVERIFY(flat > 500);
    QVERIFY2(lowered < flat * 0.35, qPrintable(QStringLiteral("%1 -> %2").arg(flat).arg(lowered)));
}

void EqualizerEngineTest::brightnessBrightensTheOpenGlPicture()
{
    qputenv("TAVRIN_MPLAYER", "/usr/bin/mplayer");
    m_window->core().options().choose(Menu::videoOutputMenu, 3); // OpenGL (gl)
    QVERIFY(playUntil(1.0));
    QWidget *picture = m_window->videoWindow();
    const double before = meanOnScreen(picture);

    m_window->showVideoEqualizer();
    // Out of the picture's way.
    m_window->videoEqualizer()->move(700, 20);
    m_window->videoEqualizer()->slider(PictureValues::brightness)->triggerAction(
        QAbstractSlider::SliderToMaximum);
    QCOMPARE(m_window->core().state().value(Field::brightnessField), QStringLiteral("100"));
    const double shown = position();
    QVERIFY(playUntil(shown + 1.0));
    const double after = meanOnScreen(picture);
    qInfo("picture mean before %.1f, at brightness 100 %.1f", before, after);
    QVERIFY2(before > 20, "the engine draws the picture");
    QVERIFY2(after > before + 60, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
}

void EqualizerEngineTest::changesKeepAPausedEnginePaused()
{
    qputenv("TAVRIN_MPLAYER", "/usr/bin/mplayer");
    m_window->core().options().choose(Menu::videoOutputMenu, 3);
    QVERIFY(playUntil(1.0));
    m_window->transport().pause();
    PlayerState &state = m_window->core().state();
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);

    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    m_window->audioEqualizer()->eqSlider(4)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    m_window->videoEqualizer()->slider(PictureValues::hue)->triggerAction(
        QAbstractSlider::SliderPageStepAdd);
    m_window->videoEqualizer()->slider(PictureValues::gamma)->triggerAction(
        QAbstractSlider::SliderPageStepSub);

    // The engine's own position, asked without resuming it, twice apart.
    auto askPosition = [&] {
        state.setValue(Field::currentSecondsField, QString());
        m_window->sendCommand(EngineCommand::getTimePosKeepPause);
        return QTest::qWaitFor([&] { return !state.value(Field::currentSecondsField).isEmpty(); },
                               5000)
                   ? position()
                   : -1.0;
    };
    const double first = askPosition();
    QTest::qWait(800);
    const double second = askPosition();
    QVERIFY(first > 0);
    QCOMPARE(second, first);
    QCOMPARE(state.value(Field::playStateField), PlayState::paused);
}

QTEST_MAIN(EqualizerEngineTest)
#include "tst_equalizerengine.moc"
