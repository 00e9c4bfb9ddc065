// The popup menu over the main window: every entry's text and first marks,
// marks that follow the option store, restarts, stream choices, the engine's
// priority, always on top under openbox, and the menu opened by the mouse.
#include "enginepause.h"
#include "controls/menuform.h"
#include "controls/transport.h"
#include "engine/commands.h"
#include "fakesystem.h"
#include "receivedlog.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {
const QString playing = QStringLiteral("재생");
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A menu's shown entries: "-" for a line, "✓" before a checked entry and
// "~" before a disabled one.
QString listing(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions()) {
        if (a->isVisible())
            texts << (a->isChecked() ? QStringLiteral("✓") : QString()) +
                         (a->isEnabled() ? QString() : QStringLiteral("~")) +
                         (a->isSeparator() ? QStringLiteral("-")
                          : a->menu()      ? a->menu()->title()
                                           : a->text());
    }
    return texts.join(QLatin1Char('|'));
}

QMenu *submenu(QMenu *menu, const QString &path)
{
    for (const QString &title : path.split(QStringLiteral(" > "), Qt::SkipEmptyParts)) {
        QMenu *found = nullptr;
        for (QAction *a : menu->actions())
            found = (!found && a->menu() && a->menu()->title() == title) ? a->menu() : found;
        if (!(menu = found))
            return nullptr;
    }
    return menu;
}

QStringList list(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}
} // namespace

class PopupMenuTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void entriesOfEachMenu_data();
    void entriesOfEachMenu();
    void marksFollowTheStoreAndRestart_data();
    void marksFollowTheStoreAndRestart();
    void motionVectorsSayWhyTheyCannotBeChosen();
    void stoppedChoicesOnlyMark();
    void streamChoicesResumeTheRealEngine_data();
    void streamChoicesResumeTheRealEngine();
    void streamListsFollowTheRun();
    void priorityOfTheRunningEngine_data();
    void priorityOfTheRunningEngine();
    void neverOnTopUnderTheWindowManager();
    void rightButtonOpensAndTheMouseChooses();

private:
    void playFake();
    QAction *entry(const QString &name) { return m_window->menuForm()->entry(name); }
    void choose(const QString &name)
    {
        QAction *a = entry(name);
        QVERIFY2(a, qPrintable(name));
        a->trigger();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
    ReceivedLog m_log;
};

void PopupMenuTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_log.useScriptedEngine(
        m_dir->path(), "ID_VIDEO_WIDTH=640\nID_VIDEO_HEIGHT=360\nID_AUDIO_ID=0\nID_AID_0_LANG=kor\n"
                       "ID_AUDIO_ID=1\nID_AID_1_LANG=eng\nID_SUBTITLE_ID=0\nID_SID_0_LANG=kor\n"
                       "ID_FILE_SUB_ID=0\nID_FILE_SUB_FILENAME=/media/clip.smi\n"
                       "Starting playback...\n"));
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    m_system = std::make_unique<FakeSystem>();
    m_system->drives = {{QStringLiteral("/dev/sr0"), QStringLiteral("R&B HITS")}};
    m_window = std::make_unique<mainform>(m_system.get());
    m_log.follow(&m_window->core());
    m_window->move(200, 150);
    m_window->resize(640, 400);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
}

void PopupMenuTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 5000);
    }
    m_window.reset();
    m_system.reset();
    qunsetenv("TAVRIN_MPLAYER");
    qunsetenv("ENGINE_TAP_LOG");
}

void PopupMenuTest::playFake()
{
    m_window->core().state().setValue(Field::mediaPathField, QStringLiteral("/media/clip.mkv"));
    m_window->launchEngine();
    QTRY_VERIFY_WITH_TIMEOUT(entry(QStringLiteral("audioTrackMenu_1")), 5000);
    m_log.freshCommands(200);
}

void PopupMenuTest::entriesOfEachMenu_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("entries");
    auto row = [](const char *path, const char *entries) {
        QTest::newRow(path) << QString::fromUtf8(path) << QString::fromUtf8(entries);
    };
    row("",
        "파일 열기\tF2|외부코덱으로 열기\tF3|열기|닫기\tF4|-|재생|영상|음성|자막|분석|-|화면 비율|"
        "화면 크기|기타 설정|전체 화면\tEnter|꽉찬 화면\tCtrl+Enter|-|바탕화면으로 보기|"
        "상태, 하단 표시줄 보이기|-|재생 정보\tCtrl+F1|프로그램 정보\tF1|종료(&X)");
    row("열기", "파일 열기\tCtrl+O|URL 열기\tCtrl+U|외부코덱으로 열기(AviSynth 사용)\tCtrl+D|"
                "DVD 드라이브 재생");
    row("열기 > DVD 드라이브 재생", "/dev/sr0: R&&b Hits");
    row("재생", "재생／일시정지\tSpace|정지\tCtrl+Space |프레임 스텝\tF|-|~10초 뒤로\tLeft|"
                "~10초 앞으로\tRight|~1분 뒤로\tCtrl+Left|~1분 앞으로\tCtrl+Right|"
                "~10분 뒤로\tShift+Left|~10분 앞으로\tShift+Right|-|기본 배속\tZ|"
                "재생 배속 감소\tX|재생 배속 증가\tC");
    row("영상",
        "비디오 출력 드라이버|디인터레이스|소프트웨어 스케일러 종류|디블럭킹 (복수선택가능)|-|"
        "후처리 (PostProcessing)|부드럽게 (Blur)|선명하게 (Sharpen)|3D 노이즈 제거 (hqdn3d)|"
        "링잉 제거 (deringing)|자동으로 밝기／대비 조정 (autolevels)|-|"
        "영상 조절 (색조, 채도, 밝기, 대비)\tCtrl+V");
    row("영상 > 비디오 출력 드라이버",
        "X Video (xv)|✓X11 (x11)|VDPAU (vdpau)|OpenGL (gl)|OpenGL YUV "
        "(gl:yuv=4:force-pbo:ati-hack)|"
        "OpenGL multiple textures version (gl_tiled)|MatrixView (matrixview)|"
        "Colour AsCii Art library (caca)");
    row("영상 > 디인터레이스",
        "✓사용 안 함|linear blend deinterlacer (lb)|linear interpolating deinterlace (li)|"
        "cubic interpolating deinterlacer (ci)|median deinterlacer (md)|ffmpeg deinterlacer (fd)|"
        "FIR lowpass deinterlacer (l5)|YADIF (Yet another deinterlacing filter)|"
        "Donald Graft's adaptive kernel deinterlacer");
    row("영상 > 소프트웨어 스케일러 종류",
        "fast bilinear|bilinear|✓bicubic (good quality) (default)|experimental|"
        "nearest neighbor (bad quality)|area|luma bicubic／chroma bilinear|gauss|sincR|lanczos|"
        "natural bicubic spline");
    row("영상 > 디블럭킹 (복수선택가능)",
        "horizontal deblocking filter (hb)|vertical deblocking filter (vb)|"
        "accurate horizontal deblocking filter (ha)|accurate vertical deblocking filter (va)|"
        "experimental horizontal deblocking filter (h1)|"
        "experimental vertical deblocking filter (v1)");
    row("음성",
        "음성 선택|샘플 레이트 변경|채널|스테레오 모드|-|✓피치 보정|엑스트라 스테레오|"
        "목소리 제거|노멀라이저|-|소리 줄임\tDown|소리 높임\tUp|음소거\tM|-|"
        "기본 싱크\tShift+/|0.1초 느리게\tShift+<|0.1초 빠르게\tShift+>|-|이퀄라이저\tShift+A");
    row("음성 > 음성 선택", "~(비어 있음)");
    row("음성 > 샘플 레이트 변경",
        "✓변경 안 함|8000 Hz|11025 Hz|12000 Hz|16000 Hz|22050 Hz|24000 Hz|"
        "32000 Hz|44100 Hz|48000 Hz|96000 Hz|128000 Hz|192000 Hz");
    row("음성 > 채널", "✓2ch (stereo)|4ch (surround)|6ch (full 5.1)");
    row("음성 > 스테레오 모드", "✓스테레오|좌측 채널|우측 채널");
    row("자막", "✓자막 보이기\tAlt+H|자막 선택|-|기본 싱크\t/|0.1초 느리게\t< or ,|"
                "0.1초 빠르게\t> or .|-|이전 자막 보기\t[|다음 자막 보기\t]|-|글자 작게\tO|"
                "글자 크게\tP|-|자막 설정\tAlt+S");
    row("자막 > 자막 선택", "✓~없음");
    row("분석", "~Visualize motion vectors|MPlayer 기록 보기");
    row("화면 비율",
        "✓원본 비율로 유지|4 : 3 비율로 유지 (TV)|16 : 9 비율로 유지 (HDTV)|"
        "1.85 : 1 비율로 유지 (Wide TV)|2.35 : 1 비율로 유지 (시네마스코프)|비율 유지 안 함");
    row("화면 크기", "0.5x 절반크기\t1|1.0x 원본크기\t2|1.5x 한배반크기\t3|2.0x 두배크기\t4|-|"
                     "전체 화면\tEnter|꽉찬 화면\tCtrl+Enter");
    row("기타 설정", "항상 위|CPU 우선 순위|디코딩 스레드(MPEG-1/2, H.264 Only)");
    row("기타 설정 > 항상 위", "사용|✓재생시만 사용|사용 안 함");
    row("기타 설정 > CPU 우선 순위", "실시간|높음|높은 우선 순위|✓보통|낮은 우선 순위|낮음");
    row("기타 설정 > 디코딩 스레드(MPEG-1/2, H.264 Only)", "✓자동|1|2|3|4|5|6|7|8");
}

void PopupMenuTest::entriesOfEachMenu()
{
    QFETCH(QString, path);
    QFETCH(QString, entries);
    QCOMPARE(m_window->popupMenu()->title(), QStringLiteral("팝업"));
    QMenu *menu = submenu(m_window->popupMenu(), path);
    QVERIFY(menu);
    QCOMPARE(listing(menu), entries);
    // The hints are text only: a shortcut would take the key from the key map.
    for (QAction *a : menu->actions())
        QVERIFY(a->shortcut().isEmpty());
}

void PopupMenuTest::marksFollowTheStoreAndRestart_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("argument");
    auto row = [](const char *name, const char *chosen, const char *checked, const char *arg) {
        QTest::newRow(name) << list(chosen) << list(checked) << QString::fromUtf8(arg);
    };
    row("deinterlacer", "deinterlaceMenu_1", "deinterlaceMenu_1", "pp=lb");
    // The checked item chosen again restarts all the same, and stays checked.
    row("checked item again", "deinterlaceMenu_0", "deinterlaceMenu_0", "-vf");
    row("two deblocking filters", "deblockingMenu_0|deblockingMenu_3",
        "deblockingMenu_0|deblockingMenu_3", "pp=hb/va");
    row("deblocking filter off again", "deblockingMenu_2|deblockingMenu_2", "", "-vf");
    row("toggle", "blurMenu", "blurMenu", "unsharp=l5x5:-1:c5x5:1");
    row("toggle off", "pitchCorrectionMenu", "", "-vf");
    row("ratio applies without restart", "aspectMenu_2", "aspectMenu_2", "");
    // The engine has no motion vectors to draw: the entry is no choice.
    row("motion vectors do nothing", "motionVectorsMenu", "", "");
}

void PopupMenuTest::marksFollowTheStoreAndRestart()
{
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, checked);
    QFETCH(QString, argument);
    playFake();
    PlayerState &state = m_window->core().state();
    for (int n = 0; n < chosen.size(); ++n) {
        const QString run = state.value(Field::processHandleField);
        // Each run logs into a file of its own: the old run's last words stay.
        ReceivedLog oldRun = m_log;
        oldRun.follow(nullptr); // its engine has ended when it is read
        const QString next = m_dir->filePath(QStringLiteral("run%1").arg(n));
        qputenv("FAKE_MPLAYER_LOG", next.toLocal8Bit());
        choose(chosen[n]);
        if (argument.isEmpty()) {
            QVERIFY(!m_log.freshCommands().contains(EngineCommand::quit));
            continue;
        }
        QTRY_VERIFY_WITH_TIMEOUT(state.value(Field::processHandleField) != run &&
                                     state.value(Field::engineOutputBox)
                                         .contains(QStringLiteral("Starting playback...")),
                                 5000);
        QCOMPARE(oldRun.freshCommands(0), QStringList{EngineCommand::quit});
        m_log.setPath(next);
    }
    // The marks are the store's, whatever Qt did to them on the click.
    for (const QString &name : chosen + QStringList{QStringLiteral("deblockingMenu_1")})
        QCOMPARE(entry(name)->isChecked(), checked.contains(name));
    const QString box = state.value(Field::engineOutputBox);
    if (!argument.isEmpty()) {
        QVERIFY2(box.section(QStringLiteral("\r\n"), 0, 0).contains(argument), qPrintable(box));
        QVERIFY(box.contains(QStringLiteral("FAKE_ARG=-ss\r\n")));
    }
}

void PopupMenuTest::motionVectorsSayWhyTheyCannotBeChosen()
{
    QAction *vectors = entry(QStringLiteral("motionVectorsMenu"));
    QVERIFY(!vectors->isEnabled());
    QVERIFY(vectors->toolTip().contains(QStringLiteral("vismv")));
    QMenu *analysis = m_window->popupMenu()->findChild<QMenu *>(QStringLiteral("analysisSubmenu"));
    QVERIFY(analysis && analysis->toolTipsVisible());
    // The other entries show no tip of their own.
    QCOMPARE(entry(QStringLiteral("engineLogMenu"))->toolTip(),
             QStringLiteral("MPlayer 기록 보기"));
}

void PopupMenuTest::stoppedChoicesOnlyMark()
{
    choose(QStringLiteral("deinterlaceMenu_2"));
    choose(QStringLiteral("cpuPriorityMenu_5"));
    QVERIFY(entry(QStringLiteral("cpuPriorityMenu_5"))->isChecked());
    QVERIFY(!m_window->core().isEngineRunning());
    QVERIFY(m_log.all().isEmpty());
    // The next run starts with the choice.
    playFake();
    QVERIFY(
        m_window->core().state().value(Field::engineOutputBox).contains(QStringLiteral("pp=li")));
}

void PopupMenuTest::streamChoicesResumeTheRealEngine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("checkedSubtitle");
    QTest::newRow("embedded") << "embeddedSubtitleMenu_0" << list("sub_demux 0 ")
                              << "embeddedSubtitleMenu_0";
    QTest::newRow("file") << "subtitleFileMenu_0" << list("sub_file 0 ") << "subtitleFileMenu_0";
    QTest::newRow("none") << "subtitleNoneMenu" << list("sub_source -1 ") << "subtitleNoneMenu";
    QTest::newRow("audio track") << "audioTrackMenu_1" << list("switch_audio 1 |volume 50 1 ")
                                 << "subtitleFileMenu_0";
}

// The real engine, paused, plays on after each of these commands: the play
// state must say so.
void PopupMenuTest::streamChoicesResumeTheRealEngine()
{
    QFETCH(QString, name);
    QFETCH(QStringList, sent);
    QFETCH(QString, checkedSubtitle);
    if (!QFile::exists(sample))
        QSKIP("the sample media is made by the build");
    const QString tapped = m_dir->filePath(QStringLiteral("tapped"));
    m_log.setPath(tapped);
    qputenv("ENGINE_TAP_LOG", tapped.toLocal8Bit());
    qputenv("TAVRIN_MPLAYER", ENGINE_TAP_PATH);
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    PlayerState &state = m_window->core().state();
    QTRY_VERIFY_WITH_TIMEOUT(entry(name) && entry(name)->isEnabled(), 15000);
    m_window->transport().pause();
    auto position = [&] {
        state.setValue(Field::currentSecondsField, QString());
        m_window->sendCommand(EngineCommand::getTimePosKeepPause);
        if (!QTest::qWaitFor([&] { return !state.value(Field::currentSecondsField).isEmpty(); },
                             15000))
            return -1.0;
        return state.value(Field::currentSecondsField).toDouble();
    };
    QVERIFY(waitForEnginePause(m_window->core()));
    const double before = position();
    QVERIFY(before > 0);
    QTest::qWait(500);
    QCOMPARE(position(), before);
    m_log.freshCommands(0);

    choose(name);
    QCOMPARE(m_log.freshCommands(), sent);
    QCOMPARE(state.value(Field::playStateField), playing);
    QTRY_VERIFY_WITH_TIMEOUT(position() > before + 0.2, 5000);
    QVERIFY(entry(name)->isChecked());
    for (const char *other : {"subtitleNoneMenu", "subtitleFileMenu_0", "embeddedSubtitleMenu_0"})
        QCOMPARE(entry(QLatin1String(other))->isChecked(), checkedSubtitle == QLatin1String(other));
}

void PopupMenuTest::streamListsFollowTheRun()
{
    QMenu *audio = submenu(m_window->popupMenu(), QStringLiteral("음성 > 음성 선택"));
    QMenu *subtitles = submenu(m_window->popupMenu(), QStringLiteral("자막 > 자막 선택"));
    playFake();
    QCOMPARE(listing(audio), QStringLiteral("✓0 - kor|1 - eng"));
    QCOMPARE(listing(subtitles), QStringLiteral("없음|✓clip.smi|내장 자막: 0 - kor"));
    QVERIFY(entry(QStringLiteral("back10Menu"))->isEnabled());

    m_window->sendCommand(EngineCommand::quit);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 5000);
    QCOMPARE(listing(audio), QStringLiteral("~(비어 있음)"));
    QCOMPARE(listing(subtitles), QStringLiteral("✓~없음"));
    QVERIFY(!entry(QStringLiteral("back10Menu"))->isEnabled());
}

void PopupMenuTest::priorityOfTheRunningEngine_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("nice");
    QTest::newRow("낮음") << 5 << 19;
    QTest::newRow("낮은 우선 순위") << 4 << 5;
    QTest::newRow("높음 (needs root)") << 1 << -10;
}

void PopupMenuTest::priorityOfTheRunningEngine()
{
    QFETCH(int, index);
    QFETCH(int, nice);
    if (nice < 0 && geteuid() != 0)
        QSKIP("only root may raise a priority");
    playFake();
    QFile stat(QStringLiteral("/proc/%1/stat")
                   .arg(m_window->core().state().value(Field::processHandleField)));
    auto niceNow = [&stat] {
        stat.close();
        if (!stat.open(QIODevice::ReadOnly))
            return 1000;
        const QByteArray text = stat.readAll();
        // The fields after the command's closing parenthesis; nice is the 19th.
        return text.mid(text.lastIndexOf(')') + 2).split(' ').value(16).toInt();
    };
    QCOMPARE(niceNow(), 0);
    choose(QStringLiteral("cpuPriorityMenu_%1").arg(index));
    QCOMPARE(niceNow(), nice);
    QVERIFY(!entry(QStringLiteral("cpuPriorityMenu_3"))->isChecked());
}

void PopupMenuTest::neverOnTopUnderTheWindowManager()
{
    if (!run(QStringLiteral("xprop"),
             {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
             .contains(QStringLiteral("window id")))
        QSKIP("needs a window manager (own_display.sh --openbox)");
    auto above = [this] {
        return run(QStringLiteral("xprop"),
                   {QStringLiteral("-id"), QString::number(m_window->winId()),
                    QStringLiteral("_NET_WM_STATE")})
            .contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
    };
    playFake();
    QTRY_VERIFY(above());
    choose(QStringLiteral("alwaysOnTopMenu_2"));
    QTRY_VERIFY(!above());
    QTest::qWait(300);
    QVERIFY(!above());
    choose(QStringLiteral("alwaysOnTopMenu_0"));
    QTRY_VERIFY(above());
}

void PopupMenuTest::rightButtonOpensAndTheMouseChooses()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    auto pointer = [](const QPoint &at, const char *button) {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
        QTest::qWait(200);
        run(QStringLiteral("xdotool"), {QStringLiteral("click"), QLatin1String(button)});
    };
    QWidget *video = m_window->videoWindow();
    const QPoint at = video->mapToGlobal(video->rect().center());
    pointer(at, "3");
    QMenu *menu = m_window->popupMenu();
    QTRY_VERIFY(menu->isVisible());
    // The menu's left edge at the pointer (it may be moved up to fit the screen).
    QCOMPARE(menu->geometry().left(), at.x());
    QVERIFY(menu->geometry().top() <= at.y());

    QAction *bars = entry(QStringLiteral("showBarsMenu"));
    pointer(menu->mapToGlobal(menu->actionGeometry(bars).center()), "1");
    QTRY_VERIFY(!menu->isVisible());
    QTRY_VERIFY(bars->isChecked());
    QVERIFY(m_window->core().options().isChecked(Menu::showBarsMenu));
    QCOMPARE(m_window->core().state().value(Field::minimalModeFlag), QStringLiteral("0"));
}

QTEST_MAIN(PopupMenuTest)
#include "tst_popupmenu.moc"
