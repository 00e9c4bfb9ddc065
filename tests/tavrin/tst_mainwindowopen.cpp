// Opening, restarting and closing through the main window, under the test
// display.
#include "../common/bytenamedlink.h"
#include "engine/commands.h"
#include "fakesystem.h"
#include "modalwindow.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <csignal>

namespace {
const QString sample = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");

bool started(mainform &w)
{
    return w.core().state().value(Field::engineOutputBox).contains(
        QStringLiteral("Starting playback...\r\n"));
}

void drop(mainform &w, const QStringList &files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    const QPointF at = w.videoFrame()->geometry().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &dropped);
}

// A drop as a file manager makes it: the raw "text/uri-list" bytes.
void dropUriList(mainform &w, const QByteArray &uriList)
{
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uriList);
    const QPointF at = w.videoFrame()->geometry().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &dropped);
}

QList<QByteArray> processArguments(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\0') : QList<QByteArray>();
}

double askPosition(mainform &w)
{
    w.sendCommand(EngineCommand::getTimePos);
    QTest::qWait(50);
    return w.core().state().value(Field::currentSecondsField).toDouble();
}
} // namespace

class MainWindowOpenTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void cancellingTheDialogKeepsTheMedium();
    void dropsOpenExactlyOneFile();
    void anyFileNamePlays_data();
    void anyFileNamePlays();
    void restartResumesNearThePositionWithTheCheckedTrack();
    void fontCacheNoticeForStyledSubtitles();
    void closingDeletesTheStyleFileAndLeavesNoEngine();
    void aRefusedSystemIsToldAndGoesNoFurther();

private:
    void open(const QString &path);
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
};

void MainWindowOpenTest::init()
{
    qunsetenv("TAVRIN_MPLAYER");
    m_system = std::make_unique<FakeSystem>();
    m_system->font = QStringLiteral(KOREAN_FONT);
    m_window = std::make_unique<mainform>(m_system.get());
    m_window->move(40, 40);
    m_window->resize(640, 360);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->start(QString());
}

void MainWindowOpenTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        m_window->opener().waitForEngineEnd();
    }
    m_window.reset();
    m_system.reset();
}

void MainWindowOpenTest::open(const QString &path)
{
    m_window->openActions().chooseFile = [path] { return path; };
    m_window->openActions().openMediaFile();
    QVERIFY(QTest::qWaitFor([&] { return started(*m_window); }, 15000));
}

void MainWindowOpenTest::cancellingTheDialogKeepsTheMedium()
{
    open(sample);
    const QString pid = m_window->core().state().value(Field::processHandleField);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample.mkv - Tavrin v1.0.53"));
    m_window->openActions().chooseFile = [] { return QString(); };
    m_window->openActions().openMediaFile();
    m_window->openActions().askAddress = [] { return QStringLiteral("   "); };
    m_window->openActions().openUrl();
    m_window->openActions().openWithAviSynth();
    QCOMPARE(m_window->core().state().value(Field::mediaPathField), sample);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample.mkv - Tavrin v1.0.53"));
    QVERIFY(m_window->core().isEngineRunning());
    QCOMPARE(m_window->core().state().value(Field::processHandleField), pid);
}

void MainWindowOpenTest::dropsOpenExactlyOneFile()
{
    drop(*m_window, {sample, QStringLiteral(SAMPLE_MEDIA_DIR "/audio-only.mp3")});
    QTest::qWait(300);
    QVERIFY(!m_window->core().isEngineRunning());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tavrin v1.0.53"));

    drop(*m_window, {sample});
    QVERIFY(QTest::qWaitFor([&] { return started(*m_window); }, 15000));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample.mkv - Tavrin v1.0.53"));

    // A folder dropped alone is no file to play: the medium plays on. (An
    // accepted drop has replaced the run by the time the drop returns.)
    const QString run = m_window->core().state().value(Field::processHandleField);
    drop(*m_window, {QStringLiteral(SAMPLE_MEDIA_DIR)});
    QVERIFY(m_window->core().isEngineRunning());
    QCOMPARE(m_window->core().state().value(Field::processHandleField), run);
    QCOMPARE(m_window->core().state().value(Field::mediaPathField), sample);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample.mkv - Tavrin v1.0.53"));
}

void MainWindowOpenTest::anyFileNamePlays_data()
{
    QTest::addColumn<QByteArray>("name");     // made in a folder of its own ("@")
    QTest::addColumn<bool>("dropped");        // or given after "/open"
    QTest::addColumn<QByteArray>("argument"); // what the engine is given
    QTest::addColumn<QString>("title");
    const struct
    {
        const char *row;
        QByteArray name, argument;
        QString title;
    } names[] = {
        {"CP949", "@/\xbf\xb5\xbb\xf3.mkv", "@/\xbf\xb5\xbb\xf3.mkv", QStringLiteral("영상.mkv")},
        {"Latin-1", "@/caf\xe9.mkv", "@/caf\xe9.mkv", QStringLiteral("café.mkv")},
        {"stray 0xFF", "@/a\xff b.mkv", "@/a\xff b.mkv", QStringLiteral("aÿ b.mkv")},
        // The engine would read these as addresses and open nothing.
        {"absolute with ://", "@/a://b.mkv", "file://@/a:/b.mkv", QStringLiteral("b.mkv")},
        // "dvd://" and a '-' after it would be read as a range of titles.
        {"relative dvd://1", "dvd://1", "file://@/dvd:/1", QStringLiteral("1")},
    };
    for (const auto &n : names) {
        QTest::addRow("%s, /open", n.row) << n.name << false << n.argument << n.title;
        if (n.name.startsWith('@'))
            QTest::addRow("%s, dropped", n.row) << n.name << true << n.argument << n.title;
    }
}

void MainWindowOpenTest::anyFileNamePlays()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, dropped);
    QFETCH(QByteArray, argument);
    QFETCH(QString, title);
    const ByteNamedLink link(sample, name);
    QVERIFY(link.made());
    argument.replace('@', link.folder());
    if (dropped)
        dropUriList(*m_window, link.uriList());
    else
        m_window->opener().openCommandLineMedia(link.commandLine());
    QVERIFY2(QTest::qWaitFor([&] { return started(*m_window); }, 15000),
             qPrintable(m_window->core().state().value(Field::engineOutputBox)));
    QCOMPARE(m_window->windowTitle(), title + QStringLiteral(" - Tavrin v1.0.53"));
    const QList<QByteArray> engineArguments = processArguments(m_window->core().cm()->processId());
    QVERIFY2(engineArguments.contains(argument), engineArguments.join(' ').constData());
}

void MainWindowOpenTest::restartResumesNearThePositionWithTheCheckedTrack()
{
    open(sample);
    QVERIFY(QTest::qWaitFor([&] { return askPosition(*m_window) > 3.0; }, 10000));
    OptionStore &options = m_window->core().options();
    options.setCaption(Menu::audioTrackMenu, 0, QStringLiteral("0 - kor"));
    options.setCaption(Menu::audioTrackMenu, options.loadItem(Menu::audioTrackMenu),
                       QStringLiteral("1 - eng"));
    options.choose(Menu::audioTrackMenu, 1);
    const double before = askPosition(*m_window);
    const QString firstRun = m_window->core().state().value(Field::processHandleField);

    m_window->opener().restartAtPosition();
    QVERIFY(QTest::qWaitFor([&] {
        return m_window->core().state().value(Field::processHandleField) != firstRun &&
               started(*m_window);
    }, 15000));
    const QString box = m_window->core().state().value(Field::engineOutputBox);
    QVERIFY(box.contains(QStringLiteral(" -volume 50 -aid 1 -channels 2")));
    QVERIFY(box.contains(QStringLiteral(" -ss ")));
    double after = 0;
    QVERIFY(QTest::qWaitFor([&] { return (after = askPosition(*m_window)) > 0; }, 5000));
    QVERIFY2(after >= before - 1.0 && after < before + 3.0,
             qPrintable(QStringLiteral("%1 then %2").arg(before).arg(after)));
}

void MainWindowOpenTest::fontCacheNoticeForStyledSubtitles()
{
    m_system->fontCache = QStringLiteral("/nonexistent/fontconfig");
    m_window->core().state().setValue(Field::useDefaultSubtitleSettingsField, QStringLiteral("0"));
    // The notice is up as soon as the engine is launched, before it has said anything;
    // waiting for playback first would race with the notice going away.
    m_window->openActions().chooseFile = [] { return sample; };
    m_window->openActions().openMediaFile();
    QVERIFY(m_window->fontCacheNotice()->isVisible());
    const QRect notice = m_window->fontCacheNotice()->geometry();
    QVERIFY(m_window->videoFrame()->rect().contains(notice));
    QVERIFY(qAbs(notice.center().x() - m_window->videoFrame()->rect().center().x()) <= 1);
    // Once playback has started the cache is built and the notice goes.
    QVERIFY(QTest::qWaitFor([&] { return !m_window->fontCacheNotice()->isVisible(); }, 10000));
    QVERIFY(!m_window->core().state().value(Field::infoLabel).isEmpty());

    m_system->fontCache = m_system->folder.path(); // the cache is there now
    m_window->opener().openAndPlay(sample, QStringLiteral("sample.mkv"));
    QVERIFY(!m_window->fontCacheNotice()->isVisible());
}

void MainWindowOpenTest::closingDeletesTheStyleFileAndLeavesNoEngine()
{
    open(sample);
    const QString style = m_window->core().subtitleStylePath();
    QVERIFY(QFile::exists(style));
    const auto engine = static_cast<pid_t>(m_window->core().cm()->processId());
    QVERIFY(m_window->close());
    QVERIFY(!QFile::exists(style));
    m_window.reset();
    QVERIFY(QTest::qWaitFor([&] { return ::kill(engine, 0) != 0; }, 15000));
    QCOMPARE(m_system->recorder.value(), QString());
}

void MainWindowOpenTest::aRefusedSystemIsToldAndGoesNoFurther()
{
    FakeSystem old;
    old.supported = false;
    mainform window(&old);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QString told;
    whenModalShows([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            told = box->text();
        modal->close();
    });
    QVERIFY(!window.start(QStringLiteral("/open \"") + sample + QLatin1Char('"')));
    QCOMPARE(told, QStringLiteral("Windows 2000 이상 운영체제에서 실행하실 수 있습니다."));
    // Nothing of the start-up ran: no defaults, no medium, no engine.
    QVERIFY(!window.core().options().checkedItem(Menu::videoOutputMenu));
    QCOMPARE(window.core().state().value(Field::mediaPathField), QString());
    QVERIFY(!window.core().isEngineRunning());
}

QTEST_MAIN(MainWindowOpenTest)
#include "tst_mainwindowopen.moc"
