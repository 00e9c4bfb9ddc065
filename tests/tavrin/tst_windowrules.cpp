// The main window's rules that need no display: where the frame lies, the
// window size from the source, the always-on-top choice, the wheel, the
// resting pointer and which mode each request leads to.
#include "state/playerstate.h"
#include "window/displaymode.h"
#include "window/windowrules.h"

#include <QTest>

using namespace WindowRules;
using DisplayMode::Mode;
using DisplayMode::Request;
using DisplayMode::Step;

Q_DECLARE_METATYPE(std::optional<QSize>)
Q_DECLARE_METATYPE(std::optional<bool>)
Q_DECLARE_METATYPE(std::optional<int>)

class WindowRulesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void frameLiesBetweenOrUnderTheBars_data();
    void frameLiesBetweenOrUnderTheBars();
    void windowSizeFromTheSource_data();
    void windowSizeFromTheSource();
    void alwaysOnTopChoice_data();
    void alwaysOnTopChoice();
    void wheelStepsOncePerNotch_data();
    void wheelStepsOncePerNotch();
    void restingPointerHidesAfter900ms();
    void stateTable_data();
    void stateTable();
};

void WindowRulesTest::frameLiesBetweenOrUnderTheBars_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<bool>("borderless");
    QTest::addColumn<bool>("minimal");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("normal") << QSize(640, 422) << false << false << QRect(0, 22, 640, 360);
    QTest::newRow("minimal") << QSize(640, 360) << false << true << QRect(0, 0, 640, 360);
    QTest::newRow("borderless") << QSize(1600, 900) << true << false << QRect(0, 0, 1600, 900);
    QTest::newRow("borderless and minimal")
        << QSize(1600, 900) << true << true << QRect(0, 0, 1600, 900);
    QTest::newRow("shorter than the bars")
        << QSize(320, 50) << false << false << QRect(0, 22, 320, 0);
}

void WindowRulesTest::frameLiesBetweenOrUnderTheBars()
{
    QFETCH(QSize, client);
    QFETCH(bool, borderless);
    QFETCH(bool, minimal);
    QFETCH(QRect, expected);
    QCOMPARE(videoFrameRect(client, borderless, minimal, 22, 40), expected);
    QCOMPARE(hoverZoneRect(client, 40), QRect(0, client.height() - 40, client.width(), 40));
    QCOMPARE(minimumClientSize(22, 40), QSize(320, 62));
}

void WindowRulesTest::windowSizeFromTheSource_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("minimal");
    QTest::addColumn<std::optional<QSize>>("expected");
    const std::optional<QSize> none;
    QTest::newRow("1.0 minimal") << "640"
                                 << "360" << 1.0 << 1.0 << true << std::optional(QSize(640, 360));
    QTest::newRow("1.0 with bars")
        << "640"
        << "360" << 1.0 << 1.0 << false << std::optional(QSize(640, 422));
    QTest::newRow("0.5") << "640"
                         << "360" << 0.5 << 1.0 << true << std::optional(QSize(320, 180));
    QTest::newRow("1.5") << "640"
                         << "360" << 1.5 << 1.0 << false << std::optional(QSize(960, 602));
    QTest::newRow("2.0") << "640"
                         << "360" << 2.0 << 1.0 << true << std::optional(QSize(1280, 720));
    QTest::newRow("odd half rounds") << "161"
                                     << "91" << 0.5 << 1.0 << true << std::optional(QSize(81, 46));
    // One source pixel is one device pixel.
    QTest::newRow("device pixel ratio 2")
        << "640"
        << "360" << 1.0 << 2.0 << true << std::optional(QSize(320, 180));
    QTest::newRow("width unknown") << ""
                                   << "360" << 1.0 << 1.0 << false << none;
    QTest::newRow("height unknown") << "640"
                                    << "" << 2.0 << 1.0 << false << none;
    QTest::newRow("not a size") << "0"
                                << "abc" << 1.0 << 1.0 << false << none;
    QTest::newRow("a broken stream's size") << "2147483647"
                                            << "360" << 1.0 << 1.0 << false << none;
    QTest::newRow("a broken stream's height") << "640"
                                              << "2147483000" << 1.0 << 1.0 << true << none;
    QTest::newRow("doubled past the largest window")
        << "16000000"
        << "9000000" << 2.0 << 1.0 << false << std::optional(QSize(16777215, 16777215));
}

void WindowRulesTest::windowSizeFromTheSource()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(double, factor);
    QFETCH(double, ratio);
    QFETCH(bool, minimal);
    QFETCH(std::optional<QSize>, expected);
    QCOMPARE(clientSizeForFactor(width, height, factor, ratio, minimal, 62), expected);
}

void WindowRulesTest::alwaysOnTopChoice_data()
{
    QTest::addColumn<std::optional<int>>("item");
    QTest::addColumn<QString>("playState");
    QTest::addColumn<std::optional<bool>>("expected");
    QTest::newRow("사용, stopped") << std::optional(0) << PlayState::stopped << std::optional(true);
    QTest::newRow("재생시만 사용, playing")
        << std::optional(1) << PlayState::playing << std::optional(true);
    QTest::newRow("재생시만 사용, paused")
        << std::optional(1) << PlayState::paused << std::optional(false);
    QTest::newRow("재생시만 사용, stopped")
        << std::optional(1) << PlayState::stopped << std::optional(false);
    QTest::newRow("사용 안 함, playing")
        << std::optional(2) << PlayState::playing << std::optional(false);
    QTest::newRow("none checked") << std::optional<int>() << PlayState::playing
                                  << std::optional<bool>();
}

void WindowRulesTest::alwaysOnTopChoice()
{
    QFETCH(std::optional<int>, item);
    QFETCH(QString, playState);
    QFETCH(std::optional<bool>, expected);
    QCOMPARE(alwaysOnTopWanted(item, playState), expected);
}

void WindowRulesTest::wheelStepsOncePerNotch_data()
{
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("notch up") << QList<int>{120} << QList<int>{1};
    QTest::newRow("notch down") << QList<int>{-120} << QList<int>{-1};
    QTest::newRow("two notches at once") << QList<int>{240} << QList<int>{2};
    QTest::newRow("horizontal scroll") << QList<int>{0, 0} << QList<int>{0, 0};
    QTest::newRow("high-resolution notch")
        << QList<int>{15, 15, 15, 15, 15, 15, 15, 15} << QList<int>{0, 0, 0, 0, 0, 0, 0, 1};
    QTest::newRow("remainder kept") << QList<int>{80, 80, 80} << QList<int>{0, 1, 1};
    QTest::newRow("turning back starts afresh")
        << QList<int>{100, -120, -20} << QList<int>{0, -1, 0};
}

void WindowRulesTest::wheelStepsOncePerNotch()
{
    QFETCH(QList<int>, deltas);
    QFETCH(QList<int>, steps);
    WheelSteps wheel;
    QList<int> got;
    for (int delta : deltas)
        got << wheel.add(delta);
    QCOMPARE(got, steps);
}

void WindowRulesTest::restingPointerHidesAfter900ms()
{
    CursorIdle idle;
    QVERIFY(!idle.tick(100)); // the first look is a move
    for (int i = 1; i < 9; ++i)
        QVERIFY2(!idle.tick(100), qPrintable(QString::number(i)));
    QVERIFY(idle.tick(100));
    QCOMPARE(idle.idleMs(), 900);
    // It stays capped, and a vertical move (same x) does not count.
    QVERIFY(idle.tick(100));
    QCOMPARE(idle.idleMs(), 900);
    // A horizontal move shows it at the next tick.
    QVERIFY(!idle.tick(101));
    QCOMPARE(idle.idleMs(), 0);
    idle.reset();
    QCOMPARE(idle.idleMs(), 0);
}

void WindowRulesTest::stateTable_data()
{
    QTest::addColumn<Mode>("from");
    QTest::addColumn<Request>("request");
    QTest::addColumn<bool>("minimal");
    QTest::addColumn<Step>("step");
    QTest::addColumn<Mode>("to");
    QTest::newRow("normal, Enter") << Mode::Normal << Request::ExternalFullScreen << false
                                   << Step::EnterFullScreen << Mode::FullScreen;
    QTest::newRow("minimal, middle click") << Mode::Minimal << Request::ToggleFullScreen << true
                                           << Step::EnterFullScreen << Mode::FullScreen;
    QTest::newRow("normal, Ctrl+Enter") << Mode::Normal << Request::ExternalFillScreen << false
                                        << Step::EnterFillScreen << Mode::FillScreen;
    QTest::newRow("full, Ctrl+Enter") << Mode::FullScreen << Request::ExternalFillScreen << false
                                      << Step::SwitchToFillScreen << Mode::FillScreen;
    QTest::newRow("fill, Enter") << Mode::FillScreen << Request::ExternalFullScreen << false
                                 << Step::SwitchToFullScreen << Mode::FullScreen;
    QTest::newRow("full, Enter, to normal")
        << Mode::FullScreen << Request::ExternalFullScreen << false << Step::Leave << Mode::Normal;
    QTest::newRow("full, middle click, to minimal")
        << Mode::FullScreen << Request::ToggleFullScreen << true << Step::Leave << Mode::Minimal;
    QTest::newRow("full, size key")
        << Mode::FullScreen << Request::SizeFactor << false << Step::Leave << Mode::Normal;
    QTest::newRow("fill, Ctrl+Enter")
        << Mode::FillScreen << Request::ExternalFillScreen << true << Step::Leave << Mode::Minimal;
    QTest::newRow("fill, middle click")
        << Mode::FillScreen << Request::ToggleFullScreen << false << Step::Leave << Mode::Normal;
    QTest::newRow("fill, size key")
        << Mode::FillScreen << Request::SizeFactor << false << Step::Leave << Mode::Normal;
    QTest::newRow("windowed, size key")
        << Mode::Normal << Request::SizeFactor << false << Step::None << Mode::Normal;
}

void WindowRulesTest::stateTable()
{
    QFETCH(Mode, from);
    QFETCH(Request, request);
    QFETCH(bool, minimal);
    QFETCH(Step, step);
    QFETCH(Mode, to);
    const bool borderless = from == Mode::FullScreen || from == Mode::FillScreen;
    const QString state = from == Mode::FullScreen   ? DisplayMode::fullScreen
                          : from == Mode::FillScreen ? DisplayMode::fillScreen
                                                     : QString();
    QCOMPARE(DisplayMode::modeOf(borderless, state, minimal), from);
    QCOMPARE(DisplayMode::stepFor(request, borderless, state), step);
    QCOMPARE(DisplayMode::modeAfter(from, step, minimal), to);
}

QTEST_GUILESS_MAIN(WindowRulesTest)
#include "tst_windowrules.moc"
