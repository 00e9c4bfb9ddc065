// The state record and the option store: defaults, and the operations the
// rest of the program relies on.
#include "controls/optionstore.h"
#include "state/playerstate.h"

#include <QSignalSpy>
#include <QTest>

class StateStoreTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void freshStateHoldsDefaults_data();
    void freshStateHoldsDefaults();
    void styleHeaderIsTheFixedText();
    void everyFieldHasAUniqueName();
    void writesNotifyOnlyOnChange();
    void outputGrowsByCrLfAndChunk();

    void optionArraysStartWithTheirMarks_data();
    void optionArraysStartWithTheirMarks();
    void videoDriversAreTheLinuxOnes();
    void chooseUnchecksEveryOtherItem();
    void deblockingItemsAreIndependent();
    void runTimeListsLoadAndUnload();
    void resetListLeavesOnlyThePlaceholder();
    void missingItemsAreHarmless();
};

void StateStoreTest::freshStateHoldsDefaults_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    const QList<QPair<const char *, const char *>> rows = {
        {"playStateField", "정지"},        {"volumeField", "50"},
        {"speedField", "1.0"},             {"currentTimeLabel", "00:00:00.0"},
        {"totalTimeLabel", "00:00:00.0"},  {"timeSeparatorLabel", "/"},
        {"restartFlag", "0"},              {"seekingFlag", "0"},
        {"assFontScaleField", "1.0"},      {"textSubScaleField", "3"},
        {"subFontNameField", "Arial"},     {"subFontSizeField", "18"},
        {"subTextColourField", "65535"},   {"subOutlineField", "0.5"},
        {"useDefaultSubtitleSettingsField", "1"}, {"textSubPositionField", "97"},
        {"textSubOutlineField", "2"},      {"textSubBlurField", "1.5"},
        {"cursorTimerOffField", "0"},      {"minimalModeFlag", "0"},
        {"eqBand9Field", "0"},             {"mediaPathField", ""},
        {"processHandleField", ""},        {"engineOutputBox", ""},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString::fromUtf8(row.first) << QString::fromUtf8(row.second);
}

void StateStoreTest::freshStateHoldsDefaults()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    PlayerState state;
    const Field f = PlayerState::fromName(field);
    QVERIFY2(f != Field::Count, qPrintable(field));
    QCOMPARE(state.value(f), expected);
    QCOMPARE(PlayerState::defaultOf(f), expected);
}

void StateStoreTest::styleHeaderIsTheFixedText()
{
    PlayerState state;
    const QString header = state.value(Field::assScriptHeaderField);
    QCOMPARE(header.split(QStringLiteral("\r\n")),
             QStringList({QStringLiteral("[Script Info]"), QStringLiteral("ScriptType: v4.00+"),
                          QString(), QStringLiteral("[V4+ Styles]"),
                          QStringLiteral("Format: Name, Fontname, Fontsize, Bold, Italic, "
                                         "MarginV, Outline, Shadow, PrimaryColour, "
                                         "OutlineColour, BackColour, BorderStyle, Alignment"),
                          QStringLiteral("Style: Default,")}));
    QVERIFY(!header.contains(QStringLiteral("\n\n")));
}

void StateStoreTest::everyFieldHasAUniqueName()
{
    QSet<QString> names;
    for (int i = 0; i < fieldCount; ++i) {
        const QString name = PlayerState::nameOf(static_cast<Field>(i));
        QVERIFY(!names.contains(name));
        names.insert(name);
        QCOMPARE(PlayerState::fromName(name), static_cast<Field>(i));
    }
    QCOMPARE(PlayerState::fromName(QStringLiteral("playstatefield")), Field::Count);
}

void StateStoreTest::writesNotifyOnlyOnChange()
{
    PlayerState state;
    QSignalSpy spy(&state, &PlayerState::changed);
    state.setValue(Field::volumeField, QStringLiteral("50"));
    QCOMPARE(spy.count(), 0);
    state.setValue(Field::volumeField, QStringLiteral("55"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Field>(), Field::volumeField);
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("55"));
}

void StateStoreTest::outputGrowsByCrLfAndChunk()
{
    PlayerState state;
    state.setValue(Field::engineOutputBox, QStringLiteral("mplayer \"a.mkv\"\r\n"));
    QSignalSpy appended(&state, &PlayerState::outputAppended);
    state.appendOutput(QStringLiteral("Playing a.mkv.\r\n"));
    QCOMPARE(state.value(Field::engineOutputBox),
             QStringLiteral("mplayer \"a.mkv\"\r\n\r\nPlaying a.mkv.\r\n"));
    QCOMPARE(appended.count(), 1);
    QCOMPARE(appended.at(0).at(0).toString(), QStringLiteral("\r\nPlaying a.mkv.\r\n"));
}

void StateStoreTest::optionArraysStartWithTheirMarks_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("checked"); // -1: none
    QTest::addColumn<QString>("lastCaption");
    auto row = [](const char *name, Menu m, int count, int checked, const char *last) {
        QTest::newRow(name) << static_cast<int>(m) << count << checked << QString::fromUtf8(last);
    };
    row("video output", Menu::videoOutputMenu, 8, -1, "Colour AsCii Art library (caca)");
    row("deinterlace", Menu::deinterlaceMenu, 9, 0, "Donald Graft's adaptive kernel deinterlacer");
    row("scaler", Menu::scalerMenu, 11, 2, "natural bicubic spline");
    row("sample rate", Menu::sampleRateMenu, 13, 0, "192000 Hz");
    row("channels", Menu::channelsMenu, 3, 0, "6ch (full 5.1)");
    row("stereo", Menu::stereoModeMenu, 3, 0, "우측 채널");
    row("threads", Menu::decodingThreadsMenu, 9, 0, "8");
    row("aspect", Menu::aspectMenu, 6, 0, "비율 유지 안 함");
    row("always on top", Menu::alwaysOnTopMenu, 3, 1, "사용 안 함");
    row("cpu priority", Menu::cpuPriorityMenu, 6, -1, "낮음");
    row("deblocking", Menu::deblockingMenu, 6, -1, "experimental vertical deblocking filter (v1)");
    row("pitch correction", Menu::pitchCorrectionMenu, 1, 0, "피치 보정");
    row("show subtitles", Menu::showSubtitlesMenu, 1, 0, "자막 보이기");
    row("show bars", Menu::showBarsMenu, 1, -1, "상태, 하단 표시줄 보이기");
    row("mute", Menu::muteMenu, 1, -1, "음소거");
    row("desktop", Menu::desktopModeMenu, 1, -1, "바탕화면으로 보기");
    row("subtitle none", Menu::subtitleNoneMenu, 1, 0, "없음");
}

void StateStoreTest::optionArraysStartWithTheirMarks()
{
    QFETCH(int, menu);
    QFETCH(int, count);
    QFETCH(int, checked);
    QFETCH(QString, lastCaption);
    OptionStore store;
    const Menu m = static_cast<Menu>(menu);
    QCOMPARE(store.itemCount(m), count);
    QCOMPARE(store.checkedItem(m).value_or(-1), checked);
    QCOMPARE(store.caption(m, count - 1), lastCaption);
}

void StateStoreTest::videoDriversAreTheLinuxOnes()
{
    OptionStore store;
    QStringList captions;
    for (int i : store.indices(Menu::videoOutputMenu))
        captions << store.caption(Menu::videoOutputMenu, i);
    QCOMPARE(captions, QStringList({QStringLiteral("X Video (xv)"), QStringLiteral("X11 (x11)"),
                                    QStringLiteral("VDPAU (vdpau)"), QStringLiteral("OpenGL (gl)"),
                                    QStringLiteral("OpenGL YUV (gl:yuv=4:force-pbo:ati-hack)"),
                                    QStringLiteral("OpenGL multiple textures version (gl_tiled)"),
                                    QStringLiteral("MatrixView (matrixview)"),
                                    QStringLiteral("Colour AsCii Art library (caca)")}));
}

void StateStoreTest::chooseUnchecksEveryOtherItem()
{
    OptionStore store;
    store.setChecked(Menu::scalerMenu, 5, true); // two checked: the first one counts
    QCOMPARE(store.checkedItem(Menu::scalerMenu).value_or(-1), 2);
    store.choose(Menu::scalerMenu, 9);
    QCOMPARE(store.checkedItem(Menu::scalerMenu).value_or(-1), 9);
    for (int i : store.indices(Menu::scalerMenu))
        QCOMPARE(store.isChecked(Menu::scalerMenu, i), i == 9);
    // Choosing the checked item again keeps it checked.
    store.choose(Menu::scalerMenu, 9);
    QVERIFY(store.isChecked(Menu::scalerMenu, 9));
}

void StateStoreTest::deblockingItemsAreIndependent()
{
    OptionStore store;
    store.setChecked(Menu::deblockingMenu, 0, true);
    store.setChecked(Menu::deblockingMenu, 3, true);
    QVERIFY(store.isChecked(Menu::deblockingMenu, 0));
    QVERIFY(!store.isChecked(Menu::deblockingMenu, 1));
    QVERIFY(!store.isChecked(Menu::deblockingMenu, 2));
    QVERIFY(store.isChecked(Menu::deblockingMenu, 3));
}

void StateStoreTest::runTimeListsLoadAndUnload()
{
    OptionStore store;
    for (Menu m : {Menu::dvdDriveMenu, Menu::audioTrackMenu, Menu::subtitleFileMenu,
                   Menu::embeddedSubtitleMenu}) {
        QCOMPARE(store.itemCount(m), 1);
        QCOMPARE(store.caption(m, 0), QStringLiteral("(비어 있음)"));
        QVERIFY(!store.entry(m, 0).enabled);
    }
    QVERIFY(store.entry(Menu::audioTrackMenu, 0).visible);
    QVERIFY(!store.entry(Menu::subtitleFileMenu, 0).visible);

    QSignalSpy items(&store, &OptionStore::itemsChanged);
    QCOMPARE(store.loadItem(Menu::audioTrackMenu), 1);
    QCOMPARE(store.loadItem(Menu::audioTrackMenu), 2);
    QVERIFY(store.unloadItem(Menu::audioTrackMenu, 1));
    // Indices are not renumbered, and the next load goes past the highest.
    QCOMPARE(store.indices(Menu::audioTrackMenu), QList<int>({0, 2}));
    QCOMPARE(store.loadItem(Menu::audioTrackMenu), 3);
    QVERIFY(!store.unloadItem(Menu::audioTrackMenu, 0));
    QVERIFY(!store.unloadItem(Menu::audioTrackMenu, 1));
    QCOMPARE(items.count(), 4);
}

void StateStoreTest::resetListLeavesOnlyThePlaceholder()
{
    OptionStore store;
    store.setCaption(Menu::audioTrackMenu, 0, QStringLiteral("0 - kor"));
    store.setEnabled(Menu::audioTrackMenu, 0, true);
    store.setChecked(Menu::audioTrackMenu, 0, true);
    const int second = store.loadItem(Menu::audioTrackMenu);
    store.setCaption(Menu::audioTrackMenu, second, QStringLiteral("1 - eng"));
    store.resetList(Menu::audioTrackMenu, true);
    QCOMPARE(store.itemCount(Menu::audioTrackMenu), 1);
    const MenuEntry e = store.entry(Menu::audioTrackMenu, 0);
    QCOMPARE(e.caption, QStringLiteral("(비어 있음)"));
    QVERIFY(!e.enabled);
    QVERIFY(!e.checked);
    QVERIFY(e.visible);
}

void StateStoreTest::missingItemsAreHarmless()
{
    OptionStore store;
    QSignalSpy spy(&store, &OptionStore::entryChanged);
    store.setChecked(Menu::channelsMenu, 7, true);
    store.setCaption(Menu::muteMenu, 3, QStringLiteral("x"));
    QCOMPARE(spy.count(), 0);
    QVERIFY(!store.isChecked(Menu::channelsMenu, 7));
    QVERIFY(store.caption(Menu::channelsMenu, 7).isEmpty());
}

QTEST_GUILESS_MAIN(StateStoreTest)
#include "tst_statestore.moc"
