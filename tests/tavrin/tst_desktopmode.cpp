// "바탕화면으로 보기" with the real MPlayer under openbox. Drawing on the root
// window, the engine installs a colormap of its own there and leaves None
// when it ends; openbox then frames no new window. However the run ends, the
// root must have its default colormap again and new windows their frames.
#include "controls/transport.h"
#include "engine/commands.h"
#include "window/mainform.h"

#include <QFile>
#include <QGuiApplication>
#include <QTest>
#include <csignal>
#include <xcb/xcb.h>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

struct RootColormap
{
    quint32 colormap = 0;
    quint32 defaultColormap = 0;
    bool installed = false;
};

RootColormap rootColormap()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    RootColormap root;
    root.defaultColormap = screen->default_colormap;
    if (xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
            c, xcb_get_window_attributes(c, screen->root), nullptr)) {
        root.colormap = reply->colormap;
        root.installed = reply->map_is_installed;
        free(reply);
    }
    return root;
}

enum class Ending
{
    quit,
    stop,
    engineKilled,
    tavrinClosed
};
} // namespace

Q_DECLARE_METATYPE(Ending)

class DesktopModeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void rootIsPutBackHoweverTheRunEnds_data();
    void rootIsPutBackHoweverTheRunEnds();

private:
    std::unique_ptr<mainform> m_window;
};

void DesktopModeTest::initTestCase()
{
    QVERIFY2(QFile::exists(sample), "the sample media is made by the build");
    qunsetenv("TAVRIN_MPLAYER");
    const RootColormap root = rootColormap();
    QCOMPARE(root.colormap, root.defaultColormap);
}

void DesktopModeTest::init()
{
    // The real machine's services: they put the real root window back.
    m_window = std::make_unique<mainform>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
    m_window->core().options().setChecked(Menu::desktopModeMenu, true);
}

void DesktopModeTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 10000);
    }
    m_window.reset();
}

void DesktopModeTest::rootIsPutBackHoweverTheRunEnds_data()
{
    QTest::addColumn<Ending>("ending");
    QTest::newRow("quit") << Ending::quit;
    QTest::newRow("stop") << Ending::stop;
    QTest::newRow("engine killed") << Ending::engineKilled;
    QTest::newRow("Tavrin closed") << Ending::tavrinClosed;
}

void DesktopModeTest::rootIsPutBackHoweverTheRunEnds()
{
    QFETCH(Ending, ending);
    PlayerState &state = m_window->core().state();
    m_window->openCommandLineMedia(QStringLiteral("/open \"") + sample + QLatin1Char('"'));
    QTRY_VERIFY_WITH_TIMEOUT(state.value(Field::currentSecondsField).toDouble() > 0.5, 15000);
    QVERIFY(state.value(Field::engineOutputBox)
                .contains(QStringLiteral(" -wid ") + m_window->core().services().desktopWindowId() +
                          QLatin1Char(' ')));
    const RootColormap during = rootColormap();
    qInfo("root colormap while the engine draws on it: 0x%x (default 0x%x)", during.colormap,
          during.defaultColormap);

    switch (ending) {
    case Ending::quit:
        m_window->sendCommand(EngineCommand::quit);
        break;
    case Ending::stop:
        m_window->transport().stopPlayback();
        break;
    case Ending::engineKilled:
        ::kill(pid_t(m_window->core().cm()->processId()), SIGKILL);
        break;
    case Ending::tavrinClosed:
        QVERIFY(m_window->close());
        m_window.reset();
        break;
    }
    if (m_window)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->core().isEngineRunning(), 10000);

    QTRY_COMPARE_WITH_TIMEOUT(rootColormap().colormap, during.defaultColormap, 5000);
    QVERIFY(rootColormap().installed);
    // The window manager frames a window made now: it has a frame around it.
    QWidget fresh;
    fresh.resize(200, 100);
    fresh.show();
    QTRY_VERIFY_WITH_TIMEOUT(fresh.frameGeometry().top() < fresh.geometry().top(), 5000);
}

QTEST_MAIN(DesktopModeTest)
#include "tst_desktopmode.moc"
