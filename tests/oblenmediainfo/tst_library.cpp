// The library binding and the reports against the real libmediainfo, with the
// `mediainfo` command as the reference for the library's part.
#include "library/MediaInfoDLLMOD.h"
#include "mediafiles.h"
#include "report/batchdescriber.h"
#include "report/describehelper.h"
#include "report/report.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <csignal>
#include <sys/stat.h>

namespace {

const QString crlf = QStringLiteral("\r\n");

// Splits a report into its version line and its library part, checking the
// form every report has: version, two CR LF, library part, end marker.
bool splitReport(const QString &text, QString *version, QString *libraryPart)
{
    const qsizetype versionEnd = text.indexOf(crlf + crlf);
    if (versionEnd < 0 || !text.endsWith(report::endMarker))
        return false;
    *version = text.left(versionEnd);
    const qsizetype partStart = versionEnd + 4;
    *libraryPart = text.mid(partStart, text.size() - report::endMarker.size() - partStart);
    return true;
}

// The ways a batch is read: by describing processes (the window's way), in
// this process, and in this process because the program cannot be started.
void addWaysOfReading()
{
    QTest::addColumn<QString>("helper");
    QTest::newRow("describing processes") << QStringLiteral(DESCRIBE_HELPER);
    QTest::newRow("this process") << QString();
    QTest::newRow("program missing") << QStringLiteral("/nonexistent/oblenmediainfo-describe");
}

bool processRuns(pid_t pid)
{
    return ::kill(pid, 0) == 0;
}

} // namespace

class LibraryTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void reportMatchesMediainfoCommand_data();
    void reportMatchesMediainfoCommand();
    void badInputKeepsTheReportForm_data();
    void badInputKeepsTheReportForm();
    void missingLibrary();
    void batchGivesTheSequentialReportsInOrder_data() { addWaysOfReading(); }
    void batchGivesTheSequentialReportsInOrder();
    void clearDropsReportsOfTheOldBatch_data() { addWaysOfReading(); }
    void clearDropsReportsOfTheOldBatch();
    void manyFilesOnEveryWorker();
    void aFileThatCrashesTheLibraryEndsOnlyItsProcess();

private:
    QTemporaryDir m_dir;
    MediaInfoDLLMOD m_library;
    QByteArray m_characterType;
};

void LibraryTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(mediafiles::sample("sample.mkv")), "SAMPLE_MEDIA_DIR has no samples");
    m_characterType = std::setlocale(LC_CTYPE, nullptr);
    QVERIFY(m_library.IsLoaded());
}

void LibraryTest::cleanupTestCase()
{
    // Hangul names open under any locale without the process's locale being
    // switched: setlocale is not safe while other threads run.
    QCOMPARE(QByteArray(std::setlocale(LC_CTYPE, nullptr)), m_characterType);
}

void LibraryTest::reportMatchesMediainfoCommand_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("sample clip") << mediafiles::sample("sample.mkv");
    QTest::newRow("audio only") << mediafiles::sample("audio-only.mp3");
    QTest::newRow("Hangul name") << mediafiles::copyAs("sample.mkv", m_dir.filePath("한글 폴더"),
                                                       "시험 영상 파일.mkv");
    QTest::newRow("Hangul name, audio")
        << mediafiles::copyAs("audio-only.mp3", m_dir.path(), "노래 ①.mp3");
}

void LibraryTest::reportMatchesMediainfoCommand()
{
    QFETCH(QString, path);
    const QString text = report::describe(m_library, path);
    QString version;
    QString libraryPart;
    QVERIFY2(splitReport(text, &version, &libraryPart), qPrintable(text));
    QCOMPARE(version, QString("MediaInfoLib - v23.04"));

    const QString expected = mediafiles::mediainfoCommandReport(path);
    QVERIFY(expected.contains(path));
    // Line for line, so that a difference names its line.
    const QStringList got = libraryPart.split(QLatin1Char('\n'));
    const QStringList want = expected.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i)
        QCOMPARE(got.at(i), want.at(i));
    QCOMPARE(got.size(), want.size());
}

void LibraryTest::badInputKeepsTheReportForm_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("libraryPartEmpty");

    QFile empty(m_dir.filePath("빈 파일.mkv"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QFile text(m_dir.filePath("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a medium, just a few words\n");
    text.close();
    const QString fifo = m_dir.filePath("pipe");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    QTest::newRow("missing file") << m_dir.filePath("사라진 파일.mkv") << true;
    QTest::newRow("directory") << m_dir.path() << true;
    QTest::newRow("empty file") << empty.fileName() << false;
    QTest::newRow("text file") << text.fileName() << false;
    // Reading a FIFO nobody writes to would block for ever.
    QTest::newRow("fifo") << fifo << true;
}

void LibraryTest::badInputKeepsTheReportForm()
{
    QFETCH(QString, path);
    QFETCH(bool, libraryPartEmpty);
    QString version;
    QString libraryPart;
    const QString text = report::describe(m_library, path);
    QVERIFY2(splitReport(text, &version, &libraryPart), qPrintable(text));
    QCOMPARE(version, QString("MediaInfoLib - v23.04"));
    if (libraryPartEmpty)
        QCOMPARE(libraryPart, QString());
    else
        QVERIFY2(libraryPart.contains(path), qPrintable(libraryPart));
}

void LibraryTest::missingLibrary()
{
    // The report says which library could not be loaded and what to install,
    // in place of the library's part.
    const auto expected = [](const char *library) {
        return crlf + crlf + "MediaInfo 라이브러리(" + library +
               ")를 불러오지 못해 파일 정보를 읽을 수 없습니다." + crlf +
               "libmediainfo0v5 패키지를 설치해 주세요: sudo apt install libmediainfo0v5" + crlf +
               crlf + report::endMarker;
    };
    MediaInfoDLLMOD missing(QStringLiteral("libmediainfo-missing.so.0"));
    QVERIFY(!missing.IsLoaded());
    QCOMPARE(missing.New(), nullptr);
    QCOMPARE(report::describe(missing, mediafiles::sample("sample.mkv")),
             expected("libmediainfo-missing.so.0"));
    QCOMPARE(report::describe(missing, m_dir.filePath("none.mkv")),
             expected("libmediainfo-missing.so.0"));

    // A library that loads but is not MediaInfo counts as missing too.
    MediaInfoDLLMOD other(QStringLiteral("libz.so.1"));
    QVERIFY(!other.IsLoaded());
    QCOMPARE(report::describe(other, mediafiles::sample("sample.mkv")), expected("libz.so.1"));
}

void LibraryTest::batchGivesTheSequentialReportsInOrder()
{
    // Long and short files mixed, so that workers finish out of order.
    // A Hangul name on the workers too, whatever the process's locale.
    const QString hangul =
        mediafiles::copyAs("audio-only.mp3", m_dir.filePath("작업 폴더"), "일꾼 노래.mp3");
    QStringList files;
    for (int i = 0; i < 4; ++i) {
        files << mediafiles::sample("long.mkv") << mediafiles::sample("audio-only.mp3")
              << mediafiles::sample("sample.mkv") << m_dir.filePath("없음.mkv") << hangul;
    }
    QFETCH(QString, helper);
    BatchDescriber describer(m_library);
    describer.setHelperProgram(helper);
    QSignalSpy reports(&describer, &BatchDescriber::reportReady);
    QSignalSpy idle(&describer, &BatchDescriber::idle);
    for (const QString &file : files)
        describer.add(file);
    QCOMPARE(describer.pendingCount(), files.size());
    QVERIFY(idle.wait(60000));
    // One process stays for the next file; the others have ended.
    QTRY_COMPARE(int(describer.helperProcessIds().size()), helper == DESCRIBE_HELPER ? 1 : 0);
    const std::vector<pid_t> processes = describer.helperProcessIds();
    QCOMPARE(idle.size(), 1);
    QCOMPARE(describer.pendingCount(), 0);
    QCOMPARE(reports.size(), files.size());
    for (qsizetype i = 0; i < files.size(); ++i) {
        QCOMPARE(reports.at(i).at(0).toInt(), i);
        QCOMPARE(reports.at(i).at(1).toString(), files.at(i));
        QCOMPARE(reports.at(i).at(2).toString(), report::describe(m_library, files.at(i)));
    }
    QVERIFY2(reports.at(4).at(2).toString().contains(QStringLiteral("\nAudio")),
             qPrintable(reports.at(4).at(2).toString()));
    for (const pid_t process : processes)
        QVERIFY(processRuns(process));
}

void LibraryTest::clearDropsReportsOfTheOldBatch()
{
    QFETCH(QString, helper);
    BatchDescriber describer(m_library);
    describer.setHelperProgram(helper);
    QSignalSpy reports(&describer, &BatchDescriber::reportReady);
    QSignalSpy idle(&describer, &BatchDescriber::idle);
    for (int i = 0; i < 30; ++i)
        describer.add(mediafiles::sample("long.mkv"));
    describer.clear();
    QCOMPARE(describer.pendingCount(), 0);
    const QString kept = mediafiles::sample("audio-only.mp3");
    describer.add(kept);
    QVERIFY(idle.wait(60000));
    // Reports of the first batch still running when it was cleared must not
    // arrive late.
    QTest::qWait(200);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.at(0).at(0).toInt(), 0);
    QCOMPARE(reports.at(0).at(1).toString(), kept);
}

void LibraryTest::manyFilesOnEveryWorker()
{
    // Handles come and go on all workers at once, so the library's count of
    // live handles often drops to none while another worker asks for the
    // version text: that is when a shared result buffer would be freed under
    // a reader.
    QStringList files;
    for (int i = 0; i < 100; ++i)
        files << mediafiles::sample("audio-only.mp3") << m_dir.filePath("없음.mkv") << m_dir.path();
    const QString audio = report::describe(m_library, files.at(0));
    const QString missing = report::describe(m_library, files.at(1));
    BatchDescriber describer(m_library);
    describer.setMaxThreadCount(std::max(4, describer.maxThreadCount()));
    QStringList texts;
    connect(&describer, &BatchDescriber::reportReady, this,
            [&](int, const QString &, const QString &text) { texts << text; });
    QSignalSpy idle(&describer, &BatchDescriber::idle);
    for (int round = 1; round <= 5; ++round) {
        texts.clear();
        for (const QString &file : files)
            describer.add(file);
        QVERIFY(idle.wait(120000));
        QCOMPARE(idle.size(), round);
        QCOMPARE(texts.size(), files.size());
        for (qsizetype i = 0; i < files.size(); ++i)
            QCOMPARE(texts.at(i), i % 3 == 0 ? audio : missing);
        describer.clear();
    }
}

void LibraryTest::aFileThatCrashesTheLibraryEndsOnlyItsProcess()
{
    // Were the file read in this process, this test would end here.
    MediaInfoDLLMOD crashing(QStringLiteral(CRASHING_LIBRARY));
    const QString version = QStringLiteral("CrashingInfo - v1");
    QStringList files;
    for (int i = 0; i < 12; ++i)
        files << m_dir.filePath(
            (i % 4 == 1 ? QStringLiteral("crash %1.mkv") : QStringLiteral("영상 %1.mkv")).arg(i));
    const auto expected = [&](const QString &file) {
        const QString libraryPart = file.contains(QStringLiteral("crash"))
                                        ? QString()
                                        : QStringLiteral("Complete name : ") + file;
        return version + crlf + crlf + libraryPart + report::endMarker;
    };
    BatchDescriber describer(crashing);
    describer.setHelperProgram(QStringLiteral(DESCRIBE_HELPER));
    QStringList texts;
    connect(&describer, &BatchDescriber::reportReady, this,
            [&](int, const QString &, const QString &text) { texts << text; });
    QSignalSpy idle(&describer, &BatchDescriber::idle);
    for (const QString &file : files)
        describer.add(file);
    QVERIFY(idle.wait(60000));
    QCOMPARE(texts.size(), files.size());
    for (qsizetype i = 0; i < files.size(); ++i)
        QCOMPARE(texts.at(i), expected(files.at(i)));
    // A crash may have taken the kept process too.
    QTRY_VERIFY(describer.helperProcessIds().size() <= 1);

    // A process killed from outside while it waited for a file (here the one
    // started early, as at the program's start) must not cost that file its
    // report.
    BatchDescriber single(crashing);
    single.setHelperProgram(QStringLiteral(DESCRIBE_HELPER));
    single.setMaxThreadCount(1);
    std::unique_ptr<DescribeHelper> waiting =
        DescribeHelper::spawn(QStringLiteral(DESCRIBE_HELPER), crashing.LibraryName());
    QVERIFY(waiting && waiting->ready());
    QCOMPARE(::kill(waiting->processId(), SIGKILL), 0);
    single.adoptHelper(std::move(waiting));
    QSignalSpy reports(&single, &BatchDescriber::reportReady);
    single.add(files.at(0));
    QVERIFY(reports.wait(60000));
    QCOMPARE(reports.at(0).at(2).toString(), expected(files.at(0)));
}

QTEST_GUILESS_MAIN(LibraryTest)
#include "tst_library.moc"
