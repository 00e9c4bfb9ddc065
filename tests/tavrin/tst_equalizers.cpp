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
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString flat = QStringLiteral("0:0:0:0:0:0:0:0:0:0");

// The line the engine gets for these gains when it lacks af_eq_set_bands.
QString bands(const QString &gains)
{
    return QStringLiteral("pausing_keep_force af_cmdline equalizer ") + gains + QLatin1Char(' ');
}

// Gains with one band changed: flat but `band` at `gain`.
QString oneBand(int band, int gain)
{
    QStringList gains(10, QStringLiteral("0"));
    gains[band] = QString::number(gain);
    return gains.join(QLatin1Char(':'));
}

// Runs "what:index:times" on a slider: add/sub (single steps), page (one
// large step up), end (to the maximum), reset (the row's button).
void act(QScrollBar *slider, QPushButton *reset, const QString &what, int times)
{
    for (int i = 0; i < times; ++i) {
        if (what == QLatin1String("add"))
            slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        else if (what == QLatin1String("sub"))
            slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else if (what == QLatin1String("page"))
            slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
        else if (what == QLatin1String("end"))
            slider->triggerAction(QAbstractSlider::SliderToMaximum);
        else if (what == QLatin1String("reset"))
            QTest::mouseClick(reset, Qt::LeftButton);
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
    void windowsFollowTheAlwaysOnTopChoice_data();
    void windowsFollowTheAlwaysOnTopChoice();

private:
    void startEngine();
    // Restarts the engine at its position; the arguments the new run got.
    // The log then holds what the new run received.
    QStringList restart();
    QStringList received() { return m_log.freshCommands(150); }

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
    qunsetenv("TAVRIN_MPLAYER");
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    qunsetenv("FAKE_MPLAYER_LOG");
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
    const bool started = QTest::qWaitFor(
        [&] {
            return m_window->core().cm() != old &&
                   state.value(Field::engineOutputBox).contains(QStringLiteral("FAKE_NICE="));
        },
        5000);
    if (!started)
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
    QTest::addColumn<QStringList>("stored"); // "band=gain"
    QTest::addColumn<QString>("action");     // "what:band:times"
    QTest::addColumn<QStringList>("opening");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("fields"); // "band=gain" after all

    QTest::newRow("flat: only the opening line") << QStringList() << QString()
                                                 << QStringList{bands(flat)} << QStringList()
                                                 << QStringList{"3=0"};
    QTest::newRow("stored gains: one line per band, then all")
        << QStringList{"2=5", "7=-3"} << QString()
        << QStringList{bands("0:0:5:0:0:0:0:0:0:0"), bands("0:0:5:0:0:0:0:-3:0:0"),
                       bands("0:0:5:0:0:0:0:-3:0:0")}
        << QStringList() << QStringList{"2=5", "7=-3"};
    QTest::newRow("a gain beyond the scale stops at its end")
        << QStringList{"4=20"} << QString()
        << QStringList{bands(oneBand(4, 12)), bands(oneBand(4, 12))} << QStringList()
        << QStringList{"4=12"};
    QTest::newRow("one step down on band 3") << QStringList() << "add:3:1"
                                             << QStringList{bands(flat)}
                                             << QStringList{bands(oneBand(3, -1))}
                                             << QStringList{"3=-1"};
    QStringList rising;
    for (int gain = 1; gain <= 12; ++gain)
        rising << bands(oneBand(3, gain));
    QTest::newRow("dragged to the top stops at 12")
        << QStringList() << "sub:3:15" << QStringList{bands(flat)} << rising
        << QStringList{"3=12"};
    QTest::newRow("large step") << QStringList() << "page:8:1" << QStringList{bands(flat)}
                                << QStringList{bands(oneBand(8, -6))} << QStringList{"8=-6"};
    QTest::newRow("reset of a flat band sends nothing")
        << QStringList() << "reset:0:1" << QStringList{bands(flat)} << QStringList()
        << QStringList{"0=0"};
    QTest::newRow("1.00 KHz resets band 5")
        << QStringList{"5=4"} << "reset:5:1"
        << QStringList{bands(oneBand(5, 4)), bands(oneBand(5, 4))}
        << QStringList{bands(flat)} << QStringList{"5=0"};
}

void EqualizersTest::audioBandsSendTheirGains()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, action);
    QFETCH(QStringList, opening);
    QFETCH(QStringList, after);
    QFETCH(QStringList, fields);
    PlayerState &state = m_window->core().state();
    for (const QString &pair : stored)
        state.setValue(AudioBands::fields.at(pair.section('=', 0, 0).toInt()),
                       pair.section('=', 1));
    startEngine();

    m_window->showAudioEqualizer();
    audioeq *window = m_window->audioEqualizer();
    QVERIFY(window);
    QCOMPARE(received(), opening);
    if (!action.isEmpty()) {
        const int band = action.section(':', 1, 1).toInt();
        act(window->eqSlider(band), window->resetButton(band), action.section(':', 0, 0),
            action.section(':', 2, 2).toInt());
    }
    QCOMPARE(received(), after);
    for (const QString &pair : fields) {
        const int band = pair.section('=', 0, 0).toInt();
        QCOMPARE(state.value(AudioBands::fields.at(band)), pair.section('=', 1));
        QCOMPARE(window->eqGainLabel(band)->text(), pair.section('=', 1));
        QCOMPARE(window->eqSlider(band)->value(), -pair.section('=', 1).toInt());
    }
}

void EqualizersTest::bandLineFollowsTheEnginesCommands_data()
{
    QTest::addColumn<bool>("known");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("line");
    QTest::newRow("engine with af_eq_set_bands")
        << true << QStringList{"af_cmdline", "af_eq_set_bands"}
        << QStringLiteral("pausing_keep_force af_eq_set_bands ") + flat + QLatin1Char(' ');
    QTest::newRow("engine without it") << true << QStringList{"af_cmdline"} << bands(flat);
    QTest::newRow("no answer yet") << false << QStringList() << bands(flat);
}

void EqualizersTest::bandLineFollowsTheEnginesCommands()
{
    QFETCH(bool, known);
    QFETCH(QStringList, commands);
    QFETCH(QString, line);
    // A window made afresh: the list of init() must not be there.
    m_window = std::make_unique<mainform>(&m_system);
    EngineCommandList &list = m_window->core().engineCommands();
    if (known)
        list.setNames(commands);
    else // asked, but the answer has not come back yet
        list.query(QStringLiteral(FAKE_MPLAYER_PATH));
    startEngine();
    m_window->showAudioEqualizer();
    QCOMPARE(received(), QStringList{line});
}

void EqualizersTest::pictureValuesSendTheirLines_data()
{
    QTest::addColumn<QStringList>("stored"); // hue, saturation, brightness, contrast, gamma
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("opening");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("fields");

    const QStringList zeros{"0", "0", "0", "0", "0"};
    QTest::newRow("defaults send nothing") << zeros << QString() << QStringList() << QStringList()
                                           << zeros;
    QTest::newRow("opening sets them in order")
        << QStringList{"-20", "10", "30", "-150", "7"} << QString()
        << QStringList{"pausing_keep_force hue -20 1 ", "pausing_keep_force saturation 10 1 ",
                       "pausing_keep_force brightness 30 1 ",
                       "pausing_keep_force contrast -99 1 ", "pausing_keep_force gamma 7 1 "}
        << QStringList() << QStringList{"-20", "10", "30", "-99", "7"};
    QTest::newRow("brightness to the right end")
        << zeros << "end:2:1" << QStringList()
        << QStringList{"pausing_keep_force brightness 100 1 "}
        << QStringList{"0", "0", "100", "0", "0"};
    QStringList falling;
    for (int value = -1; value >= -99; --value)
        falling << QStringLiteral("pausing_keep_force contrast %1 1 ").arg(value);
    QTest::newRow("contrast stops at -99")
        << zeros << "sub:3:120" << QStringList() << falling
        << QStringList{"0", "0", "0", "-99", "0"};
    QTest::newRow("large step") << zeros << "page:1:1" << QStringList()
                                << QStringList{"pausing_keep_force saturation 50 1 "}
                                << QStringList{"0", "50", "0", "0", "0"};
    QTest::newRow("감마 resets gamma") << QStringList{"0", "0", "0", "0", "25"} << "reset:4:1"
                                     << QStringList{"pausing_keep_force gamma 25 1 "}
                                     << QStringList{"pausing_keep_force gamma 0 1 "} << zeros;
    QTest::newRow("reset at 0 sends nothing")
        << zeros << "reset:0:1" << QStringList() << QStringList() << zeros;
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
    videoeq *window = m_window->videoEqualizer();
    QVERIFY(window);
    QCOMPARE(received(), opening);
    if (!action.isEmpty()) {
        const auto row = static_cast<PictureValues::Row>(action.section(':', 1, 1).toInt());
        act(window->slider(row), window->resetButton(row), action.section(':', 0, 0),
            action.section(':', 2, 2).toInt());
    }
    QCOMPARE(received(), after);
    for (int row = 0; row < PictureValues::count; ++row) {
        QCOMPARE(state.value(pictureFields[row]), fields.at(row));
        QCOMPARE(window->slider(static_cast<PictureValues::Row>(row))->value(),
                 fields.at(row).toInt());
    }
}

void EqualizersTest::reopeningSendsTheStoredValuesAgain()
{
    startEngine();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    act(m_window->audioEqualizer()->eqSlider(3), nullptr, QStringLiteral("add"), 2);
    act(m_window->videoEqualizer()->slider(PictureValues::hue), nullptr, QStringLiteral("page"),
        1);
    // Opening an open window only raises it: nothing goes out again.
    received();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    QCOMPARE(received(), QStringList());

    m_window->audioEqualizer()->close();
    m_window->videoEqualizer()->close();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    QCOMPARE(received(), (QStringList{bands(oneBand(3, -2)), bands(oneBand(3, -2)),
                                      "pausing_keep_force hue 50 1 "}));
    QCOMPARE(m_window->audioEqualizer()->eqSlider(3)->value(), 2);
    QCOMPARE(m_window->audioEqualizer()->eqGainLabel(3)->text(), QStringLiteral("-2"));
    QCOMPARE(m_window->videoEqualizer()->slider(PictureValues::hue)->value(), 50);
    // Owned by the main window: they stack above it and go with it.
    QCOMPARE(m_window->audioEqualizer()->parentWidget(), m_window.get());
    QVERIFY(m_window->videoEqualizer()->isWindow());
}

void EqualizersTest::nextStartCarriesTheAdjustments()
{
    startEngine();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    act(m_window->audioEqualizer()->eqSlider(0), nullptr, QStringLiteral("sub"), 3);
    act(m_window->audioEqualizer()->eqSlider(9), nullptr, QStringLiteral("add"), 2);
    videoeq *picture = m_window->videoEqualizer();
    act(picture->slider(PictureValues::saturation), nullptr, QStringLiteral("sub"), 4);
    act(picture->slider(PictureValues::gamma), nullptr, QStringLiteral("page"), 1);
    received();

    const QStringList arguments = restart();
    QVERIFY2(arguments.join(' ').contains(QStringLiteral("equalizer=3:0:0:0:0:0:0:0:0:-2")),
             qPrintable(arguments.join(' ')));
    const qsizetype saturation = arguments.indexOf(QStringLiteral("-saturation"));
    QVERIFY(saturation >= 0);
    QCOMPARE(arguments.value(saturation + 1), QStringLiteral("-4"));
    QVERIFY(!arguments.contains(QStringLiteral("-hue")));
    QVERIFY(!arguments.contains(QStringLiteral("-gamma")));
    // Gamma has no option: it follows the start as a command.
    const QStringList lines = received();
    QVERIFY2(lines.contains(QStringLiteral("pausing_keep_force gamma 50 1 ")),
             qPrintable(lines.join('|')));
}

void EqualizersTest::engineKnowsEveryCommandTheWindowsSend()
{
    const QStringList listed =
        EngineCommandList::parse(EngineCommandList::fetch(QStringLiteral("/usr/bin/mplayer")));
    QVERIFY2(listed.size() > 50, "the real engine lists its commands");

    // Every kind of line the windows send: opening, each row, reset, and the
    // restart that carries their values.
    startEngine();
    PlayerState &state = m_window->core().state();
    state.setValue(Field::eqBand2Field, QStringLiteral("4"));
    for (const Field field : pictureFields)
        state.setValue(field, QStringLiteral("5"));
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    act(m_window->audioEqualizer()->eqSlider(2), m_window->audioEqualizer()->resetButton(2),
        QStringLiteral("reset"), 1);
    // Gamma stays: it goes out again after the restart.
    for (int row = 0; row < PictureValues::gamma; ++row) {
        const auto which = static_cast<PictureValues::Row>(row);
        act(m_window->videoEqualizer()->slider(which), m_window->videoEqualizer()->resetButton(which),
            QStringLiteral("reset"), 1);
    }
    act(m_window->audioEqualizer()->eqSlider(2), nullptr, QStringLiteral("add"), 1);
    // A run's log starts afresh with the next run.
    QString all = m_log.fresh(150).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    restart();
    all += m_log.fresh(150).join(QStringLiteral("\r\n"));

    QStringList sent = all.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    sent.removeDuplicates();
    QVERIFY2(sent.size() >= 8, qPrintable(sent.join('|')));
    QStringList unknown;
    for (const QString &line : sent)
        if (!listed.contains(EngineCommand::commandName(line)))
            unknown << line;
    // Which is why the bands go out through af_cmdline here.
    QVERIFY(!listed.contains(QStringLiteral("af_eq_set_bands")));
    QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join('|')));
}

void EqualizersTest::windowsFollowTheAlwaysOnTopChoice_data()
{
    QTest::addColumn<int>("item"); // of the always-on-top menu
    QTest::addColumn<bool>("playing");
    QTest::addColumn<bool>("onTop");
    QTest::newRow("사용") << 0 << false << true;
    QTest::newRow("재생시만 사용, playing") << 1 << true << true;
    QTest::newRow("재생시만 사용, stopped") << 1 << false << false;
    QTest::newRow("사용 안 함") << 2 << true << false;
}

void EqualizersTest::windowsFollowTheAlwaysOnTopChoice()
{
    QFETCH(int, item);
    QFETCH(bool, playing);
    QFETCH(bool, onTop);
    m_window->core().options().choose(Menu::alwaysOnTopMenu, item);
    if (playing)
        startEngine();
    m_window->showAudioEqualizer();
    m_window->showVideoEqualizer();
    for (QWidget *window : {static_cast<QWidget *>(m_window->audioEqualizer()),
                            static_cast<QWidget *>(m_window->videoEqualizer())}) {
        QCOMPARE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        // Modeless: the main window still takes input.
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowModality(), Qt::NonModal);
    }
}

QTEST_MAIN(EqualizersTest)
#include "tst_equalizers.moc"
