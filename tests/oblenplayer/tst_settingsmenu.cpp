// The popup menu's options and qzconfig.ini in the running window under
// openbox: the file made at start-up, the renderer chosen from the menu,
// always on top, and the saved position.
#include "graph/gstgraph.h"
#include "settings/profileini.h"
#include "window/controlbar.h"
#include "window/mainform.h"
#include "window/popupmenu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

QString xprop(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), arguments);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The frame's top left by the border the window manager gives now; the
// widget's own idea of its border can lag (see the maximised step).
QPoint framePosition(const QWidget &w)
{
    const QMargins border = w.windowHandle()->frameMargins();
    return w.geometry().topLeft() - QPoint(border.left(), border.top());
}

// The main window started the way the program starts it, with its settings
// file in a folder of its own holding the given text, if any.
struct StartedWindow
{
    QTemporaryDir dir;
    QString path = dir.filePath(ProgramSettings::fileName);
    mainform w;

    explicit StartedWindow(const QByteArray &file = {})
    {
        QFile f(path);
        if (!file.isEmpty() && f.open(QIODevice::WriteOnly))
            f.write(file);
        f.close();
        w.popupMenu()->setSettingsPath(path);
        w.popupMenu()->startUp();
        w.show();
    }
    QString value(const char *key) const
    {
        return ProfileIni::fromFile(path)
            .value(ProgramSettings::section, QString::fromUtf8(key))
            .value_or(QStringLiteral("<none>"));
    }
    bool above() const
    {
        return xprop({QStringLiteral("-id"), QString::number(w.winId()),
                      QStringLiteral("_NET_WM_STATE")})
            .contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
    }
};

// The global position of the last pointer move the program has handled.
struct PointerWatch : QObject
{
    std::optional<QPoint> lastMove;
    PointerWatch() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove)
            lastMove = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        return false;
    }
};

} // namespace

class SettingsMenuTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(GstFilgraphManager::initialise());
        // The menu's tests run on a bare display too, and must really have one.
        const bool managed =
            xprop({QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QStringLiteral("window id"));
        if (qEnvironmentVariableIsSet("OBLEN_BARE_DISPLAY"))
            QVERIFY2(!managed, "a window manager runs on the bare display");
        else
            QVERIFY2(managed, "needs a window manager (own_display.sh --openbox)");
    }

    void startsWithoutAFileAndTheMenuChoosesTheOptions()
    {
        StartedWindow s;
        mainform &w = s.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QFile f(s.path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList keys;
        for (const QString &line :
             QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')).mid(1, 13))
            keys << line.section(QLatin1Char('='), 0, 0);
        QCOMPARE(keys, ProgramSettings::keys());
        QCOMPARE(s.value("렌더러선택2"), QStringLiteral("True"));

        // Always on top by default, off and on again from the menu.
        QTRY_VERIFY(s.above());
        w.popupMenu()->topmostMenu->trigger();
        QTRY_VERIFY(!s.above());
        QCOMPARE(s.value("항상위"), QStringLiteral("False"));
        w.popupMenu()->topmostMenu->trigger();
        QTRY_VERIFY(s.above());

        // Nothing loaded: the choice is only made and saved.
        w.popupMenu()->rendererMenu[0]->trigger();
        QVERIFY(w.controlBar()->rendererOption->button(0)->isChecked());
        QCOMPARE(s.value("렌더러선택0"), QStringLiteral("True"));
        QCOMPARE(s.value("영상렌더러장치메뉴0"), QStringLiteral("True"));
        QCOMPARE(s.value("영상렌더러장치메뉴2"), QStringLiteral("False"));
        // The option buttons move the menu's check along.
        w.controlBar()->rendererOption->button(2)->click();
        QVERIFY(w.popupMenu()->rendererMenu[2]->isChecked());
        QVERIFY(!w.popupMenu()->rendererMenu[0]->isChecked());

        // While playing, the rebuild keeps the position and the play state.
        w.core().openMedia(QStringLiteral(OBLEN_TEST_MEDIA "/clip.mp4"));
        QTRY_VERIFY(w.core().graph() && w.core().graph()->CurrentPosition().value_or(0) > 1.5);
        const double before = *w.core().graph()->CurrentPosition();
        w.popupMenu()->rendererMenu[1]->trigger();
        QCOMPARE(s.value("렌더러선택1"), QStringLiteral("True"));
        QVERIFY(w.controlBar()->rendererOption->button(1)->isChecked());
        // The rebuild's graph is built away from the window.
        QTRY_VERIFY(!w.core().isOpening());
        QVERIFY(w.core().graph() &&
                w.core().graph()->CurrentPosition().value_or(0) >= before - 0.1);
        QCOMPARE(w.core().graph()->GetState(2000).value_or(GraphState::Stopped),
                 GraphState::Running);
        w.core().closeMedia();
    }

    void savedPositionIsTakenAndQuittingSavesIt_data()
    {
        QTest::addColumn<QByteArray>("left");
        QTest::addColumn<QPoint>("placed");
        QTest::addColumn<bool>("maximisedAtQuit");
        // The display is 1600x900; x -1 stands for near its right edge.
        QTest::newRow("on screen") << QByteArray("4500") << QPoint(300, 100) << false;
        QTest::newRow("negative") << QByteArray("-3000") << QPoint(0, 100) << false;
        QTest::newRow("on no screen") << QByteArray("300000") << QPoint(-1, 100) << false;
        // The frame of a maximised window is not the frame it is restored
        // with: the restored position is saved, to the pixel.
        QTest::newRow("maximised") << QByteArray("4500") << QPoint(300, 100) << true;
    }
    void savedPositionIsTakenAndQuittingSavesIt()
    {
        QFETCH(QByteArray, left);
        QFETCH(QPoint, placed);
        QFETCH(bool, maximisedAtQuit);
        StartedWindow s("[PROGRAM SETTING]\nLEFT=" + left + "\nTOP=1500\n볼륨=-2500\n");
        mainform &w = s.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(framePosition(w).y(), placed.y());
        const int x = framePosition(w).x();
        if (placed.x() < 0)
            QVERIFY2(x > 1000 && x < 1600, qPrintable(QString::number(x)));
        else
            QCOMPARE(x, placed.x());
        QCOMPARE(w.controlBar()->volumeLabel->text(), QStringLiteral("-25"));

        // The window manager can be slow to answer on a loaded machine.
        w.move(210, 150);
        QTRY_COMPARE_WITH_TIMEOUT(framePosition(w), QPoint(210, 150), 20000);
        if (maximisedAtQuit) {
            w.showMaximized();
            // The inside spans the screen once the window manager has done
            // it. Not the widget's frame: Qt updates its frame margins on a
            // move, and openbox may change them after its last move, which
            // leaves the old border (a frame at -1,-1) for good.
            const int across = w.screen()->availableGeometry().width();
            const auto where = [&w] {
                const QRect g = w.geometry();
                return QStringLiteral("maximised %1, inside %2,%3 %4x%5")
                    .arg(w.isMaximized()).arg(g.x()).arg(g.y())
                    .arg(g.width()).arg(g.height());
            };
            QTRY_VERIFY2_WITH_TIMEOUT(
                w.isMaximized() && w.geometry().x() == 0 && w.geometry().width() == across,
                qPrintable(where()), 20000);
        }
        QVERIFY(w.close());
        QCOMPARE(s.value("LEFT"), QStringLiteral("3150"));
        QCOMPARE(s.value("TOP"), QStringLiteral("2250"));
    }

    // Real clicks through X over the cover, a playing sound and a picture:
    // however the right button is clicked (once, twice or thrice in a row,
    // dragged, again elsewhere) the menu ends up open where it was last
    // released, and no entry is chosen on the way; a left click outside and
    // Escape still close it. "@x,y" is a point of the picture area.
    void rightClicksKeepTheMenuOpen_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QStringList>("gesture");
        // The picture-area point the menu's corner is at; none: closed.
        QTest::addColumn<std::optional<QPoint>>("openAt");
        const QString sound = QStringLiteral(SAMPLE_MEDIA "/audio-only.mp3");
        const QString picture = QStringLiteral(OBLEN_TEST_MEDIA "/clip.mp4");
        const auto clicks = [](int count) {
            return QStringList{"mousemove", "@40,40", "click", "--repeat", QString::number(count),
                               "--delay", "80", "3"};
        };
        for (const auto &[where, clip] : {std::pair{"cover", QString()},
                                          std::pair{"sound only", sound},
                                          std::pair{"picture", picture}}) {
            QTest::addRow("%s, then elsewhere", where)
                << clip << clicks(1) + QStringList{"mousemove", "@20,100", "click", "3"}
                << std::optional(QPoint(20, 100));
            QTest::addRow("%s, double", where) << clip << clicks(2) << std::optional(QPoint(40, 40));
        }
        QTest::newRow("triple") << QString() << clicks(3) << std::optional(QPoint(40, 40));
        QTest::newRow("again after a pause")
            << QString()
            << QStringList{"mousemove", "@40,40", "click", "3", "sleep", "0.6", "click", "3"}
            << std::optional(QPoint(40, 40));
        QTest::newRow("dragged") << QString()
                                 << QStringList{"mousemove", "@40,40", "mousedown", "3",
                                                "mousemove", "@90,70", "mouseup", "3"}
                                 << std::optional(QPoint(90, 70));
        // The menu hangs down and right of the pointer: these are outside it.
        QTest::newRow("quickly elsewhere")
            << sound
            << QStringList{"mousemove", "@60,90", "click", "3", "mousemove", "@20,30", "click", "3"}
            << std::optional(QPoint(20, 30));
        QTest::newRow("double, then dragged from outside")
            << picture
            << QStringList{"mousemove", "@60,90", "click", "--repeat", "2", "--delay", "80", "3",
                           "mousemove", "@20,30", "mousedown", "3", "mousemove", "@30,50",
                           "mouseup", "3"}
            << std::optional(QPoint(30, 50));
        QTest::newRow("left click outside")
            << QString() << QStringList{"mousemove", "@60,90", "click", "3", "mousemove", "@20,30",
                                        "click", "1"}
            << std::optional<QPoint>();
        QTest::newRow("escape") << QString()
                                << QStringList{"mousemove", "@40,40", "click", "3", "key", "Escape"}
                                << std::optional<QPoint>();
    }
    void rightClicksKeepTheMenuOpen()
    {
        QFETCH(QString, clip);
        QFETCH(QStringList, gesture);
        QFETCH(std::optional<QPoint>, openAt);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (!clip.isEmpty()) {
            w.core().openMedia(clip);
            QTRY_VERIFY(w.core().graph() && w.core().graph()->CurrentPosition().value_or(0) > 0.2);
        }
        PopupMenu *menu = w.popupMenu();
        // A chosen entry is only counted: 파일 열기 would wait in its dialog.
        QObject::disconnect(menu->entry(QStringLiteral("openMenu")), nullptr, &w, nullptr);
        QSignalSpy chosen(menu, &QMenu::triggered);
        QSignalSpy hidden(menu, &QMenu::aboutToHide);

        QStringList arguments;
        QPoint last; // where the gesture leaves the pointer
        // The screen points clicked, by picture point: the window manager may
        // still move the window by a pixel after the gesture, and a menu
        // stays where it was opened.
        QHash<QPoint, QPoint> clicked;
        for (const QString &word : gesture) {
            if (!word.startsWith(QLatin1Char('@'))) {
                arguments << word;
                continue;
            }
            const QStringList xy = word.mid(1).split(QLatin1Char(','));
            const QPoint point(xy[0].toInt(), xy[1].toInt());
            last = w.picVideoWindow()->mapToGlobal(point);
            clicked.insert(point, last);
            arguments << QString::number(last.x()) << QString::number(last.y());
        }
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);

        // Once the program has had a pointer move made after the gesture, it
        // has had every event of the gesture.
        PointerWatch watch;
        const QPoint after = last + QPoint(0, 1);
        QProcess::execute(QStringLiteral("xdotool"), {"mousemove_relative", "--", "0", "1"});
        QTRY_COMPARE(watch.lastMove, std::optional(after));
        QCOMPARE(chosen.count(), 0);
        if (!openAt) {
            QVERIFY(!menu->isVisible());
            return;
        }
        // Moved, never closed and opened again.
        QCOMPARE(hidden.count(), 0);
        QVERIFY(menu->isVisible());
        QCOMPARE(QApplication::activePopupWidget(), menu);
        QVERIFY(clicked.contains(*openAt));
        QCOMPARE(menu->pos(), clicked.value(*openAt) - QPoint(1, 1));
        menu->close();
    }

    // A right click on the picture opens the menu; its entries press the
    // window's buttons.
    void rightClickOpensTheMenu()
    {
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.videoCover(), Qt::RightButton, {}, QPoint(40, 40));
        QTRY_VERIFY(w.popupMenu()->isVisible());
        QStringList captions;
        for (const QAction *a : w.popupMenu()->actions())
            captions << a->text();
        QCOMPARE(captions,
                 QStringList({"파일 열기　　　F2", "닫기　　　　　 F4", "", "재생", "영상", "음성",
                              "필터", "환경설정", "", "프로그램 정보", "오블렌의 연구소", "종료"}));
        QVERIFY(!w.popupMenu()->filterMenu->menuAction()->isEnabled());
        w.popupMenu()->close();
        w.core().setVolume(-3000);
        w.popupMenu()->entry(QStringLiteral("volumeUpMenu"))->trigger();
        QCOMPARE(w.controlBar()->volumeBar->value(), -2000);
    }

    // A window manager that starts after the window (a session that starts
    // its programs first, a busy one) still gets the frame at the saved
    // place. Last: the window manager it starts stays until the end.
    void aLateWindowManagerFramesItAtTheSavedPlace()
    {
        if (!qEnvironmentVariableIsSet("OBLEN_BARE_DISPLAY"))
            QSKIP("starts its own window manager on the bare display");
        StartedWindow s("[PROGRAM SETTING]\nLEFT=4500\nTOP=1500\n");
        mainform &w = s.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.geometry().topLeft(), QPoint(300, 100));
        // Late is the point: past the program's first quick looks.
        QTest::qWait(2000);
        QProcess openbox;
        openbox.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        QVERIFY(openbox.waitForStarted());
        QTRY_VERIFY2_WITH_TIMEOUT(!w.windowHandle()->frameMargins().isNull() &&
                                      framePosition(w) == QPoint(300, 100),
                                  qPrintable(QStringLiteral("frame at %1,%2")
                                                 .arg(framePosition(w).x())
                                                 .arg(framePosition(w).y())),
                                  15000);
        QVERIFY(w.close());
        QCOMPARE(s.value("LEFT"), QStringLiteral("4500"));
        QCOMPARE(s.value("TOP"), QStringLiteral("1500"));
        openbox.terminate();
        openbox.waitForFinished(5000);
    }
};

QTEST_MAIN(SettingsMenuTest)
#include "tst_settingsmenu.moc"
