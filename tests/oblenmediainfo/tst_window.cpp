// The main window and the about window under a real display, describing real
// media with the real library.
#include "../common/bytenamedlink.h"
#include "common/commandlinetext.h"
#include "mediafiles.h"
#include "platform/opendialog.h"
#include "platform/processmemory.h"
#include "report/report.h"
#include "window/info.h"
#include "window/infotextbox.h"
#include "window/main.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <sys/stat.h>

namespace {

// Stands in for the open dialog: returns the text it was given, as the
// dialog would for the user's choice.
class ScriptedOpenDialog : public OpenDialog
{
public:
    explicit ScriptedOpenDialog(QString returned) : m_returned(std::move(returned)) {}
    QString ShowOpen(QWidget *) override { return m_returned; }

private:
    QString m_returned;
};

void dropFiles(QWidget *target, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// The text the window must show after describing these files one after
// another on one thread: one report replaces, several are appended.
QString sequentialText(MediaInfoDLLMOD &library, const QStringList &paths)
{
    if (paths.size() == 1)
        return mediafiles::displayed(report::describe(library, paths.first()));
    QString text;
    for (const QString &path : paths)
        text = report::appendReport(text, report::describe(library, path));
    return mediafiles::displayed(text);
}

// The text the window must show for several files, built from the `mediainfo`
// command given them all in one call: each report is the library's version
// line, a blank line, the command's report and the end marker.
QString joinedCommandReports(MediaInfoDLLMOD &library, const QStringList &reports)
{
    const QString version = library.Option(nullptr, QStringLiteral("Info_Version"), QString());
    QStringList texts;
    for (const QString &commandReport : reports)
        texts << version + "\n\n" + commandReport + report::endMarker;
    return texts.join("\n\n");
}

QString commandText(MediaInfoDLLMOD &library, const QStringList &paths)
{
    const QStringList reports = mediafiles::mediainfoCommandReports(paths);
    if (reports.size() != paths.size())
        return QStringLiteral("the command gave %1 reports").arg(reports.size());
    return joinedCommandReports(library, reports);
}

// Copies of the fixture's media under distinct names, so that each report
// names its own file and the order shows.
QStringList manyFiles(const QString &folder, int count)
{
    QDir().mkpath(folder);
    const QStringList samples{"sample.mkv", "audio-only.mp3", "long.mkv"};
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString sample = samples.at(i % samples.size());
        const QString path = QDir(folder).filePath(
            QString("파일 %1.%2").arg(i, 4, 10, QChar('0')).arg(QFileInfo(sample).suffix()));
        QFile::link(mediafiles::sample(sample), path);
        files << path;
    }
    return files;
}

} // namespace

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

class WindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void startsWithItsTitleTextAndMenus();
    void droppingOneFileReplacesTheText();
    void droppingThreeFilesAppendsInDropOrder();
    void dialogJoinsFolderAndNames_data();
    void dialogJoinsFolderAndNames();
    void dialogWithOneFile();
    void cancellingTheDialogChangesNothing_data();
    void cancellingTheDialogChangesNothing();
    void commandLineWithAQuotedPath();
    void commandLineWithoutTheMarkerDoesNothing();
    void missingLibraryIsSaidInEachReport();
    void foldersStandForTheirFiles_data();
    void foldersStandForTheirFiles();
    void anyFileNameIsDescribed_data();
    void anyFileNameIsDescribed();
    void closingDuringALongBatch();
    void aLargeBatchEqualsTheCommand();
    void memoryStaysFlatOverBatches();
    void secondDropDuringABatch_data();
    void secondDropDuringABatch();
    void aboutWindow();

private:
    void waitUntilDescribed();

    QTemporaryDir m_dir;
    MediaInfoDLLMOD m_library;
    std::unique_ptr<oblenmediainfo::main> m_window;
    QString m_sample;
    QString m_audio;
    QString m_hangul;
};

void WindowTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_sample = mediafiles::sample("sample.mkv");
    m_audio = mediafiles::sample("audio-only.mp3");
    QVERIFY2(QFile::exists(m_sample), "SAMPLE_MEDIA_DIR has no samples");
    m_hangul = mediafiles::copyAs("sample.mkv", m_dir.filePath("내 영상"), "여름 휴가 1.mkv");
}

void WindowTest::init()
{
    m_window = std::make_unique<oblenmediainfo::main>();
    // The program finds this beside itself; the tests are elsewhere.
    m_window->describer().setHelperProgram(QStringLiteral(DESCRIBE_HELPER));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void WindowTest::cleanup()
{
    m_window.reset();
}

void WindowTest::waitUntilDescribed()
{
    if (m_window->isDescribing()) {
        QSignalSpy finished(m_window.get(), &oblenmediainfo::main::describingFinished);
        QVERIFY(finished.wait(60000));
    }
    QVERIFY(!m_window->isDescribing());
}

void WindowTest::startsWithItsTitleTextAndMenus()
{
    QCOMPARE(m_window->windowTitle(), QString("Oblen MediaInfo v1.0.3"));
    QCOMPARE(m_window->infoText()->toPlainText(),
             QString("(여기에 드래그하셔서 파일을 열어주세요)"));
    QCOMPARE(m_window->centralWidget(), m_window->infoText());
    QVERIFY(m_window->infoText()->acceptDrops());
    QStringList menus;
    for (QAction *action : m_window->menuBar()->actions())
        menus << action->text();
    QCOMPARE(menus, (QStringList{"열기", "프로그램 정보"}));

    // The text box covers the client area at any size.
    m_window->resize(400, 300);
    QTRY_COMPARE(m_window->infoText()->width(), m_window->centralWidget()->parentWidget()->width());
    QCOMPARE(m_window->infoText()->geometry().bottom(), m_window->height() - 1);
}

void WindowTest::droppingOneFileReplacesTheText()
{
    dropFiles(m_window->infoText()->viewport(), {m_sample});
    QCOMPARE(m_window->fileCountField, QString("1"));
    QCOMPARE(m_window->windowTitle(), QString("sample.mkv - 파일 정보"));
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText(), sequentialText(m_library, {m_sample}));

    dropFiles(m_window->infoText()->viewport(), {m_hangul});
    QCOMPARE(m_window->windowTitle(), QString("여름 휴가 1.mkv - 파일 정보"));
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText(), sequentialText(m_library, {m_hangul}));
}

void WindowTest::droppingThreeFilesAppendsInDropOrder()
{
    const QStringList files{m_hangul, m_audio, m_sample};
    dropFiles(m_window->infoText()->viewport(), files);
    QCOMPARE(m_window->windowTitle(), QString("3개 - 파일 정보"));
    waitUntilDescribed();
    const QString shown = m_window->infoText()->toPlainText();
    QCOMPARE(shown, sequentialText(m_library, files));
    // Three reports, each ended by the marker and followed by a blank line.
    QCOMPARE(shown.count(report::endMarker), 3);
    QCOMPARE(shown.count(report::endMarker + "\n\nMediaInfoLib - v23.04\n\n"), 2);
    QVERIFY(shown.indexOf(m_hangul) < shown.indexOf(m_audio));
    QVERIFY(shown.indexOf(m_audio) < shown.indexOf(m_sample));

    // A new drop starts a new text.
    dropFiles(m_window->infoText()->viewport(), {m_audio});
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText(), sequentialText(m_library, {m_audio}));
}

void WindowTest::dialogJoinsFolderAndNames_data()
{
    QTest::addColumn<QString>("folder");
    const QString folder = QFileInfo(m_hangul).absolutePath();
    QTest::newRow("folder without /") << folder;
    QTest::newRow("folder with /") << folder + "/";
}

void WindowTest::dialogJoinsFolderAndNames()
{
    QFETCH(QString, folder);
    const QString second =
        mediafiles::copyAs("audio-only.mp3", QFileInfo(m_hangul).absolutePath(), "b b.mp3");
    const QChar nul(u'\0');
    m_window->setOpenDialog(std::make_unique<ScriptedOpenDialog>(
        folder + nul + QFileInfo(m_hangul).fileName() + nul + "b b.mp3"));
    m_window->openAction()->trigger();
    QCOMPARE(m_window->fileCountField, QString("2"));
    QCOMPARE(m_window->windowTitle(), QString("2개 - 파일 정보"));
    waitUntilDescribed();
    const QString shown = m_window->infoText()->toPlainText();
    QCOMPARE(shown, sequentialText(m_library, {m_hangul, second}));
    QVERIFY(!shown.contains("//"));
}

void WindowTest::dialogWithOneFile()
{
    m_window->setOpenDialog(std::make_unique<ScriptedOpenDialog>(m_audio));
    m_window->openAction()->trigger();
    QCOMPARE(m_window->fileCountField, QString("0"));
    QCOMPARE(m_window->windowTitle(), QString("audio-only.mp3 - 파일 정보"));
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText(), sequentialText(m_library, {m_audio}));
}

void WindowTest::cancellingTheDialogChangesNothing_data()
{
    QTest::addColumn<int>("fileCount");
    QTest::addColumn<bool>("duringTheBatch");
    QTest::newRow("one file shown") << 1 << false;
    QTest::newRow("a batch shown") << 3 << false;
    QTest::newRow("a batch being read") << 300 << true;
}

void WindowTest::cancellingTheDialogChangesNothing()
{
    QFETCH(int, fileCount);
    QFETCH(bool, duringTheBatch);
    const QStringList files =
        fileCount == 1 ? QStringList{m_sample} : manyFiles(m_dir.filePath("취소 묶음"), fileCount);
    // The real open dialog, closed with Escape as the user would.
    bool cancelled = false;
    const auto cancelDialog = [&] {
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
            cancelled = true;
        });
        m_window->openAction()->trigger();
    };
    QString shownBefore;
    bool requested = false;
    connect(m_window->infoText(), &QPlainTextEdit::textChanged, this, [&] {
        if (duringTheBatch && !requested &&
            m_window->infoText()->toPlainText().contains(report::endMarker)) {
            QVERIFY(m_window->isDescribing());
            // From the event loop, as the menu opens it: not inside the
            // text box's own edit.
            requested = true;
            QTimer::singleShot(0, this, cancelDialog);
        }
    });
    dropFiles(m_window->infoText()->viewport(), files);
    const QString title = m_window->windowTitle();
    if (duringTheBatch) {
        QTRY_VERIFY(cancelled);
        QTRY_VERIFY(!QApplication::activeModalWidget());
    } else {
        waitUntilDescribed();
        shownBefore = m_window->infoText()->toPlainText();
        cancelDialog();
        QVERIFY(cancelled);
        QCOMPARE(m_window->infoText()->toPlainText(), shownBefore);
    }
    QCOMPARE(m_window->windowTitle(), title);
    QCOMPARE(m_window->fileCountField, QString::number(fileCount));
    // A batch being read goes on to its end.
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText().count(report::endMarker), fileCount);
    if (!duringTheBatch)
        QCOMPARE(m_window->infoText()->toPlainText(), shownBefore);
}

void WindowTest::commandLineWithAQuotedPath()
{
    const QString withBlanks =
        mediafiles::copyAs("sample.mkv", m_dir.filePath("폴더 이름 a"), "x y.mkv");
    const QString text = commandLineText({"/open", withBlanks});
    m_window->openCommandLine(text);
    QCOMPARE(m_window->parameterInfoField, text);
    QCOMPARE(m_window->fileOrUrlField, withBlanks);
    QCOMPARE(m_window->windowTitle(), QString("x y.mkv - 파일 정보"));
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText(), sequentialText(m_library, {withBlanks}));
}

void WindowTest::anyFileNameIsDescribed_data()
{
    QTest::addColumn<QByteArray>("name"); // in the test's folder
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<QString>("shown");
    const struct
    {
        const char *row;
        QByteArray name;
        QString shown;
    } names[] = {
        {"CP949", "\xbf\xb5\xbb\xf3.mkv", QStringLiteral("영상.mkv")},
        {"Latin-1", "caf\xe9.mkv", QStringLiteral("café.mkv")},
        {"stray 0xFF", "a\xff b.mkv", QStringLiteral("aÿ b.mkv")},
        // The library would take it for an address.
        {"absolute with ://", "a://b.mkv", QStringLiteral("a://b.mkv")},
    };
    for (const auto &n : names) {
        QTest::addRow("%s, /open", n.row) << n.name << false << n.shown;
        QTest::addRow("%s, dropped", n.row) << n.name << true << n.shown;
    }
}

// The file is described under the name it has: the report is that of the
// same medium under a plain name, naming the file as it can be shown.
void WindowTest::anyFileNameIsDescribed()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, dropped);
    QFETCH(QString, shown);
    const ByteNamedLink link(m_sample, "@/" + name);
    QVERIFY(link.made());
    const QString plain = mediafiles::copyAs("sample.mkv", m_dir.filePath("plain"), "plain.mkv");

    if (dropped) {
        QMimeData data;
        data.setData("text/uri-list", link.uriList());
        QWidget *target = m_window->infoText()->viewport();
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        // The drop goes where the drag entered.
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    } else {
        m_window->openCommandLine(link.commandLine());
    }
    QCOMPARE(m_window->windowTitle(), shown.section('/', -1) + QString(" - 파일 정보"));
    waitUntilDescribed();
    const QString text = m_window->infoText()->toPlainText();
    QVERIFY2(text.contains("\nVideo") && text.contains("\nAudio"), qPrintable(text));
    QCOMPARE(text, sequentialText(m_library, {plain})
                       .replace(plain, QFile::decodeName(link.folder()) + '/' + shown));
}

void WindowTest::commandLineWithoutTheMarkerDoesNothing()
{
    m_window->openCommandLine(commandLineText({m_sample}));
    QCOMPARE(m_window->parameterInfoField, m_sample);
    QVERIFY(!m_window->isDescribing());
    QCOMPARE(m_window->windowTitle(), QString("Oblen MediaInfo v1.0.3"));
    QCOMPARE(m_window->infoText()->toPlainText(),
             QString("(여기에 드래그하셔서 파일을 열어주세요)"));
}

void WindowTest::missingLibraryIsSaidInEachReport()
{
    m_window = std::make_unique<oblenmediainfo::main>("libmediainfo-missing.so.0");
    m_window->describer().setHelperProgram(QStringLiteral(DESCRIBE_HELPER));
    m_window->show();
    dropFiles(m_window->infoText()->viewport(), {m_sample, m_audio});
    waitUntilDescribed();
    const QString said =
        "\n\nMediaInfo 라이브러리(libmediainfo-missing.so.0)를 불러오지 못해 파일 "
        "정보를 읽을 수 없습니다.\nlibmediainfo0v5 패키지를 설치해 주세요: sudo apt "
        "install libmediainfo0v5\n\n파일 정보 추출 끝";
    QCOMPARE(m_window->infoText()->toPlainText(), said + "\n\n" + said);
}

void WindowTest::foldersStandForTheirFiles_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<bool>("onTheCommandLine");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");

    // A folder with hidden files and folders, subfolders whose names sort
    // between the files', a FIFO, a link to nothing and a text file: the
    // `mediainfo` command given the folder chooses and orders its files.
    const QString tree = m_dir.filePath("폴더 묶음");
    mediafiles::copyAs("sample.mkv", tree, "A 영상.mkv");
    mediafiles::copyAs("audio-only.mp3", tree, "a.mp3");
    mediafiles::copyAs("audio-only.mp3", tree, ".숨김.mp3");
    mediafiles::copyAs("audio-only.mp3", tree + "/.숨은 폴더", "x.mp3");
    mediafiles::copyAs("audio-only.mp3", tree + "/a-c", "d.mp3");
    mediafiles::copyAs("long.mkv", tree + "/아래/더 아래", "긴 영상.mkv");
    QFile::link(mediafiles::sample("audio-only.mp3"), tree + "/노래 링크.mp3");
    QFile::link("/nonexistent/file.mp3", tree + "/없는 링크.mp3");
    QVERIFY(mkfifo(QFile::encodeName(tree + "/pipe.mp3").constData(), 0600) == 0);
    QFile notes(tree + "/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("not a medium\n");
    notes.close();
    const QStringList reports = mediafiles::mediainfoCommandReports({tree});
    QCOMPARE(reports.size(), 7);
    const QString treeText = joinedCommandReports(m_library, reports);
    const QString treeTitle = "7개 - 파일 정보";
    QTest::newRow("dropped") << QStringList{tree} << false << treeTitle << treeText;
    QTest::newRow("on the command line") << QStringList{tree} << true << treeTitle << treeText;

    const QString single = m_dir.filePath("하나만");
    const QString only = mediafiles::copyAs("audio-only.mp3", single + "/안쪽", "유일한.mp3");
    QTest::newRow("one file inside") << QStringList{single} << false << "유일한.mp3 - 파일 정보"
                                     << sequentialText(m_library, {only});

    const QString empty = m_dir.filePath("빈 폴더");
    QVERIFY(QDir().mkpath(empty + "/속"));
    QFile::copy(m_audio, empty + "/.숨김.mp3");
    const QString said = "폴더에서 정보를 읽을 파일을 찾지 못했습니다: " + empty;
    QTest::newRow("nothing to describe")
        << QStringList{empty} << false << "빈 폴더 - 파일 정보" << said;
    QTest::newRow("nothing to describe, on the command line")
        << QStringList{empty} << true << "빈 폴더 - 파일 정보" << said;
    QTest::newRow("nothing to describe, then a file")
        << QStringList{empty, m_audio} << false << "1개 - 파일 정보"
        << said + "\n\n" + sequentialText(m_library, {m_audio});
}

void WindowTest::foldersStandForTheirFiles()
{
    QFETCH(QStringList, given);
    QFETCH(bool, onTheCommandLine);
    QFETCH(QString, title);
    QFETCH(QString, expected);
    if (onTheCommandLine)
        m_window->openCommandLine(commandLineText({"/open", given.first()}));
    else
        dropFiles(m_window->infoText()->viewport(), given);
    QCOMPARE(m_window->windowTitle(), title);
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText(), expected);
}

void WindowTest::closingDuringALongBatch()
{
    const QStringList files = manyFiles(m_dir.filePath("닫을 묶음"), 1000);
    // The window shows the first reports while the rest are still being read,
    // and can be closed then.
    bool closed = false;
    connect(m_window->infoText(), &QPlainTextEdit::textChanged, this, [&] {
        if (!closed && m_window->infoText()->toPlainText().contains(report::endMarker)) {
            QVERIFY(m_window->isDescribing());
            closed = m_window->close();
        }
    });
    dropFiles(m_window->infoText()->viewport(), files);
    QTRY_VERIFY(closed);
    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->isDescribing());
    const QString left = m_window->infoText()->toPlainText();
    const auto shown = left.count(report::endMarker);
    QVERIFY(shown < files.size());
    QCOMPARE(left, sequentialText(m_library, files.mid(0, shown)));
    QTest::qWait(300);
    QCOMPARE(m_window->infoText()->toPlainText(), left);
    // The program ends with the window: its end waits for the files being
    // read at the moment, not for the rest of the batch.
    const std::vector<pid_t> processes = m_window->describer().helperProcessIds();
    QVERIFY(!processes.empty());
    QElapsedTimer ending;
    ending.start();
    m_window.reset();
    QVERIFY2(ending.elapsed() < 1000, qPrintable(QString::number(ending.elapsed())));
    // The describing processes are gone with it, none left behind unreaped.
    for (const pid_t process : processes)
        QCOMPARE(::kill(process, 0), -1);
}

void WindowTest::aLargeBatchEqualsTheCommand()
{
    const QStringList files = manyFiles(m_dir.filePath("많은 파일"), 1000);
    dropFiles(m_window->infoText()->viewport(), files);
    QCOMPARE(m_window->windowTitle(), QString("1000개 - 파일 정보"));
    waitUntilDescribed();
    const QStringList shown = m_window->infoText()->toPlainText().split(report::endMarker);
    const QStringList expected = commandText(m_library, files).split(report::endMarker);
    // Report by report, so that a difference names its file.
    QCOMPARE(shown.size(), expected.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        QCOMPARE(shown.at(i), expected.at(i));
}

void WindowTest::memoryStaysFlatOverBatches()
{
#if defined(__SANITIZE_ADDRESS__)
    // Its quarantine keeps freed blocks until it holds 256 MB, so RSS grows
    // over the batches whatever the window keeps.
    QSKIP("the sanitizer's allocator, not the program's, decides what stays");
#endif
    // What one batch leaves behind, the next must not add to: the window kept
    // a few megabytes more after each batch of a few hundred reports.
    const QStringList files = manyFiles(m_dir.filePath("되풀이 묶음"), 500);
    QList<qint64> afterBatch;
    for (int batch = 0; batch < 4; ++batch) {
        dropFiles(m_window->infoText()->viewport(), files);
        waitUntilDescribed();
        QCOMPARE(m_window->infoText()->toPlainText().count(report::endMarker), files.size());
        afterBatch << processMemoryKb(QStringLiteral("self"), "VmRSS");
    }
    QStringList figures;
    for (const qint64 kb : afterBatch)
        figures << QString::number(kb);
    // Kept memory grows batch after batch; one batch read while the heap
    // was briefly higher (a buffer not yet given back) is not growth.
    const qint64 kept = std::min(afterBatch.at(2), afterBatch.at(3));
    QVERIFY(afterBatch.first() > 0);
    QVERIFY2(kept - afterBatch.first() < 1536,
             qPrintable("KiB after each batch: " + figures.join(' ')));
}

void WindowTest::secondDropDuringABatch_data()
{
    QTest::addColumn<QStringList>("second");
    QTest::newRow("one file replaces") << QStringList{m_audio};
    // Enough files that the first batch's files being read at the moment of
    // the drop have indexes of the second batch too.
    QTest::newRow("many files are appended") << manyFiles(m_dir.filePath("둘째 묶음"), 40);
}

void WindowTest::secondDropDuringABatch()
{
    QFETCH(QStringList, second);
    const QStringList first = manyFiles(m_dir.filePath("첫 묶음"), 300);
    // The second drop comes once the first reports are shown.
    bool dropped = false;
    connect(m_window->infoText(), &QPlainTextEdit::textChanged, this, [&] {
        if (!dropped && m_window->infoText()->toPlainText().contains(report::endMarker)) {
            QVERIFY(m_window->isDescribing());
            dropped = true;
            dropFiles(m_window->infoText()->viewport(), second);
        }
    });
    dropFiles(m_window->infoText()->viewport(), first);
    QTRY_VERIFY(dropped);
    waitUntilDescribed();
    const QString expected =
        second.size() == 1 ? sequentialText(m_library, second) : commandText(m_library, second);
    QCOMPARE(m_window->infoText()->toPlainText(), expected);
    // Nothing of the first batch comes late.
    QTest::qWait(300);
    QCOMPARE(m_window->infoText()->toPlainText(), expected);
}

void WindowTest::aboutWindow()
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("https", &recorder, "open");
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        auto *about = qobject_cast<oblenmediainfo::info *>(QApplication::activeModalWidget());
        QVERIFY(about);
        checked = true;
        QCOMPARE(about->windowTitle(), QString("Oblen MediaInfo 정보"));
        const QString text = about->textBox()->toPlainText();
        for (const char *needed : {"오블렌 미디어 인포", "Oblen", "doc/gpl.txt", "doc/lgpl.txt",
                                   "Oblen Encoder", "LGPL", "https://mediaarea.net/MediaInfo"})
            QVERIFY2(text.contains(QString::fromUtf8(needed)), needed);
        QCOMPARE(about->makerButton()->text(), QString("오블렌의 연구소"));
        QCOMPARE(about->mediaInfoButton()->text(), QString("MediaInfo 홈페이지"));
        QCOMPARE(about->okButton()->text(), QString("확인"));
        QTest::mouseClick(about->makerButton(), Qt::LeftButton);
        QTest::mouseClick(about->mediaInfoButton(), Qt::LeftButton);
        QVERIFY(about->isVisible());
        QTest::mouseClick(about->okButton(), Qt::LeftButton);
    });
    m_window->aboutAction()->trigger();
    QDesktopServices::unsetUrlHandler("https");
    QVERIFY(checked);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(recorder.opened, (QList<QUrl>{oblenmediainfo::info::makerHomePage,
                                           oblenmediainfo::info::mediaInfoHomePage}));
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
