// The audio and picture adjustment windows against the scripted engine: the
// exact lines each opening and each slider step sends, the fields they keep,
// what the next engine start carries, and that the real engine knows every
// command they send.
#include "adjust/audioeq.h"
#include "adjust/videoeq.h"
#include "engine/commands.h"
#include "fakesystem.h"
#include "receivedlog.h"
#include "window/mainform.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString flat = QStringLiteral("0:0:0:0:0:0:0:0:0:0");

// The line for these gains to an engine without af_eq_set_bands.
QString bands(const QString &gains)
{
    return QStringLiteral("pausing_keep_force af_cmdline equalizer ") + gains + QLatin1Char(' ');
}

// Flat gains but `band` at `gain`.
QString oneBand(int band, int gain)
{
    QStringList gains(10, QStringLiteral("0"));
    gains[band] = QString::number(gain);
    return gains.join(QLatin1Char(':'));
}

// "add", "sub" (single steps), "end" (to the maximum) or "reset" (the row's
// button), `times` over.
void act(QScrollBar *slider, QPushButton *reset, const QString &what, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        if (what == QLatin1String("reset"))
            QTest::mouseClick(reset, Qt::LeftButton);
        else
            slider->triggerAction(
                what == QLatin1String("add")   ? QAbstractSlider::SliderSingleStepAdd
                : what == QLatin1String("sub") ? QAbstractSlider::SliderSingleStepSub
                                               : QAbstractSlider::SliderToMaximum);
    }
}

const Field pictureFields[] = {Field::hueField, Field::saturationField, Field::brightnessField,
                               Field::contrastField, Field::gammaField};
} // namespace

class EqualizersTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void audioBandsSendTheirGains_data();
    void audioBandsSendTheirGains();
    void bandLineFollowsTheEnginesCommands_data();
    void bandLineFollowsTheEnginesCommands();
    void pictureValuesSendTheirLines_data();
    void pictureValuesSendTheirLines();
    void reopeningSendsTheStoredValuesAgain();
    void nextStartCarriesTheAdjustments();
    void engineKnowsEveryCommandTheWindowsSend();

private:
    void startEngine();
    // Restarts the engine at its position; the arguments the new run got.
    // The log then holds what the new run received.
    QStringList restart();
    QStringList received() { return m_log.freshCommands(150); }
    audioeq *audio() const { return m_window->audioEqualizer(); }
    videoeq *picture() const { return m_window->videoEqualizer(); }

    FakeSystem m_system;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mainform> m_window;
    ReceivedLog m_log;
};

void EqualizersTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    QVERIFY(m_log.useScriptedEngine(m_dir->path(), "ID_LENGTH=10.02\nStarting playback...\n"));
    m_window = std::make_unique<mainform>(&m_system);
    m_log.follow(&m_window->core());
    m_window->move(40, 40);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Debian's engine: no af_eq_set_bands.
    m_window->core().engineCommands().setNames({QStringLiteral("af_cmdline")});
}

void EqualizersTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 5000));
    }
    m_window.reset();
    for (const char *name :
         {"TAVRIN_MPLAYER", "FAKE_MPLAYER_SCRIPT", "FAKE_MPLAYER_LOG", "FAKE_MPLAYER_CMDLIST"})
        qunsetenv(name);
}

void EqualizersTest::startEngine()
{
    m_window->openCommandLineMedia(QStringLiteral("/open \"/media/a.mkv\""));
    QVERIFY(m_window->core().isEngineRunning());
    received();
}

QStringList EqualizersTest::restart()
{
    const cmdcls *old = m_window->core().cm();
    m_window->opener().restartAtPosition();
    PlayerState &state = m_window->core().state();
    // The new run prints what it was started with once it has opened its log.
    if (!QTest::qWaitFor(
            [&] {
                return m_window->core().cm() != old &&
                       state.value(Field::engineOutputBox).contains(QStringLiteral("FAKE_NICE="));
            },
            5000))
        return {QStringLiteral("(no new run)")};
    m_log.setPath(m_dir->filePath(QStringLiteral("received")));
    QStringList arguments;
    for (const QString &line : state.value(Field::engineOutputBox).split(QStringLiteral("\r\n")))
        if (line.startsWith(QStringLiteral("FAKE_ARG=")))
            arguments << line.mid(9);
    return arguments;
}

void EqualizersTest::audioBandsSendTheirGains_data()
{
    QTest::addColumn<QString>("action"); // "what:band:times"
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("result"); // "band=gain" afterwards

    QTest::newRow("opening alone") << QString() << QStringList() << "3=0";
    QTest::newRow("one step down on band 3")
        << "add:3:1" << QStringList{bands(oneBand(3, -1))} << "3=-1";
    QStringList rising;
    for (int gain = 1; gain <= 12; ++gain)
        rising << bands(oneBand(3, gain));
    QTest::newRow("dragged to the top stops at 12") << "sub:3:15" << rising << "3=12";
    QTest::newRow("reset of a flat band sends nothing") << "reset:0:1" << QStringList() << "0=0";
}

void EqualizersTest::audioBandsSendTheirGains()
{
    QFETCH(QString, action);
    QFETCH(QStringList, after);
    QFETCH(QString, result);
    startEngine();

    // With flat bands, opening sends exactly the one line of all ten.
    m_window->showAudioEqualizer();
    QVERIFY(audio());
    QCOMPARE(received(), QStringList{bands(flat)});
    if (!action.isEmpty()) {
        const int band = action.section(':', 1, 1).toInt();
        act(audio()->eqSlider(band), audio()->resetButton(band), action.section(':', 0, 0),
            action.section(':', 2, 2).toInt());
    }
    QCOMPARE(received(), after);
    const int band = result.section('=', 0, 0).toInt();
    const QString gain = result.section('=', 1);
    QCOMPARE(m_window->core().state().value(AudioBands::fields.at(band)), gain);
    QCOMPARE(audio()->eqGainLabel(band)->text(), gain);
    QCOMPARE(audio()->eqSlider(band)->value(), -gain.toInt());
}

void EqualizersTest::bandLineFollowsTheEnginesCommands_data()
{
    QTest::addColumn<QByteArray>("list"); // what "-input cmdlist" prints
    QTest::addColumn<bool>("askedBefore");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("reopened");
    const QString setBandsLine =
        QStringLiteral("pausing_keep_force af_eq_set_bands ") + flat + QLatin1Char(' ');
    const QByteArray withSetBands("seek                 Float [Integer]\n"
                                  "af_eq_set_bands      String\n"
                                  "af_cmdline           String String\n");
    QTest::newRow("engine with af_eq_set_bands")
        << withSetBands << true << setBandsLine << setBandsLine;
    QTest::newRow("engine without it")
        << QByteArray("af_cmdline           String String\n") << true << bands(flat) << bands(flat);
    QTest::newRow("asked on opening: the answer counts from then on")
        << withSetBands << false << bands(flat) << setBandsLine;
}

void EqualizersTest::bandLineFollowsTheEnginesCommands()
{
    QFETCH(QByteArray, list);
    QFETCH(bool, askedBefore);
    QFETCH(QString, first);
    QFETCH(QString, reopened);
    QFile file(m_dir->filePath(QStringLiteral("cmdlist")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(list) == list.size());
    file.close();
    qputenv("FAKE_MPLAYER_CMDLIST", file.fileName().toLocal8Bit());
    // A window whose engine has not been asked yet.
    m_window = std::make_unique<mainform>(&m_system);
    m_log.follow(&m_window->core());
    EngineCommandList &commands = m_window->core().engineCommands();
    QSignalSpy answered(&commands, &EngineCommandList::answered);
    if (askedBefore) {
        commands.query(QStringLiteral(FAKE_MPLAYER_PATH));
        QVERIFY(answered.wait(5000));
    }
    startEngine();
    m_window->showAudioEqualizer();
    QCOMPARE(received(), QStringList{first});
    QVERIFY(answered.count() == 1 || answered.wait(5000));
    audio()->close();
    m_window->showAudioEqualizer();
    QCOMPARE(received(), QStringList{reopened});
    QCOMPARE(answered.count(), 1); // asked once only
}

void EqualizersTest::pictureValuesSendTheirLines_data()
{
    QTest::addColumn<QStringList>("stored"); // hue, saturation, brightness, contrast, gamma
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("opening");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("fields");

    const QStringList zeros{"0", "0", "0", "0", "0"};
    const QString line = QStringLiteral("pausing_keep_force %1 %2 1 ");
    QTest::newRow("defaults send nothing")
        << zeros << QString() << QStringList() << QStringList() << zeros;
    QTest::newRow("opening sets them in order, contrast no lower than -99")
        << QStringList{"-20", "10", "30", "-150", "7"} << QString()
        << QStringList{line.arg("hue", "-20"), line.arg("saturation", "10"),
                       line.arg("brightness", "30"), line.arg("contrast", "-99"),
                       line.arg("gamma", "7")}
        << QStringList() << QStringList{"-20", "10", "30", "-99", "7"};
    QStringList falling;
    for (int value = -1; value >= -99; --value)
        falling << line.arg("contrast").arg(value);
    QTest::newRow("contrast stops at -99") << zeros << "sub:3:120" << QStringList() << falling
                                           << QStringList{"0", "0", "0", "-99", "0"};
}

void EqualizersTest::pictureValuesSendTheirLines()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, action);
    QFETCH(QStringList, opening);
    QFETCH(QStringList, after);
    QFETCH(QStringList, fields);
    PlayerState &state = m_window->core().state();
    for (int row = 0; row < PictureValues::count; ++row)
        state.setValue(pictureFields[row], stored.at(row));
    startEngine();

    m_window->showVideoEqualizer();
    QVERIFY(picture());
    QCOMPARE(received(), opening);
    if (!action.isEmpty()) {
        const auto row = static_cast<PictureValues::Row>(action.section(':', 1, 1).toInt());
        act(picture()->slider(row), picture()->resetButton(row), action.section(':', 0, 0),
            action.section(':', 2, 2).toInt());
    }
    QCOMPARE(received(), after);
    for (int row = 0; row < PictureValues::count; ++row) {
        QCOMPARE(state.value(pictureFields[row]), fields.at(row));
        QCOMPARE(picture()->slider(PictureValues::Row(row))->value(), fields.at(row).toInt());
    }
}

void EqualizersTest::reopeningSendsTheStoredValuesAgain()
{
    startEngine();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    act(audio()->eqSlider(3), nullptr, QStringLiteral("add"), 2);
    act(picture()->slider(PictureValues::hue), nullptr, QStringLiteral("end"));
    // Opening an open window only raises it: nothing goes out again.
    received();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    QCOMPARE(received(), QStringList());

    audio()->close();
    picture()->close();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    QCOMPARE(received(), (QStringList{bands(oneBand(3, -2)), bands(oneBand(3, -2)),
                                      "pausing_keep_force hue 100 1 "}));
    QCOMPARE(audio()->eqSlider(3)->value(), 2);
    QCOMPARE(audio()->eqGainLabel(3)->text(), QStringLiteral("-2"));
    QCOMPARE(picture()->slider(PictureValues::hue)->value(), 100);
    // Owned by the main window: they stack above it and go with it.
    QCOMPARE(audio()->parentWidget(), m_window.get());
    QVERIFY(picture()->isWindow());
}

void EqualizersTest::nextStartCarriesTheAdjustments()
{
    startEngine();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    act(audio()->eqSlider(0), nullptr, QStringLiteral("sub"), 3);
    act(audio()->eqSlider(9), nullptr, QStringLiteral("add"), 2);
    act(picture()->slider(PictureValues::saturation), nullptr, QStringLiteral("sub"), 4);
    act(picture()->slider(PictureValues::gamma), nullptr, QStringLiteral("end"));
    received();

    const QStringList arguments = restart();
    QVERIFY2(arguments.join(' ').contains(QStringLiteral("equalizer=3:0:0:0:0:0:0:0:0:-2")),
             qPrintable(arguments.join(' ')));
    QCOMPARE(arguments.value(arguments.indexOf(QStringLiteral("-saturation")) + 1),
             QStringLiteral("-4"));
    QVERIFY(!arguments.contains(QStringLiteral("-hue")));
    QVERIFY(!arguments.contains(QStringLiteral("-gamma")));
    // Gamma has no option: it follows the start as a command.
    QVERIFY(received().contains(QStringLiteral("pausing_keep_force gamma 100 1 ")));
}

void EqualizersTest::engineKnowsEveryCommandTheWindowsSend()
{
    const QStringList listed =
        EngineCommandList::parse(EngineCommandList::fetch(QStringLiteral("/usr/bin/mplayer")));
    QVERIFY2(listed.contains(QStringLiteral("quit")), "the real engine lists its commands");
    // Which is why the bands go out through af_cmdline here.
    QVERIFY(!listed.contains(QStringLiteral("af_eq_set_bands")));

    // Every kind of line the windows send: opening, each row, reset, and the
    // restart that carries their values (gamma stays, to follow it).
    startEngine();
    PlayerState &state = m_window->core().state();
    state.setValue(Field::eqBand2Field, QStringLiteral("4"));
    for (const Field field : pictureFields)
        state.setValue(field, QStringLiteral("5"));
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    act(audio()->eqSlider(2), audio()->resetButton(2), QStringLiteral("reset"));
    for (int row = 0; row < PictureValues::gamma; ++row)
        act(nullptr, picture()->resetButton(PictureValues::Row(row)), QStringLiteral("reset"));
    // A run's log starts afresh with the next run.
    QStringList sent = received();
    restart();
    sent += received();
    sent.removeDuplicates();
    QVERIFY2(sent.size() >= 8, qPrintable(sent.join('|')));
    QStringList unknown;
    for (const QString &line : sent)
        if (!listed.contains(EngineCommand::commandName(line)))
            unknown << line;
    QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join('|')));
}

QTEST_MAIN(EqualizersTest)
#include "tst_equalizers.moc"
