// What the adjustment windows make of stored values, and how the program
// learns which commands its engine understands.
#include "adjust/audiobands.h"
#include "adjust/picturevalues.h"
#include "engine/commands.h"
#include "engine/enginecommandlist.h"
#include "engine/playercore.h"
#include "fakesystem.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class AdjustValuesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void storedGainsPlaceTheSliders_data();
    void storedGainsPlaceTheSliders();
    void storedPictureValuesPlaceTheSliders_data();
    void storedPictureValuesPlaceTheSliders();
    void commandNames_data();
    void commandNames();
    void commandListOfTheEngine_data();
    void commandListOfTheEngine();
};

void AdjustValuesTest::storedGainsPlaceTheSliders_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("slider");
    QTest::newRow("gain 5 is near the top") << "5" << -5;
    QTest::newRow("cut -3") << "-3" << 3;
    QTest::newRow("beyond the scale") << "20" << -12;
    QTest::newRow("beyond the other end") << "-99" << 12;
    QTest::newRow("a fraction goes to the nearest step") << "2.6" << -3;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("number and text") << "4dB" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("too large for any number") << "1e400" << 0;
}

void AdjustValuesTest::storedGainsPlaceTheSliders()
{
    QFETCH(QString, field);
    QFETCH(int, slider);
    FakeSystem system;
    PlayerCore core(&system);
    AudioBands bands(core);
    core.state().setValue(Field::eqBand6Field, field);
    QCOMPARE(bands.storedSliderValue(6), slider);
    QCOMPARE(bands.storedSliderValue(5), 0);
}

void AdjustValuesTest::storedPictureValuesPlaceTheSliders_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("slider");
    QTest::newRow("hue") << int(PictureValues::hue) << "-40" << -40;
    QTest::newRow("contrast below its end") << int(PictureValues::contrast) << "-100" << -99;
    QTest::newRow("brightness above its end") << int(PictureValues::brightness) << "250" << 100;
    QTest::newRow("gamma at its end") << int(PictureValues::gamma) << "-100" << -100;
    QTest::newRow("fraction cut") << int(PictureValues::saturation) << "30.7" << 30;
    QTest::newRow("leading number") << int(PictureValues::hue) << "12abc" << 12;
    QTest::newRow("not a number") << int(PictureValues::gamma) << "abc" << 0;
}

void AdjustValuesTest::storedPictureValuesPlaceTheSliders()
{
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(int, slider);
    FakeSystem system;
    PlayerCore core(&system);
    core.state().setValue(PictureValues::rows.at(row).field, field);
    QCOMPARE(PictureValues(core).storedValue(row), slider);
}

void AdjustValuesTest::commandNames_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "quit " << "quit";
    QTest::newRow("kept paused") << "pausing_keep_force hue -5 1 " << "hue";
    QTest::newRow("other prefix") << "pausing_keep get_property volume" << "get_property";
    QTest::newRow("equalizer") << EngineCommand::equalizerCmdline(QStringLiteral("0:1"))
                               << "af_cmdline";
    QTest::newRow("empty") << "" << "";
}

void AdjustValuesTest::commandNames()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QCOMPARE(EngineCommand::commandName(line), name);
}

void AdjustValuesTest::commandListOfTheEngine_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QByteArray>("list"); // what the scripted engine prints
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("the real engine")
        << "/usr/bin/mplayer" << QByteArray()
        << QStringList{"af_cmdline", "hue", "saturation", "brightness", "contrast", "gamma",
                       "quit", "get_time_pos"}
        << QStringList{"af_eq_set_bands", "pausing_keep_force"};
    QTest::newRow("an engine with af_eq_set_bands")
        << FAKE_MPLAYER_PATH
        << QByteArray("MPlayer FAKE-1 (C) 2000-2023 MPlayer Team\n"
                      "seek                 Float [Integer]\n"
                      "af_eq_set_bands      String\n"
                      "af_clr              \n"
                      "\n")
        << QStringList{"seek", "af_eq_set_bands", "af_clr"} << QStringList{"MPlayer", "Float"};
    QTest::newRow("an engine that lists nothing")
        << FAKE_MPLAYER_PATH << QByteArray() << QStringList() << QStringList{"quit"};
    QTest::newRow("no engine") << "/nonexistent/mplayer" << QByteArray() << QStringList()
                               << QStringList{"quit"};
}

void AdjustValuesTest::commandListOfTheEngine()
{
    QFETCH(QString, engine);
    QFETCH(QByteArray, list);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, absent);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cmdlist"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(list);
    file.close();
    qputenv("FAKE_MPLAYER_CMDLIST", path.toLocal8Bit());

    EngineCommandList commands;
    QSignalSpy answered(&commands, &EngineCommandList::answered);
    commands.query(engine);
    QVERIFY(!commands.isKnown() || answered.count() == 1);
    QVERIFY(answered.count() == 1 || answered.wait(EngineCommandList::answerTimeoutMs + 2000));
    QVERIFY(commands.isKnown());
    for (const QString &name : listed)
        QVERIFY2(commands.lists(name), qPrintable(name));
    for (const QString &name : absent)
        QVERIFY2(!commands.lists(name), qPrintable(name));
    // Asked once: a second question is not put.
    commands.query(engine);
    QTest::qWait(100);
    QCOMPARE(answered.count(), 1);
    qunsetenv("FAKE_MPLAYER_CMDLIST");
}

QTEST_MAIN(AdjustValuesTest)
#include "tst_adjustvalues.moc"
