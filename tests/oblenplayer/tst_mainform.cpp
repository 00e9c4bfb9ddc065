// The main window under X with the real GStreamer graph: opening by command
// line and drop, the picture inside the video area, the renderer message,
// keys, the wheel and bad media.
#include "common/commandlinetext.h"
#include "graph/graphbuilder.h"
#include "graph/gstgraph.h"
#include "window/controlbar.h"
#include "window/graphvideowindow.h"
#include "window/mainform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>

namespace {

QString media(const QString &name)
{
    return QStringLiteral(OBLEN_TEST_MEDIA "/") + name;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The top-level X windows now on the display, by id.
QSet<quint64> topLevelWindows()
{
    QSet<quint64> ids;
    static const QRegularExpression line(QStringLiteral("^\\s+(\\d+) "));
    for (const QString &l :
         run(QStringLiteral("xwininfo"), {"-root", "-children", "-int"}).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(l);
        if (m.hasMatch())
            ids.insert(m.captured(1).toULongLong());
    }
    return ids;
}

bool isViewable(quint64 id)
{
    return run(QStringLiteral("xwininfo"), {"-id", QString::number(id)})
        .contains(QLatin1String("IsViewable"));
}

// The process a window says it belongs to; 0 when it says nothing (video
// sinks that open their own window do not).
qint64 windowPid(quint64 id)
{
    const QString text = run(QStringLiteral("xprop"), {"-id", QString::number(id), "_NET_WM_PID"});
    static const QRegularExpression pid(QStringLiteral("= (\\d+)"));
    const QRegularExpressionMatch m = pid.match(text);
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

// Distinct colours in a grab: the test pattern has many, a black or empty
// window one or two.
int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y) & 0xf0f0f0);
    return int(colours.size());
}

// Answers every modal box that opens while a test runs, counting them.
struct BoxAnswerer
{
    QStringList texts;
    QTimer timer;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    BoxAnswerer()
    {
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [this]() {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->button(answer)->click();
            }
        });
        timer.start();
    }
};

GraphState state(mainform &w)
{
    FilgraphManager *g = w.core().graph();
    return g ? g->GetState(2000).value_or(GraphState::Stopped) : GraphState::Stopped;
}

} // namespace

class MainFormTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(GstFilgraphManager::initialise()); }

    void commandLineOpensAndShowsThePictureInTheVideoArea()
    {
        const QSet<quint64> before = topLevelWindows();
        mainform w;
        // Away from the corner where other tests' windows open: the grab
        // below reads the screen.
        w.move(560, 360);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Oblen Player v1.0.3"));
        QVERIFY(w.videoCover()->isVisible());

        const QString path = media(QStringLiteral("clip.mp4"));
        w.openFromCommandLine(commandLineText({QStringLiteral("/open"), path}));
        QCOMPARE(w.windowTitle(), QStringLiteral("clip.mp4 - Oblen Player v1.0.3"));
        QCOMPARE(state(w), GraphState::Running);
        QVERIFY(!w.videoCover()->isVisible());
        // Original size: the video area shows the 320x240 source 1:1.
        QTRY_COMPARE(w.picVideoWindow()->size(), QSize(320, 240));
        QTRY_VERIFY(w.core().fields().positionTextField.startsWith(QLatin1String("00:00:0")));
        QTRY_VERIFY(w.statusPanel(1)->text().startsWith(QStringLiteral("재생시간: 00:00:0")));
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("크기: 320x240픽셀"));
        QCOMPARE(w.statusPanel(4)->text(), QStringLiteral("밸런스: Center"));

        // The picture is drawn inside the video area.
        QTest::qWait(500);
        const QImage inside =
            QGuiApplication::primaryScreen()->grabWindow(w.picVideoWindow()->winId()).toImage();
        QCOMPARE(inside.size(), QSize(320, 240));
        QVERIFY2(colourCount(inside) > 8, "no picture in the video area");
        inside.save(QStringLiteral("oblenplayer-video-area.png"));
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QStringLiteral("oblenplayer-screen.png"));

        // No sink opened a top-level window of its own.
        QSet<quint64> ours;
        for (QWindow *window : QGuiApplication::allWindows())
            ours.insert(window->winId());
        for (quint64 id : topLevelWindows() - before) {
            if (ours.contains(id) || !isViewable(id))
                continue;
            const qint64 pid = windowPid(id);
            QVERIFY2(pid != 0 && pid != QCoreApplication::applicationPid(),
                     qPrintable(QStringLiteral("stray window %1").arg(id)));
        }
        const QWidgetList tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(), [](QWidget *t) { return t->isVisible(); }),
                 1);

        // Pause, play, stop from the buttons; keys and the wheel.
        ControlBar *bar = w.controlBar();
        bar->pauseButton->click();
        QCOMPARE(state(w), GraphState::Paused);
        bar->playButton->click();
        QCOMPARE(state(w), GraphState::Running);
        QTest::keyClick(w.picVideoWindow(), Qt::Key_C);
        QCOMPARE(w.core().graph()->Rate(), std::optional(1.1));
        QTest::keyClick(w.picVideoWindow(), Qt::Key_Z);
        QCOMPARE(w.core().graph()->Rate(), std::optional(1.0));
        bar->volumeDownButton->click();
        QCOMPARE(w.core().graph()->Volume(), std::optional(-1000L));
        QCOMPARE(bar->volumeLabel->text(), QStringLiteral("-10"));
        // A wheel turn over the picture lands on the renderer's window, which
        // hands it on to the video area and up to the main window. (Sent from
        // here rather than through X: other tests' windows may lie on top.)
        auto *picture = w.picVideoWindow()->findChild<GraphVideoWindow *>();
        QVERIFY(picture && picture->isVisible());
        QWheelEvent up(QPointF(10, 10), picture->mapToGlobal(QPointF(10, 10)), QPoint(),
                       QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(picture, &up);
        QTRY_COMPARE(bar->volumeBar->value(), -500);
        QCOMPARE(w.core().graph()->Volume(), std::optional(-500L));
        bar->balanceLeftButton->click();
        QCOMPARE(w.core().graph()->Balance(), std::optional(-10000L));
        bar->balanceCenterButton->click();
        bar->stopButton->click();
        QCOMPARE(state(w), GraphState::Stopped);

        // A window too narrow for both side panels hides the right one.
        w.resize(900, w.height());
        QTRY_VERIFY(bar->CSide2->isVisible());
        QVERIFY(bar->CSide2->geometry().right() == bar->width() - 1);
        QCOMPARE(bar->positionBar->width(), 900);
        w.resize(320, w.height());
        QTRY_VERIFY(!bar->CSide2->isVisible());
        QCOMPARE(w.picVideoWindow()->width(), 320);

        // F4 closes.
        QTest::keyClick(w.picVideoWindow(), Qt::Key_F4);
        QCOMPARE(w.windowTitle(), QStringLiteral("Oblen Player v1.0.3"));
        QVERIFY(!w.core().graph());
        QVERIFY(w.videoCover()->isVisible());
        QVERIFY(w.statusPanel(1)->text().isEmpty());
    }

    void dropsOfOneFileOnly()
    {
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // A drop reaches openDropped with the dropped URLs (an XDND drop cannot
        // be made from inside the test).
        const auto drop = [&](const QList<QUrl> &urls) { w.openDropped(urls); };
        const QUrl clip = QUrl::fromLocalFile(media(QStringLiteral("clip.mp4")));
        const QUrl other = QUrl::fromLocalFile(media(QStringLiteral("video-only.mp4")));
        drop({clip, other});
        QVERIFY(!w.core().graph());
        QCOMPARE(w.windowTitle(), QStringLiteral("Oblen Player v1.0.3"));
        drop({other});
        QCOMPARE(w.windowTitle(), QStringLiteral("video-only.mp4 - Oblen Player v1.0.3"));
        QCOMPARE(state(w), GraphState::Running);
        // No audio: the volume slider and balance buttons are off.
        QVERIFY(!w.controlBar()->volumeBar->isEnabled());
        QVERIFY(!w.controlBar()->balanceLeftButton->isEnabled());
    }

    void unusableRendererShowsTheMessageOnceAndStillPlays()
    {
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.controlBar()->rendererOption->button(3)->click();
        QCOMPARE(w.core().controls().rendererOption, 3);
        BoxAnswerer boxes;
        w.openFromCommandLine(
            QStringLiteral("/open \"%1\"").arg(media(QStringLiteral("clip.mp4"))));
        QCOMPARE(boxes.texts, QStringList{GraphBuilder::rendererMessage(false)});
        QTRY_VERIFY(w.core().isLoaded());
        QCOMPARE(state(w), GraphState::Running);
        QStringList filters = w.core().browser().listFilters();
        QVERIFY(std::any_of(filters.begin(), filters.end(), [](const QString &n) {
            return n.startsWith(QLatin1String("autovideosink"));
        }));

        // Choosing X11 rebuilds with it, keeping the graph running.
        w.controlBar()->rendererOption->button(1)->click();
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(state(w), GraphState::Running);
        filters = w.core().browser().listFilters();
        QVERIFY(filters.contains(QStringLiteral("ximagesink0")) ||
                std::any_of(filters.begin(), filters.end(), [](const QString &n) {
                    return n.startsWith(QLatin1String("ximagesink"));
                }));
    }

    void quitWhileOpeningWaitsForTheOpen()
    {
        auto *w = new mainform;
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<mainform> alive(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->controlBar()->rendererOption->button(3)->click();
        QStringList asked;
        // While the renderer message is up the user closes the window and
        // says yes to the warning; the window goes once the medium is open.
        QTimer::singleShot(100, w, [&]() {
            QTimer::singleShot(100, [&]() {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (box) {
                    asked << box->text();
                    box->button(QMessageBox::Yes)->click();
                }
                QTimer::singleShot(100, [&]() {
                    if (auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                        b->button(QMessageBox::Ok)->click();
                });
            });
            w->close();
        });
        w->openFromCommandLine(
            QStringLiteral("/open \"%1\"").arg(media(QStringLiteral("clip.mp4"))));
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().startsWith(
            QStringLiteral("주의: 미디어를 여는중 Oblen Player v1.0.3를")));
        QTRY_VERIFY(!alive);
    }

    void badMediaLeaveTheWindowUsable_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << media(QStringLiteral("gone.mp4"));
        QTest::newRow("text") << media(QStringLiteral("text.mp4"));
        QTest::newRow("truncated") << media(QStringLiteral("truncated.mp4"));
        QTest::newRow("folder") << media(QStringLiteral("folder.mp4"));
        QTest::newRow("unreachable url") << QStringLiteral("http://127.0.0.1:9/clip.mp4");
    }

    void badMediaLeaveTheWindowUsable()
    {
        QFETCH(QString, path);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        BoxAnswerer boxes;
        w.core().openMedia(path);
        QVERIFY(boxes.texts.isEmpty());
        QVERIFY(!w.core().isOpening());
        QVERIFY(!w.core().graph()->Duration());
        w.controlBar()->playButton->click();
        w.controlBar()->forwardButton->click();
        QTest::keyClick(w.picVideoWindow(), Qt::Key_F5);
        w.core().openMedia(media(QStringLiteral("clip.mp4")));
        QCOMPARE(state(w), GraphState::Running);
        QVERIFY(boxes.texts.isEmpty());
    }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
