// The main window under X with the real GStreamer graph: opening by command
// line and drop, the picture inside the video area, the renderer message,
// keys, the wheel and bad media.
#include "../common/bytenamedlink.h"
#include "common/commandlinetext.h"
#include "core/statustext.h"
#include "graph/graphbuilder.h"
#include "graph/gstgraph.h"
#include "hiddendecoders.h"
#include "window/controlbar.h"
#include "window/filtermenu.h"
#include "window/graphvideowindow.h"
#include "window/mainform.h"
#include "window/pinpropertyform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A named pipe that nobody writes to. Opening it for reading blocks until a
// writer comes; the watch is that writer if a reader ever waits, and says so,
// so a test that would hang fails instead.
class PipeWatch
{
public:
    explicit PipeWatch(const QString &path) : m_path(QFile::encodeName(path))
    {
        m_made = mkfifo(m_path.constData(), 0600) == 0;
        m_thread = std::thread([this]() {
            while (!m_done) {
                // Without a reader a non-blocking writer is refused (ENXIO).
                const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_opened = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~PipeWatch()
    {
        m_done = true;
        m_thread.join();
        unlink(m_path.constData());
    }
    bool made() const { return m_made; }
    bool opened() const { return m_opened; }

private:
    QByteArray m_path;
    bool m_made = false;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};

// An address whose server takes the connection (the kernel does) and never
// says a word.
class SilentServer
{
public:
    SilentServer()
    {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd >= 0 && bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) == 0 &&
            listen(m_fd, 16) == 0 &&
            getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(m_fd); }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/clip.mp4").arg(m_port); }
    bool listening() const { return m_port != 0; }

private:
    int m_fd = -1;
    int m_port = 0;
};

// The longest gap between ticks of a 5 ms timer while the event loop runs
// for `ms`.
qint64 longestStall(int ms)
{
    QElapsedTimer since;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&]() { longest = std::max(longest, since.restart()); });
    since.start();
    tick.start(5);
    QTest::qWait(ms);
    return std::max(longest, since.elapsed());
}

// The graph of an open or a rebuild under way is built away from the
// window: this waits until it has been taken into use.
void waitOpened(mainform &w)
{
    QTRY_VERIFY_WITH_TIMEOUT(!w.core().isOpening(), 15000);
}

// The main window with clip.mp4 playing and its times shown.
void openClip(mainform &w)
{
    w.core().openMedia(media(QStringLiteral("clip.mp4")));
    QTRY_COMPARE(w.core().fields().durationTextField, QStringLiteral("00:00:05"));
    QTRY_VERIFY(w.core().fields().positionTextField.startsWith(QLatin1String("00:00:0")));
}

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
        waitOpened(w);
        QCOMPARE(state(w), GraphState::Running);
        QVERIFY(!w.videoCover()->isVisible());
        // Original size: the video area shows the 320x240 source 1:1, as
        // wide as the window's minimum width when that is wider.
        const int areaWidth = std::max(320, w.minimumWidth());
        QTRY_COMPARE(w.picVideoWindow()->size(), QSize(areaWidth, 240));
        QCOMPARE(w.size(),
                 QSize(areaWidth, 240 + w.controlBar()->height() + w.statusBar()->height()));
        QTRY_VERIFY(w.core().fields().positionTextField.startsWith(QLatin1String("00:00:0")));
        QTRY_VERIFY(w.statusPanel(1)->text().startsWith(QStringLiteral("재생시간: 00:00:0")));
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("크기: %1x240픽셀").arg(areaWidth));
        QCOMPARE(w.statusPanel(4)->text(), QStringLiteral("밸런스: Center"));
        QCOMPARE(w.statusPanel(3)->text(), QStringLiteral("볼륨: 0dB"));
        QCOMPARE(w.statusPanel(5)->text(), QStringLiteral("배속: 1x"));

        // The picture is drawn inside the video area.
        QImage inside;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         inside = QGuiApplication::primaryScreen()
                                      ->grabWindow(w.picVideoWindow()->winId())
                                      .toImage();
                         return colourCount(inside) > 8;
                     },
                     15000),
                 "no picture in the video area");
        QCOMPARE(inside.size(), QSize(areaWidth, 240));
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
        QTRY_COMPARE(w.statusPanel(5)->text(), QStringLiteral("배속: 1.1x"));
        QTest::keyClick(w.picVideoWindow(), Qt::Key_Z);
        QCOMPARE(w.core().graph()->Rate(), std::optional(1.0));
        bar->volumeDownButton->click();
        QCOMPARE(w.core().graph()->Volume(), std::optional(-1000L));
        QCOMPARE(bar->volumeLabel->text(), QStringLiteral("-10"));
        QTRY_COMPARE(w.statusPanel(3)->text(), QStringLiteral("볼륨: -10dB"));
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
        QTRY_COMPARE(w.statusPanel(4)->text(), QStringLiteral("밸런스: Left"));
        bar->balanceCenterButton->click();
        bar->stopButton->click();
        QCOMPARE(state(w), GraphState::Stopped);

        // The right side panel keeps to the right edge.
        w.resize(900, w.height());
        QTRY_VERIFY(bar->CSide2->isVisible());
        QVERIFY(bar->CSide2->geometry().right() == bar->width() - 1);
        QCOMPARE(bar->positionBar->width(), 900);

        // F4 closes.
        QTest::keyClick(w.picVideoWindow(), Qt::Key_F4);
        QCOMPARE(w.windowTitle(), QStringLiteral("Oblen Player v1.0.3"));
        QVERIFY(!w.core().graph());
        QVERIFY(w.videoCover()->isVisible());
        for (int panel = 1; panel <= 5; ++panel)
            QVERIFY(w.statusPanel(panel)->text().isEmpty());
    }

    // Volume and balance give way in a bar too narrow for both sides; the
    // window never gets that narrow: at its start size, at the original
    // size of a narrow video and when made narrower, every control shows.
    void everyControlShows_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<int>("width");
        QTest::newRow("start size") << QString() << 0;
        QTest::newRow("320 px video") << QStringLiteral("clip.mp4") << 0;
        QTest::newRow("made narrow") << QString() << 200;
        QTest::newRow("narrow video made narrow") << QStringLiteral("video-only.mp4") << 200;
    }
    void everyControlShows()
    {
        QFETCH(QString, clip);
        QFETCH(int, width);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (!clip.isEmpty()) {
            w.core().openMedia(media(clip));
            QTRY_VERIFY(!w.core().fields().durationTextField.isEmpty());
            w.originalSize();
            QTRY_COMPARE(w.picVideoWindow()->height(), 240);
        }
        if (width > 0)
            w.resize(width, w.height());
        ControlBar *bar = w.controlBar();
        QTRY_COMPARE(bar->width(), w.width());
        for (QWidget *control : bar->findChildren<QWidget *>()) {
            if (!qobject_cast<QAbstractButton *>(control) && !qobject_cast<QSlider *>(control))
                continue;
            QVERIFY2(control->isVisible(), qPrintable(control->objectName()));
            const QRect inWindow(control->mapTo(&w, QPoint(0, 0)), control->size());
            QVERIFY2(w.rect().contains(inWindow), qPrintable(control->objectName()));
        }
        // The bar's own rule stays: narrower than both sides, CSide2 goes.
        bar->resize(bar->widthForBothSides() - 1, bar->height());
        QVERIFY(!bar->CSide2->isVisible());
    }

    // Every kind the open dialog offers as supported plays, and the kinds
    // that play are offered.
    void supportedFilesAreOfferedAndPlay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("group"); // 1 video files, 2 audio files
        QTest::newRow("mp4") << "clip.mp4" << 1;
        QTest::newRow("webm") << "clip.webm" << 1;
        QTest::newRow("ogv") << "clip.ogv" << 1;
        QTest::newRow("ts") << "clip.ts" << 1;
        QTest::newRow("m4v") << "clip.m4v" << 1;
        QTest::newRow("opus") << "sound.opus" << 2;
    }
    void supportedFilesAreOfferedAndPlay()
    {
        QFETCH(QString, name);
        QFETCH(int, group);
        const QStringList filters = mainform::openDialogFilter().split(QStringLiteral(";;"));
        const auto patterns = [&](int i) {
            const QString f = filters.value(i);
            const qsizetype open = f.lastIndexOf(QLatin1Char('('));
            return f.mid(open + 1, f.size() - open - 2).split(QLatin1Char(' '));
        };
        QVERIFY(filters.value(0).startsWith(QStringLiteral("지원하는 파일 (")));
        QVERIFY2(QDir::match(patterns(0), name), qPrintable(filters.value(0)));
        QVERIFY2(QDir::match(patterns(group), name), qPrintable(filters.value(group)));

        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.core().openMedia(media(name));
        QTRY_VERIFY(w.core().graph() && w.core().graph()->CurrentPosition().value_or(0) > 0.2);
        QCOMPARE(state(w), GraphState::Running);
        QVERIFY(!StatusText::problem(w.core().graph()->Problem()));
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
        waitOpened(w);
        QCOMPARE(state(w), GraphState::Running);
        // No audio: the volume slider and balance buttons are off.
        QVERIFY(!w.controlBar()->volumeBar->isEnabled());
        QVERIFY(!w.controlBar()->balanceLeftButton->isEnabled());
    }

    // What the drag cursor accepts is what a drop opens, wherever in the
    // window it is let go.
    void dropAcceptedIsDropTaken_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("opens");
        for (const char *where : {"videoCover", "ControlBar", "StatusBar"}) {
            QTest::addRow("one file on %s", where) << where << 1 << true;
            QTest::addRow("two files on %s", where) << where << 2 << false;
        }
        QTest::addRow("an address") << "videoCover" << 0 << false;
    }
    void dropAcceptedIsDropTaken()
    {
        QFETCH(QString, where);
        QFETCH(int, files);
        QFETCH(bool, opens);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QList<QUrl> urls{QUrl(QStringLiteral("https://example.org/clip.mp4"))};
        if (files > 0)
            urls = {QUrl::fromLocalFile(media(QStringLiteral("clip.mp4")))};
        if (files > 1)
            urls << QUrl::fromLocalFile(media(QStringLiteral("video-only.mp4")));
        QMimeData data;
        data.setUrls(urls);
        auto *target = w.findChild<QWidget *>(where);
        QVERIFY(target);
        const QPoint at = target->mapTo(&w, target->rect().center());

        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(&w, &enter);
        QCOMPARE(enter.isAccepted(), opens);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
        drop.setAccepted(false);
        QApplication::sendEvent(&w, &drop);
        QCOMPARE(drop.isAccepted(), opens);
        QCOMPARE(w.core().isOpening(), opens);
        waitOpened(w);
        QCOMPARE(w.core().graph() != nullptr, opens);
    }

    // Names that are not UTF-8, or that read as addresses, from a drop (the
    // raw uri-list bytes) and from the command line: GStreamer is given the
    // file itself, which plays, and the title shows the name readably.
    void anyFileNamePlays_data()
    {
        QTest::addColumn<QByteArray>("name"); // made in a folder of its own ("@")
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("title");
        const struct
        {
            const char *row;
            QByteArray name;
            QString title;
        } names[] = {
            {"CP949", "@/\xbf\xb5\xbb\xf3.mp4", QStringLiteral("영상.mp4")},
            {"Latin-1", "@/caf\xe9.mp4", QStringLiteral("café.mp4")},
            {"stray 0xFF", "@/a\xff b.mp4", QStringLiteral("aÿ b.mp4")},
            {"absolute with ://", "@/a://b.mp4", QStringLiteral("b.mp4")},
            {"relative http://x", "http://x", QStringLiteral("x")},
        };
        for (const auto &n : names) {
            QTest::addRow("%s, /open", n.row) << n.name << false << n.title;
            if (n.name.startsWith('@'))
                QTest::addRow("%s, dropped", n.row) << n.name << true << n.title;
        }
    }

    void anyFileNamePlays()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, dropped);
        QFETCH(QString, title);
        const ByteNamedLink link(media(QStringLiteral("clip.mp4")), name);
        QVERIFY(link.made());

        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (dropped) {
            QMimeData data;
            data.setData(QStringLiteral("text/uri-list"), link.uriList());
            const QPointF at = QRectF(w.picVideoWindow()->geometry()).center();
            // The drop goes where the drag entered.
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&w, &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &drop);
        } else {
            w.openFromCommandLine(link.commandLine());
        }
        QTRY_COMPARE(w.windowTitle(), title + QStringLiteral(" - Oblen Player v1.0.3"));
        QTRY_COMPARE_WITH_TIMEOUT(state(w), GraphState::Running, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(w.core().graph()->CurrentPosition().value_or(0) > 0.3, 15000);
    }

    // Not installed, or installed but unable to open here (Xvfb's XVideo has
    // no ports; the sink finds out while the file's streams are found).
    void unusableRendererShowsTheMessageOnceAndStillPlays_data()
    {
        QTest::addColumn<int>("renderer");
        QTest::addColumn<QString>("sink");
        QTest::newRow("VA-API, not installed") << 3 << QStringLiteral("vaapisink");
        QTest::newRow("XVideo, cannot open") << 0 << QStringLiteral("xvimagesink");
    }

    void unusableRendererShowsTheMessageOnceAndStillPlays()
    {
        QFETCH(int, renderer);
        QFETCH(QString, sink);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.controlBar()->rendererOption->button(renderer)->click();
        QCOMPARE(w.core().controls().rendererOption, renderer);
        BoxAnswerer boxes;
        w.openFromCommandLine(
            QStringLiteral("/open \"%1\"").arg(media(QStringLiteral("clip.mp4"))));
        waitOpened(w);
        QCOMPARE(boxes.texts, QStringList{GraphBuilder::rendererMessage(false)});
        QTRY_VERIFY(w.core().isLoaded());
        QCOMPARE(state(w), GraphState::Running);
        QStringList filters = w.core().browser().listFilters();
        QVERIFY(std::any_of(filters.begin(), filters.end(), [](const QString &n) {
            return n.startsWith(QLatin1String("autovideosink"));
        }));
        // The renderer that could not work is not left in the graph.
        QVERIFY2(std::none_of(filters.begin(), filters.end(),
                              [&](const QString &n) { return n.startsWith(sink); }),
                 qPrintable(filters.join(QLatin1Char(','))));

        // Choosing X11 rebuilds with it, keeping the graph running.
        w.controlBar()->rendererOption->button(1)->click();
        waitOpened(w);
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
        // While the medium is being opened (the graph being built, or the
        // renderer message up) the user closes the window and says yes to
        // the warning; the window goes, at once or once the medium is open.
        const QString warning = QStringLiteral("주의: 미디어를 여는중");
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&]() {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                const bool isWarning = box->text().startsWith(warning);
                if (isWarning)
                    asked << box->text();
                box->button(isWarning ? QMessageBox::Yes : QMessageBox::Ok)->click();
            }
        });
        answer.start(100);
        QTimer::singleShot(100, w, [&]() { w->close(); });
        w->openFromCommandLine(
            QStringLiteral("/open \"%1\"").arg(media(QStringLiteral("clip.mp4"))));
        QTRY_COMPARE(asked.size(), 1);
        QVERIFY(asked.first().startsWith(
            QStringLiteral("주의: 미디어를 여는중 Oblen Player v1.0.3를")));
        QTRY_VERIFY(!alive);
    }

    // A rebuild right after a flushing seek, while the graph prerolls again,
    // keeps it running.
    void rebuildJustAfterASeekKeepsRunning_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("rendererChange");
        QTest::newRow("faster, F5") << "C" << false;
        QTest::newRow("slower, renderer") << "X" << true;
        QTest::newRow("5 s forward, F5") << ">" << false;
        QTest::newRow("stop, play, F5") << "stop" << false;
    }

    void rebuildJustAfterASeekKeepsRunning()
    {
        QFETCH(QString, before);
        QFETCH(bool, rendererChange);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        openClip(w);
        QCOMPARE(state(w), GraphState::Running);
        ControlBar *bar = w.controlBar();
        if (before == QLatin1String("C"))
            QTest::keyClick(w.picVideoWindow(), Qt::Key_C);
        else if (before == QLatin1String("X"))
            QTest::keyClick(w.picVideoWindow(), Qt::Key_X);
        else if (before == QLatin1String(">"))
            bar->forwardButton->click();
        else {
            bar->stopButton->click();
            bar->playButton->click();
        }
        if (rendererChange)
            bar->rendererOption->button(1)->click();
        else
            QTest::keyClick(w.picVideoWindow(), Qt::Key_F5);
        QCOMPARE(w.core().fields().savedStateField, QStringLiteral("2"));
        waitOpened(w);
        QCOMPARE(state(w), GraphState::Running);
    }

    // The wheel sets the volume by 5 dB a notch wherever it turns over the
    // window, the sliders included, which would otherwise take it themselves.
    void wheelAnywhereIsVolume_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("volume");
        QTest::newRow("volume slider, down") << "volumeBar" << -120 << -2500;
        QTest::newRow("volume slider, up") << "volumeBar" << 120 << -1500;
        QTest::newRow("balance slider") << "balanceBar" << 120 << -1500;
        QTest::newRow("seek slider") << "positionBar" << -120 << -2500;
        QTest::newRow("button") << "playButton" << 240 << -1000;
        QTest::newRow("renderer choice") << "rendererOption2" << -120 << -2500;
        QTest::newRow("status bar") << "statusPanel3" << 120 << -1500;
        QTest::newRow("video area") << "picVideoWindow" << -120 << -2500;
        QTest::newRow("half notches") << "volumeBar" << -60 << -2000;
    }

    void wheelAnywhereIsVolume()
    {
        QFETCH(QString, widget);
        QFETCH(int, delta);
        QFETCH(int, volume);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        openClip(w);
        ControlBar *bar = w.controlBar();
        // Wide enough for the volume and balance sliders.
        w.resize(900, w.height());
        QTRY_VERIFY(bar->CSide2->isVisible());
        bar->volumeBar->setValue(-2000);
        QCOMPARE(w.core().graph()->Volume(), std::optional(-2000L));
        QCOMPARE(bar->volumeLabel->text(), QStringLiteral("-20"));
        const int position = bar->positionBar->value();
        auto *target = w.findChild<QWidget *>(widget);
        QVERIFY(target && target->isVisible() && target->isEnabled());
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        QCOMPARE(bar->volumeBar->value(), volume);
        QCOMPARE(w.core().graph()->Volume(), std::optional(long(volume)));
        QCOMPARE(bar->volumeLabel->text(), QString::number(volume / 100.0));
        QCOMPARE(bar->balanceBar->value(), 0);
        QCOMPARE(w.core().graph()->Balance(), std::optional(0L));
        QVERIFY(bar->positionBar->value() <= position + 1);
    }

    // A file that fails to open after one that played shows no time,
    // duration or seek range of the old one.
    void failedOpenAfterAPlayedOneShowsNothingOld_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("says");
        QTest::newRow("text") << media(QStringLiteral("text.mp4"))
                              << QStringLiteral("미디어 파일이 아니거나 알 수 없는 형식입니다");
        QTest::newRow("truncated")
            << media(QStringLiteral("truncated.mp4"))
            << QStringLiteral("파일이 손상되었거나 잘려 있어 재생할 수 없습니다");
        QTest::newRow("missing") << media(QStringLiteral("gone.mp4"))
                                 << QStringLiteral("파일을 찾을 수 없습니다");
    }

    void failedOpenAfterAPlayedOneShowsNothingOld()
    {
        QFETCH(QString, path);
        QFETCH(QString, says);
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        openClip(w);
        w.core().graph()->SetCurrentPosition(3.2);
        ControlBar *bar = w.controlBar();
        QTRY_COMPARE(bar->positionBar->value(), 3);
        QCOMPARE(bar->positionBar->maximum(), 5);
        QTRY_COMPARE(w.statusPanel(1)->text().right(9), QStringLiteral("/00:00:05"));

        w.core().openMedia(path);
        QCOMPARE(w.windowTitle(), PlayerCore::titleFor(path));
        waitOpened(w);
        const PlayerFields &f = w.core().fields();
        QVERIFY(f.txtDuration.isEmpty());
        QVERIFY(f.txtElapsed.isEmpty());
        QCOMPARE(bar->positionBar->maximum(), 0);
        QCOMPARE(bar->positionBar->value(), 0);
        // Across a few timer ticks: nothing brings the old texts back.
        QTest::qWait(200);
        QVERIFY(f.durationTextField.isEmpty());
        QVERIFY(f.positionTextField.isEmpty());
        // What failed, where the times were.
        QCOMPARE(w.statusPanel(1)->text(), says);
        QCOMPARE(bar->positionBar->maximum(), 0);
        // Nothing is loaded: F5 builds nothing new.
        QVERIFY(!w.core().isLoaded());
    }

    // A named pipe is refused before anything opens it: the window answers
    // at once, as after any file that cannot be opened.
    void aNamedPipeIsRefusedWithoutBlocking()
    {
        QTemporaryDir dir;
        PipeWatch pipe(dir.filePath(QStringLiteral("pipe.mp4")));
        QVERIFY(pipe.made());
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        BoxAnswerer boxes;
        w.openFromCommandLine(commandLineText({QStringLiteral("/open"), dir.filePath("pipe.mp4")}));
        QVERIFY2(!pipe.opened(), "the pipe was opened and waited on");
        QVERIFY(boxes.texts.isEmpty());
        QCOMPARE(w.windowTitle(), QStringLiteral("pipe.mp4 - Oblen Player v1.0.3"));
        waitOpened(w);
        QVERIFY2(!pipe.opened(), "the pipe was opened and waited on");
        QVERIFY(!w.core().graph()->Duration());
        w.controlBar()->playButton->click();
        QTest::keyClick(w.picVideoWindow(), Qt::Key_F5);
        QVERIFY(!pipe.opened());
        openClip(w);
        QCOMPARE(state(w), GraphState::Running);
    }

    // The status bar says what failed, in place of empty times and a size
    // of nothing; a stream whose decoder is missing is named in its own
    // panel while the rest plays.
    void failuresAreSaidInTheStatusBar_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("hideH264");
        QTest::addColumn<int>("panel");
        QTest::addColumn<QString>("says"); // the start of the panel's text
        QTest::newRow("missing") << media(QStringLiteral("gone.mp4")) << false << 1
                                 << QStringLiteral("파일을 찾을 수 없습니다");
        QTest::newRow("folder") << media(QStringLiteral("folder.mp4")) << false << 1
                                << QStringLiteral("파일이 아니어서 열 수 없습니다 (폴더나 장치)");
        QTest::newRow("no bytes") << media(QStringLiteral("empty.mp4")) << false << 1
                                  << QStringLiteral("빈 파일입니다 (0바이트)");
        QTest::newRow("text") << media(QStringLiteral("text.mp4")) << false << 1
                              << QStringLiteral("미디어 파일이 아니거나 알 수 없는 형식입니다");
        QTest::newRow("truncated")
            << media(QStringLiteral("truncated.mp4")) << false << 1
            << QStringLiteral("파일이 손상되었거나 잘려 있어 재생할 수 없습니다");
        QTest::newRow("no video decoder, sound plays")
            << media(QStringLiteral("clip.mp4")) << true << 2
            << QStringLiteral("영상 디코더 없음: H.264");
        QTest::newRow("no video decoder, nothing else")
            << media(QStringLiteral("video-only.mp4")) << true << 1
            << QStringLiteral("디코더가 없어 재생할 수 없습니다: H.264");
    }

    void failuresAreSaidInTheStatusBar()
    {
        QFETCH(QString, path);
        QFETCH(bool, hideH264);
        QFETCH(int, panel);
        QFETCH(QString, says);
        std::optional<HiddenDecoders> hidden;
        if (hideH264)
            hidden.emplace("video/x-h264");
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.core().openMedia(path);
        QCOMPARE(w.windowTitle(), PlayerCore::titleFor(path));
        // A cut-off file may only be known for one when the graph gives up
        // waiting for it to preroll (5 s): the deadline leaves room past that.
        QTRY_VERIFY2_WITH_TIMEOUT(w.statusPanel(panel)->text().startsWith(says),
                                  qPrintable(w.statusPanel(panel)->text()), 30000);
        QCOMPARE(w.statusPanel(panel)->toolTip(), w.statusPanel(panel)->text());
        if (panel == 1) {
            // Nothing plays: the message has the bar to itself.
            for (int other = 2; other <= 5; ++other)
                QVERIFY(w.statusPanel(other)->isHidden());
        } else {
            // The sound plays on and its time runs.
            QTRY_VERIFY(w.statusPanel(1)->text().startsWith(QStringLiteral("재생시간: 00:00:0")));
            QTRY_VERIFY(w.core().fields().txtElapsed.toDouble() > 0.2);
            QCOMPARE(w.statusPanel(3)->text(), QStringLiteral("볼륨: 0dB"));
            QVERIFY(w.statusPanel(4)->isHidden());
            QVERIFY(w.statusPanel(5)->isHidden());
        }
        w.core().closeMedia();
        for (int i = 1; i <= 5; ++i) {
            QVERIFY(!w.statusPanel(i)->isHidden());
            QVERIFY(w.statusPanel(i)->text().isEmpty());
        }
        // The next medium plays and says nothing of the last one.
        hidden.reset();
        openClip(w);
        QTRY_COMPARE(w.statusPanel(2)->text(),
                     QStringLiteral("크기: %1x240픽셀").arg(std::max(320, w.minimumWidth())));
        QVERIFY(w.statusPanel(1)->text().startsWith(QStringLiteral("재생시간: ")));
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
        waitOpened(w);
        QVERIFY(boxes.texts.isEmpty());
        QVERIFY(!w.core().graph()->Duration());
        w.controlBar()->playButton->click();
        w.controlBar()->forwardButton->click();
        QTest::keyClick(w.picVideoWindow(), Qt::Key_F5);
        w.core().openMedia(media(QStringLiteral("clip.mp4")));
        waitOpened(w);
        QCOMPARE(state(w), GraphState::Running);
        QVERIFY(boxes.texts.isEmpty());
    }

    // Opening an address that never answers leaves the window answering;
    // a close or another open meanwhile wins at once.
    void aSilentAddressDoesNotHoldTheWindow_data()
    {
        QTest::addColumn<bool>("thenOpen");
        QTest::newRow("then close") << false;
        QTest::newRow("then another open") << true;
    }

    void aSilentAddressDoesNotHoldTheWindow()
    {
        QFETCH(bool, thenOpen);
        SilentServer server;
        QVERIFY(server.listening());
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        BoxAnswerer boxes;
        w.core().openMedia(server.address());
        // The graph waits for the server for seconds; the window does not.
        // (A held window would show one gap as long as the whole wait.)
        QVERIFY(w.core().isOpening());
        const qint64 stall = longestStall(1500);
        QVERIFY2(stall < 1000, qPrintable(QStringLiteral("stalled %1 ms").arg(stall)));
        QVERIFY(w.core().isOpening());
        QElapsedTimer took;
        took.start();
        if (thenOpen) {
            openClip(w);
            // Well before the server's time-out (5 s) ends the first open.
            QVERIFY2(took.elapsed() < 4000, qPrintable(QString::number(took.elapsed())));
            QCOMPARE(w.windowTitle(), QStringLiteral("clip.mp4 - Oblen Player v1.0.3"));
            QCOMPARE(state(w), GraphState::Running);
            QTRY_VERIFY(w.core().fields().txtElapsed.toDouble() > 0.5);
            QCOMPARE(w.core().fields().fileOrUrlField, media(QStringLiteral("clip.mp4")));
        } else {
            w.core().closeMedia();
            QVERIFY2(took.elapsed() < 1000, qPrintable(QString::number(took.elapsed())));
            QCOMPARE(w.windowTitle(), PlayerCore::programTitle);
            QVERIFY(!w.core().isOpening());
            QVERIFY(!w.core().graph());
            QVERIFY(w.videoCover()->isVisible());
        }
        QVERIFY(boxes.texts.isEmpty());
    }

    void filterMenuEntries_data()
    {
        QTest::addColumn<QList<QStringList>>("refreshes");
        QTest::addColumn<QStringList>("captions");
        const QStringList empty{FilterMenu::emptyCaption};
        QTest::newRow("never filled") << QList<QStringList>{} << empty;
        QTest::newRow("three, then two")
            << QList<QStringList>{{"a", "b", "c"}, {"d", "e"}} << QStringList{"d", "e"};
        QTest::newRow("emptied") << QList<QStringList>{{"a", "b"}, {}} << empty;
        QTest::newRow("ampersands") << QList<QStringList>{{"x&y", "/m/rock & roll.mp4"}}
                                    << QStringList{"x&&y", "/m/rock && roll.mp4"};
    }

    void filterMenuEntries()
    {
        QFETCH(QList<QStringList>, refreshes);
        QFETCH(QStringList, captions);
        FilterMenu menu;
        bool eventsRanInside = false;
        QTimer::singleShot(0, &menu, [&]() { eventsRanInside = true; });
        for (const QStringList &names : refreshes)
            menu.setFilters(names);
        QVERIFY(!eventsRanInside);
        QStringList shown;
        for (QAction *entry : menu.actions())
            shown << entry->text();
        QCOMPARE(shown, captions);
        const bool any = captions.front() != FilterMenu::emptyCaption;
        QCOMPARE(menu.menuAction()->isEnabled(), any);
        QCOMPARE(menu.actions().front()->isEnabled(), any);
        QSignalSpy chosen(&menu, &FilterMenu::filterChosen);
        menu.actions().back()->trigger();
        QCOMPARE(chosen.size(), any ? 1 : 0);
        if (any)
            QCOMPARE(chosen.front().front().toInt(), captions.size() - 1);
    }

    // On a playing file: the source (last entry) and a sink (input pins only).
    void filterMenuOpensThePinsOfAFilter_data()
    {
        QTest::addColumn<bool>("source");
        QTest::addColumn<QString>("direction");
        QTest::newRow("source") << true << "방향: 출력";
        QTest::newRow("sink") << false << "방향: 입력";
    }

    void filterMenuOpensThePinsOfAFilter()
    {
        QFETCH(bool, source);
        QFETCH(QString, direction);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rock & roll.mp4"));
        QVERIFY(QFile::copy(media(QStringLiteral("clip.mp4")), path));
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.core().openMedia(path);
        waitOpened(w);
        QCOMPARE(state(w), GraphState::Running);
        FilterMenu *menu = w.filterMenu();
        const auto filters = w.core().graph()->FilterCollection();
        QCOMPARE(menu->actions().size(), qsizetype(filters.size()));
        QCOMPARE(menu->actions().back()->text(), QString(path).replace("&", "&&"));
        QVERIFY(filters.back()->IsFileSource());
        auto inputsOnly = [](const auto &filter) {
            const auto pins = filter->Pins();
            return !pins.empty() && std::all_of(pins.begin(), pins.end(), [](const auto &p) {
                return p->Direction() == IPinInfo::Input;
            });
        };
        const size_t index = source
                                 ? filters.size() - 1
                                 : size_t(std::find_if(filters.begin(), filters.end(), inputsOnly) -
                                          filters.begin());
        QVERIFY(index < filters.size());

        QStringList seen;
        QTimer inspect;
        connect(&inspect, &QTimer::timeout, [&]() {
            if (auto *form = qobject_cast<PinPropertyForm *>(QApplication::activeModalWidget())) {
                const bool onTop = form->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                seen = {form->windowTitle(),
                        form->findChild<QTabWidget *>()->tabText(0),
                        QString::number(form->listPins()->count()),
                        form->lblVendorInfo()->text(),
                        onTop ? "on top" : "",
                        form->txtPinInfo()->toPlainText()};
                form->reject();
            }
        });
        inspect.start(50);
        menu->actions().at(qsizetype(index))->trigger();
        QCOMPARE(seen.mid(0, 5), (QStringList{filters[index]->Name() + QStringLiteral(" 속성"),
                                              QStringLiteral("핀 속성"),
                                              QString::number(filters[index]->Pins().size()),
                                              filters[index]->VendorInfo(), "on top"}));
        static const QRegularExpression connected(
            QStringLiteral("^연결된핀: .+ \n필터: .+ \n미디어 종류: .+ \n"));
        QVERIFY2(seen.back().contains(connected) && seen.back().endsWith(direction),
                 qPrintable(seen.back()));

        // Closing empties the menu; the next medium leaves nothing of this one.
        QTest::keyClick(w.picVideoWindow(), Qt::Key_F4);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().front()->text(), FilterMenu::emptyCaption);
        QVERIFY(!menu->actions().front()->isEnabled() && !menu->menuAction()->isEnabled());
        w.core().openMedia(media(QStringLiteral("clip.mp4")));
        waitOpened(w);
        QStringList captions;
        for (QAction *entry : menu->actions())
            captions << entry->text();
        QCOMPARE(captions, w.core().browser().listFilters());
        QVERIFY(!captions.join(QString()).contains(QLatin1String("rock")));
    }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
