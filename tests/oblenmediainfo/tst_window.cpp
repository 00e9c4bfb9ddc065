// The main window and the about window under a real display, describing real
// media with the real library.
#include "../common/bytenamedlink.h"
#include "common/commandlinetext.h"
#include "mediafiles.h"
#include "platform/opendialog.h"
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
QString commandText(MediaInfoDLLMOD &library, const QStringList &paths)
{
    const QString version = library.Option(nullptr, QStringLiteral("Info_Version"), QString());
    const QStringList reports = mediafiles::mediainfoCommandReports(paths);
    if (reports.size() != paths.size())
        return QStringLiteral("the command gave %1 reports").arg(reports.size());
    QStringList texts;
    for (const QString &commandReport : reports)
        texts << version + "\n\n" + commandReport + report::endMarker;
    return texts.join("\n\n");
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
    void cancellingTheDialogEmptiesTheText();
    void commandLineWithAQuotedPath();
    void commandLineWithoutTheMarkerDoesNothing();
    void anyFileNameIsDescribed_data();
    void anyFileNameIsDescribed();
    void missingLibraryKeepsTheReportForm();
    void closingDuringALongBatch();
    void aLargeBatchEqualsTheCommand();
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

void WindowTest::cancellingTheDialogEmptiesTheText()
{
    dropFiles(m_window->infoText()->viewport(), {m_sample});
    waitUntilDescribed();
    m_window->setOpenDialog(std::make_unique<ScriptedOpenDialog>(QString()));
    m_window->openAction()->trigger();
    QCOMPARE(m_window->infoText()->toPlainText(), QString());
    QVERIFY(!m_window->isDescribing());
    QCOMPARE(m_window->windowTitle(), QString("sample.mkv - 파일 정보"));
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

void WindowTest::missingLibraryKeepsTheReportForm()
{
    m_window = std::make_unique<oblenmediainfo::main>("libmediainfo-missing.so.0");
    m_window->describer().setHelperProgram(QStringLiteral(DESCRIBE_HELPER));
    m_window->show();
    dropFiles(m_window->infoText()->viewport(), {m_sample, m_audio});
    waitUntilDescribed();
    QCOMPARE(m_window->infoText()->toPlainText(),
             QString("\n\n파일 정보 추출 끝\n\n\n\n파일 정보 추출 끝"));
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
    const QString expected = second.size() == 1 ? sequentialText(m_library, second)
                                                : commandText(m_library, second);
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
