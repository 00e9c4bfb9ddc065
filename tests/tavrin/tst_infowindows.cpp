// The program information and engine log windows, opened from the main
// window under the test display.
#include "engine/commands.h"
#include "fakesystem.h"
#include "info/engineversion.h"
#include "info/mplayerlogform.h"
#include "info/programinfoform.h"
#include "window/mainform.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString fakeEngine = QStringLiteral(FAKE_MPLAYER_PATH);
const QString realEngine = QStringLiteral("/usr/bin/mplayer");

bool writeScript(const QString &path, const QByteArray &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return false;
    f.close();
    return f.setPermissions(f.permissions() | QFile::ExeOwner);
}

QString shownLog(const mainform &w)
{
    return w.engineLogWindow() ? w.engineLogWindow()->logBox()->toPlainText() : QString();
}

// The window the X server's WM_TRANSIENT_FOR of a window names, or 0: the
// window manager keeps a window above the one that owns it by this.
quint64 transientFor(const QWidget *window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("WM_TRANSIENT_FOR")});
    if (!xprop.waitForFinished(5000))
        return 0;
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    return out.section(QLatin1Char('#'), 1).trimmed().toULongLong(nullptr, 16);
}

QWidget *openWindow(mainform &w, const QString &which)
{
    if (which == QLatin1String("program information")) {
        w.showProgramInfo();
        return w.programInfoWindow();
    }
    w.showEngineLog();
    return w.engineLogWindow();
}

} // namespace

class InfoWindowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void engineVersionNeverHoldsTheWindowUp_data();
    void engineVersionNeverHoldsTheWindowUp();
    void homePageOpensThroughTheDesktop();
    void oneOwnedModelessWindowEach_data();
    void oneOwnedModelessWindowEach();
    void logFollowsEachEngineRun_data();
    void logFollowsEachEngineRun();

private:
    void runToStart(const QString &medium);
    void stopEngine();
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
    QTemporaryDir m_dir;
};

void InfoWindowsTest::init()
{
    qputenv("TAVRIN_MPLAYER", fakeEngine.toLocal8Bit());
    m_system = std::make_unique<FakeSystem>();
    m_window = std::make_unique<mainform>(m_system.get());
    m_window->resize(640, 360);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void InfoWindowsTest::cleanup()
{
    stopEngine();
    m_window.reset();
    m_system.reset();
    qunsetenv("TAVRIN_MPLAYER");
}

void InfoWindowsTest::runToStart(const QString &medium)
{
    m_window->openCommandLineMedia(QStringLiteral("/open \"%1\"").arg(medium));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return m_window->core()
                .state()
                .value(Field::engineOutputBox)
                .contains(QStringLiteral("Starting playback...\r\n"));
        },
        15000));
}

void InfoWindowsTest::stopEngine()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        QVERIFY(m_window->opener().waitForEngineEnd());
    }
}

void InfoWindowsTest::engineVersionNeverHoldsTheWindowUp_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("label");
    QTest::newRow("real engine") << realEngine << "MPlayer 버전: UNKNOWN-12";
    QTest::newRow("scripted engine") << fakeEngine << "MPlayer 버전: FAKE-1";
    QTest::newRow("missing engine") << "missing"
                                    << "MPlayer 버전: -";
    QTest::newRow("engine that never answers") << "hangs"
                                               << "MPlayer 버전: -";
}

void InfoWindowsTest::engineVersionNeverHoldsTheWindowUp()
{
    QFETCH(QString, engine);
    QFETCH(QString, label);
    if (engine == realEngine && !QFile::exists(realEngine))
        QSKIP("no /usr/bin/mplayer");
    if (engine == QLatin1String("missing"))
        engine = m_dir.filePath(QStringLiteral("no-engine"));
    if (engine == QLatin1String("hangs")) {
        engine = m_dir.filePath(QStringLiteral("hanging-engine"));
        QVERIFY(writeScript(engine, "#!/bin/sh\nexec sleep 600\n"));
    }
    qputenv("TAVRIN_MPLAYER", engine.toLocal8Bit());

    QSignalSpy known(&m_window->engineVersion(), &EngineVersion::known);
    m_window->showProgramInfo();
    programinfoform *info = m_window->programInfoWindow();
    QVERIFY(info);
    // Shown at once, whatever the engine does meanwhile.
    QVERIFY(info->isVisible());
    QCOMPARE(info->windowTitle(), QStringLiteral("Tavrin 정보"));
    QCOMPARE(info->versionCaptionLabel()->text(), QStringLiteral("Tavrin - TEST Ver 1.0 Build 53"));
    QCOMPARE(info->engineVersionLabel()->text(), QStringLiteral("MPlayer 버전: -"));
    QVERIFY(!m_window->engineVersion().isKnown());

    QVERIFY(known.wait(EngineVersion::timeoutMs + 5000));
    QCOMPARE(info->engineVersionLabel()->text(), label);

    // Read once per run: opened again, the window has the version at once
    // even though the engine is gone by now.
    info->okButton()->click();
    QTRY_VERIFY(!m_window->programInfoWindow());
    qputenv("TAVRIN_MPLAYER", m_dir.filePath(QStringLiteral("gone")).toLocal8Bit());
    m_window->showProgramInfo();
    QCOMPARE(m_window->programInfoWindow()->engineVersionLabel()->text(), label);
    QCOMPARE(known.size(), 1);
}

void InfoWindowsTest::homePageOpensThroughTheDesktop()
{
    // A stand-in for the desktop's URL handler notes what it was asked to open.
    const QString opened = m_dir.filePath(QStringLiteral("opened"));
    QVERIFY(
        writeScript(m_dir.filePath(QStringLiteral("xdg-open")),
                    QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(opened).toUtf8()));
    qputenv("PATH", m_dir.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    m_window->showProgramInfo();
    m_window->programInfoWindow()->homePageButton()->click();
    QFile file(opened);
    QTRY_VERIFY_WITH_TIMEOUT(file.exists() && file.size() > 0, 10000);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), programinfoform::homePageAddress);
}

void InfoWindowsTest::oneOwnedModelessWindowEach_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("onTopChoice");
    QTest::addColumn<bool>("onTop");
    for (const char *which : {"program information", "engine log"}) {
        QTest::addRow("%s, always on top", which) << which << 0 << true;
        QTest::addRow("%s, on top while playing, stopped", which) << which << 1 << false;
        QTest::addRow("%s, never on top", which) << which << 2 << false;
    }
}

void InfoWindowsTest::oneOwnedModelessWindowEach()
{
    QFETCH(QString, which);
    QFETCH(int, onTopChoice);
    QFETCH(bool, onTop);
    m_window->core().options().choose(Menu::alwaysOnTopMenu, onTopChoice);

    QWidget *first = openWindow(*m_window, which);
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QCOMPARE(openWindow(*m_window, which), first);
    QCOMPARE(first->parentWidget(), m_window.get());
    QVERIFY(first->isWindow());
    QCOMPARE(transientFor(first), quint64(m_window->winId()));
    QCOMPARE(first->windowModality(), Qt::NonModal);
    QCOMPARE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    int shown = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        shown += w->isVisible() && w->metaObject() == first->metaObject();
    QCOMPARE(shown, 1);
    // The main window still takes its keys and clicks meanwhile.
    QVERIFY(!QApplication::activeModalWidget());

    first->close();
    QTRY_VERIFY(!(which == QLatin1String("engine log")
                      ? static_cast<QWidget *>(m_window->engineLogWindow())
                      : m_window->programInfoWindow()));
    QVERIFY(openWindow(*m_window, which));
}

void InfoWindowsTest::logFollowsEachEngineRun_data()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("scripted engine") << fakeEngine;
    QTest::newRow("real engine") << realEngine;
}

void InfoWindowsTest::logFollowsEachEngineRun()
{
    QFETCH(QString, engine);
    const bool scripted = engine == fakeEngine;
    if (!scripted && !QFile::exists(engine))
        QSKIP("no /usr/bin/mplayer");
    qputenv("TAVRIN_MPLAYER", engine.toLocal8Bit());
    const QString medium =
        scripted ? QStringLiteral("/media/a.mkv") : QStringLiteral(SAMPLE_MEDIA_DIR "/long.mkv");

    m_window->showEngineLog();
    QCOMPARE(m_window->engineLogWindow()->windowTitle(), QStringLiteral("MPlayer 기록"));
    QCOMPARE(shownLog(*m_window), QString());

    runToStart(medium);
    const QString commandLine = m_window->core()
                                    .state()
                                    .value(Field::engineOutputBox)
                                    .section(QStringLiteral("\r\n"), 0, 0);
    QVERIFY(commandLine.contains(medium));
    QTRY_VERIFY(shownLog(*m_window).contains(QStringLiteral("Starting playback...\n")));
    QCOMPARE(shownLog(*m_window).section(QLatin1Char('\n'), 0, 0), commandLine);
    // Position answers are the player's, not the log's.
    QTRY_VERIFY(!m_window->core().state().value(Field::currentSecondsField).isEmpty());
    QVERIFY(!shownLog(*m_window).contains(QStringLiteral("ANS_")));
    QVERIFY(!shownLog(*m_window).contains(QLatin1Char('\r')));

    if (scripted) {
        // It grows while the engine plays, and shows the newest line.
        m_window->sendCommand(QStringLiteral("say one more line"));
        QTRY_VERIFY(shownLog(*m_window).endsWith(QStringLiteral("one more line\n")));
        QPlainTextEdit *box = m_window->engineLogWindow()->logBox();
        QTRY_COMPARE(box->verticalScrollBar()->value(), box->verticalScrollBar()->maximum());

        // The same margin on every side at any size; the text can be copied.
        mplayerlogform *log = m_window->engineLogWindow();
        const int m = mplayerlogform::margin;
        for (const QSize size : {QSize(300, 200), QSize(900, 640)}) {
            log->resize(size);
            QTRY_COMPARE(log->size(), size);
            QCOMPARE(box->geometry(), log->rect().adjusted(m, m, -m, -m));
        }
        box->selectAll();
        box->copy();
        QCOMPARE(QApplication::clipboard()->text(), box->toPlainText());
    }

    // Kept when the engine ends, replaced when the next one starts.
    stopEngine();
    const QString lastRun = shownLog(*m_window);
    QTest::qWait(100);
    QCOMPARE(shownLog(*m_window), lastRun);
    QVERIFY(lastRun.contains(QStringLiteral("Starting playback...")));

    m_window->engineLogWindow()->close();
    runToStart(medium);
    m_window->showEngineLog();
    // The next run draws into a window of its own: its "-wid" differs.
    const QString nextCommandLine = m_window->core()
                                        .state()
                                        .value(Field::engineOutputBox)
                                        .section(QStringLiteral("\r\n"), 0, 0);
    QVERIFY(nextCommandLine.contains(medium));
    QVERIFY(shownLog(*m_window).startsWith(nextCommandLine + QLatin1Char('\n')));
    QCOMPARE(shownLog(*m_window).count(nextCommandLine), 1);
    QVERIFY(!shownLog(*m_window).contains(commandLine));
    if (scripted)
        QVERIFY(!shownLog(*m_window).contains(QStringLiteral("one more line")));
}

QTEST_MAIN(InfoWindowsTest)
#include "tst_infowindows.moc"
