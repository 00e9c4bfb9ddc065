// The real MPlayer playing the generated sample into Tavrin's window under
// the test display.
#include "engine/commands.h"
#include "fakesystem.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

bool playbackStarted(mainform &w)
{
    return w.core().state().value(Field::engineOutputBox).contains(
        QStringLiteral("Starting playback...\r\n"));
}

void xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
}

// Whether the video window shows the test pattern's many colours (the empty
// window has one); the colours seen are left in `colours`.
bool pictureShown(mainform &w, QSet<QRgb> &colours)
{
    const VideoWindow *video = w.videoWindow();
    const QPoint origin = video->mapToGlobal(QPoint(0, 0));
    const QImage shot =
        w.screen()->grabWindow(0, origin.x(), origin.y(), video->width(), video->height()).toImage();
    colours.clear();
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4)
            colours.insert(shot.pixel(x, y) & 0xffffff);
    return colours.size() > 20;
}

bool noMessageBoxShown()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox *>(w) && w->isVisible())
            return false;
    }
    return true;
}
} // namespace

class MPlayerWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void playsTheSampleIntoTheWindow();
    void mouseAndKeysReachTheWindowWhileTheEngineDraws();
    void restartKeepsTheInformationAndQuitStops();
    void killedEngineLeavesTheWindowStopped();
    void missingEngineLeavesTheWindowStopped();
    void strangeFileNamesReachTheEngineWhole();

private:
    void openAndWait(const QString &commandLine);
    void quitAndWait();

    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
};

void MPlayerWindowTest::initTestCase()
{
    QVERIFY2(QFile::exists(sample), "the sample media is made by the build");
    qunsetenv("TAVRIN_MPLAYER");
}

void MPlayerWindowTest::init()
{
    m_system = std::make_unique<FakeSystem>();
    m_system->font = QStringLiteral(KOREAN_FONT);
    m_window = std::make_unique<mainform>(m_system.get());
    // On a display of its own: the pointer tests hit this window and no other.
    m_window->move(40, 40);
    m_window->resize(640, 360);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->start(QString());
}

void MPlayerWindowTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning())
        quitAndWait();
    m_window.reset();
    m_system.reset();
    qunsetenv("TAVRIN_MPLAYER");
}

void MPlayerWindowTest::openAndWait(const QString &commandLine)
{
    m_window->openCommandLineMedia(commandLine);
    QVERIFY(m_window->core().isEngineRunning());
    QVERIFY(QTest::qWaitFor([&] { return playbackStarted(*m_window); }, 15000));
}

void MPlayerWindowTest::quitAndWait()
{
    m_window->sendCommand(EngineCommand::quit);
    QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 5000));
}

void MPlayerWindowTest::playsTheSampleIntoTheWindow()
{
    openAndWait(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    PlayerState &state = m_window->core().state();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample.mkv - Tavrin v1.0.53"));
    QCOMPARE(state.value(Field::playStateField), PlayState::playing);
    QVERIFY(m_window->engineOutputBox()->toPlainText().contains(
        QStringLiteral("\nStarting playback...\n")));

    // The window asks for the position itself; wait until the picture has
    // run for a while.
    bool ok = false;
    QVERIFY(QTest::qWaitFor([&] {
        return state.value(Field::currentSecondsField).toDouble(&ok) > 1.5 && ok;
    }, 10000));
    QVERIFY(!state.value(Field::engineOutputBox).contains(QStringLiteral("ANS_TIME_POSITION")));
    QVERIFY(!m_window->engineOutputBox()->toPlainText().contains(QStringLiteral("ANS_")));

    // The picture is inside the video window: the test pattern has many
    // colours, the empty window has one.
    QSet<QRgb> colours;
    const bool seen = QTest::qWaitFor([&] { return pictureShown(*m_window, colours); }, 15000);
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-playing.png"));
    QVERIFY2(seen, qPrintable(QStringLiteral("%1 colours, first #%2")
                                  .arg(colours.size())
                                  .arg(colours.isEmpty() ? 0 : *colours.begin(), 6, 16,
                                       QLatin1Char('0'))));

    quitAndWait();
    QCOMPARE(state.value(Field::playStateField), PlayState::stopped);
    QVERIFY(!m_window->core().options().entry(Menu::back10Menu).enabled);
}

void MPlayerWindowTest::mouseAndKeysReachTheWindowWhileTheEngineDraws()
{
    openAndWait(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    // The engine has its window once it draws.
    QSet<QRgb> colours;
    QVERIFY(QTest::qWaitFor([&] { return pictureShown(*m_window, colours); }, 15000));
    VideoWindow *video = m_window->videoWindow();
    QSignalSpy presses(video, &VideoWindow::mousePressed);
    QSignalSpy doubles(video, &VideoWindow::mouseDoubleClicked);
    QSignalSpy keys(m_window.get(), &mainform::keyPressed);

    const QPoint centre = video->mapToGlobal(video->rect().center());
    xdotool({QStringLiteral("mousemove"), QString::number(centre.x()),
             QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")});
    QVERIFY(presses.wait(15000) || presses.count() > 0);
    QCOMPARE(presses.first().at(0).value<Qt::MouseButton>(), Qt::LeftButton);

    xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
             QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    QVERIFY(doubles.wait(15000) || doubles.count() > 0);

    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    xdotool({QStringLiteral("key"), QStringLiteral("space")});
    QVERIFY(keys.wait(15000) || keys.count() > 0);
    QCOMPARE(keys.first().at(0).toInt(), int(Qt::Key_Space));
    QVERIFY(m_window->core().isEngineRunning());
}

void MPlayerWindowTest::restartKeepsTheInformationAndQuitStops()
{
    openAndWait(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    PlayerState &state = m_window->core().state();
    const QString firstRun = state.value(Field::processHandleField);
    state.setValue(Field::sourceWidthField, QStringLiteral("640"));
    state.setValue(Field::restartFlag, QStringLiteral("1"));
    m_window->sendCommand(EngineCommand::quit);

    QVERIFY(QTest::qWaitFor([&] {
        return state.value(Field::processHandleField) != firstRun && playbackStarted(*m_window);
    }, 15000));
    QVERIFY(m_window->core().isEngineRunning());
    QCOMPARE(state.value(Field::restartFlag), QStringLiteral("0"));
    QCOMPARE(state.value(Field::sourceWidthField), QStringLiteral("640"));

    quitAndWait();
    QCOMPARE(state.value(Field::sourceWidthField), QString());
    QCOMPARE(state.value(Field::playStateField), PlayState::stopped);
}

void MPlayerWindowTest::killedEngineLeavesTheWindowStopped()
{
    openAndWait(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    ::kill(static_cast<pid_t>(m_window->core().cm()->processId()), SIGKILL);
    QVERIFY(QTest::qWaitFor([&] { return !m_window->core().isEngineRunning(); }, 5000));
    QCOMPARE(m_window->core().state().value(Field::playStateField), PlayState::stopped);
    QTest::qWait(200);
    QVERIFY(noMessageBoxShown());
    QVERIFY(m_window->isVisible());
}

void MPlayerWindowTest::missingEngineLeavesTheWindowStopped()
{
    qputenv("TAVRIN_MPLAYER", "/nonexistent/mplayer");
    QSignalSpy running(&m_window->core(), &PlayerCore::engineRunningChanged);
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    QVERIFY(QTest::qWaitFor([&] { return running.count() == 2; }, 5000));
    QCOMPARE(m_window->core().state().value(Field::playStateField), PlayState::stopped);
    QTest::qWait(200);
    QVERIFY(noMessageBoxShown());
    QVERIFY(m_window->isVisible());
}

void MPlayerWindowTest::strangeFileNamesReachTheEngineWhole()
{
    QTemporaryDir dir;
    const QString name = QStringLiteral("-a b \"c\" 'd' $(touch pwned) 한글.mkv");
    QVERIFY(QFile::copy(sample, dir.filePath(name)));

    // An absolute path, as the open dialog or a drop gives it.
    m_window->core().state().setValue(Field::mediaPathField, dir.filePath(name));
    m_window->launchEngine();
    QVERIFY(QTest::qWaitFor([&] { return playbackStarted(*m_window); }, 15000));
    QVERIFY(m_window->core().state().value(Field::engineOutputBox).contains(
        QStringLiteral("\r\nID_FILENAME=") + dir.filePath(name) + QStringLiteral("\r\n")));
    quitAndWait();

    // A relative path that begins with "-" is a file, never an option.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    m_window->core().state().setValue(Field::mediaPathField, name);
    m_window->launchEngine();
    const bool started = QTest::qWaitFor([&] { return playbackStarted(*m_window); }, 15000);
    QDir::setCurrent(previous);
    QVERIFY(started);
    QVERIFY(m_window->core().state().value(Field::engineOutputBox).contains(
        QStringLiteral("\r\nID_FILENAME=./") + name + QStringLiteral("\r\n")));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pwned"))));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
}

QTEST_MAIN(MPlayerWindowTest)
#include "tst_mplayerwindow.moc"
