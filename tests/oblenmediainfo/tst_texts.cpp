// The texts the program builds without the library: the open dialog's
// selection, titles and the appending of reports.
#include "input/openselection.h"
#include "report/report.h"

#include <QTest>

class TextsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void openSelection_data();
    void openSelection();
    void dialogTextRoundTrip_data();
    void dialogTextRoundTrip();
    void titles();
    void appendReport();
};

void TextsTest::openSelection_data()
{
    QTest::addColumn<QString>("returned");
    QTest::addColumn<int>("highestIndex");
    QTest::addColumn<QStringList>("paths");

    const QChar nul(u'\0');
    QTest::newRow("cancelled") << QString() << -1 << QStringList{};
    QTest::newRow("one file") << "/media/a b.mkv" << 0 << QStringList{"/media/a b.mkv"};
    QTest::newRow("two files, folder without /")
        << QString("/media" + QString(nul) + "a.mkv" + nul + "b.mp3") << 2
        << QStringList{"/media/a.mkv", "/media/b.mp3"};
    QTest::newRow("two files, folder with /")
        << QString("/media/" + QString(nul) + "a.mkv" + nul + "b.mp3") << 2
        << QStringList{"/media/a.mkv", "/media/b.mp3"};
    QTest::newRow("root folder") << QString("/" + QString(nul) + "a.mkv" + nul + "b.mkv") << 2
                                 << QStringList{"/a.mkv", "/b.mkv"};
    QTest::newRow("three Hangul names")
        << QString("/영상" + QString(nul) + "하나.mkv" + nul + "둘.mkv" + nul + "셋.mkv") << 3
        << QStringList{"/영상/하나.mkv", "/영상/둘.mkv", "/영상/셋.mkv"};
}

void TextsTest::openSelection()
{
    QFETCH(QString, returned);
    QFETCH(int, highestIndex);
    QFETCH(QStringList, paths);
    const OpenSelection selection = openSelectionFromDialogText(returned);
    QCOMPARE(selection.highestIndex, highestIndex);
    QCOMPARE(selection.paths, paths);
}

void TextsTest::dialogTextRoundTrip_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("one") << "/m" << QStringList{"/m/a.mkv"};
    QTest::newRow("two in a folder") << "/m/x y" << QStringList{"/m/x y/a.mkv", "/m/x y/b.mkv"};
    QTest::newRow("two in the root") << "/" << QStringList{"/a.mkv", "/b.mkv"};
    QTest::newRow("one in a subfolder") << "/m" << QStringList{"/m/a.mkv", "/m/sub/b.mkv"};
}

void TextsTest::dialogTextRoundTrip()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    const OpenSelection selection = openSelectionFromDialogText(dialogTextForFiles(folder, files));
    QCOMPARE(selection.paths, files);
    QCOMPARE(selection.highestIndex, files.size() == 1 ? 0 : files.size());
}

void TextsTest::titles()
{
    QCOMPARE(report::fileTitle("/media/영상 모음/a b.mkv"), QString("a b.mkv - 파일 정보"));
    QCOMPARE(report::fileTitle("relative.mp3"), QString("relative.mp3 - 파일 정보"));
    QCOMPARE(report::batchTitle("3"), QString("3개 - 파일 정보"));
}

void TextsTest::appendReport()
{
    QCOMPARE(report::appendReport(QString(), "A"), QString("A"));
    QCOMPARE(report::appendReport("A", "B"), QString("A\r\n\r\nB"));
    QCOMPARE(report::appendReport(report::appendReport("A", "B"), "C"),
             QString("A\r\n\r\nB\r\n\r\nC"));
}

QTEST_GUILESS_MAIN(TextsTest)
#include "tst_texts.moc"
