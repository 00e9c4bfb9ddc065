// File names as bytes: every name comes back as the bytes it came in, drops
// and dialog answers keep them, and the shown form is readable.
#include "common/filename.h"

#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class FileNameTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bytesComeBackExactly_data();
    void bytesComeBackExactly();
    void dropsAndDialogsKeepTheBytes_data();
    void dropsAndDialogsKeepTheBytes();
    void addressesAndFiles();
};

void FileNameTest::bytesComeBackExactly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("UTF-8 Hangul") << QByteArray("/m/\xec\x98\x81\xec\x83\x81.mkv")
                                  << QStringLiteral("/m/영상.mkv");
    QTest::newRow("CP949 Hangul") << QByteArray("/m/\xbf\xb5\xbb\xf3.mkv")
                                  << QStringLiteral("/m/영상.mkv");
    // An extended CP949 syllable whose second byte is an ASCII letter.
    QTest::newRow("CP949 with an ASCII trail byte") << QByteArray("/m/\x8c\x63.avi")
                                                    << QStringLiteral("/m/똠.avi");
    QTest::newRow("Latin-1") << QByteArray("/m/caf\xe9.mp3") << QStringLiteral("/m/café.mp3");
    QTest::newRow("stray 0xFF") << QByteArray("/m/a\xff.mkv") << QStringLiteral("/m/aÿ.mkv");
    QTest::newRow("UTF-8 folder, Latin-1 file")
        << QByteArray("/\xec\x98\x81/\xe9t\xe9.ogg") << QStringLiteral("/영/été.ogg");
    QTest::newRow("control byte") << QByteArray("/m/\x85") << QStringLiteral("/m/\uFFFD");
    // Not UTF-8 although they look like it: each byte is kept on its own.
    QTest::newRow("overlong slash, which is CP949")
        << QByteArray("/m/\xc0\xaf") << QStringLiteral("/m/유");
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xa0\x80") << QStringLiteral("\u00ED\u00A0\uFFFD");
    QTest::newRow("cut sequence") << QByteArray("a\xec\x98") << QStringLiteral("a\u00EC\uFFFD");
    QTest::newRow("four-byte UTF-8") << QByteArray("\xf0\x9f\x8e\xac.mkv")
                                     << QStringLiteral("🎬.mkv");
}

void FileNameTest::bytesComeBackExactly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    const QString name = fileNameFromBytes(bytes);
    QCOMPARE(fileNameBytes(name), bytes);
    QCOMPARE(fileNameForDisplay(name), shown);
    // Valid UTF-8 reads as Qt reads it.
    if (QString::fromUtf8(bytes).toUtf8() == bytes)
        QCOMPARE(name, QString::fromUtf8(bytes));
    // The program's arguments as given.
    QByteArray program("tavrin"), open("/open"), argument(bytes);
    char *argv[] = {program.data(), open.data(), argument.data(), nullptr};
    QCOMPARE(programArguments(3, argv), (QStringList{QStringLiteral("/open"), name}));
}

void FileNameTest::dropsAndDialogsKeepTheBytes_data()
{
    QTest::addColumn<QByteArray>("uriList");
    QTest::addColumn<QList<QByteArray>>("names");
    QTest::newRow("percent-encoded Latin-1")
        << QByteArray("file:///m/caf%E9.mp3\r\n") << QList<QByteArray>{"/m/caf\xe9.mp3"};
    QTest::newRow("CP949, two files, a comment")
        << QByteArray("# dragged\r\nfile:///m/%BF%B5.mkv\r\nfile:///m/b%20c.mkv\r\n")
        << QList<QByteArray>{"/m/\xbf\xb5.mkv", "/m/b c.mkv"};
    QTest::newRow("localhost, %25 and #") << QByteArray("file://localhost/m/100%25%23.ogg")
                                          << QList<QByteArray>{"/m/100%#.ogg"};
    QTest::newRow("only addresses") << QByteArray("http://x/a.mkv\r\n") << QList<QByteArray>{};
}

void FileNameTest::dropsAndDialogsKeepTheBytes()
{
    QFETCH(QByteArray, uriList);
    QFETCH(QList<QByteArray>, names);
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uriList);
    QStringList expected;
    for (const QByteArray &name : names)
        expected << fileNameFromBytes(name);
    QCOMPARE(droppedFileNames(&data), expected);
    // A dialog's answer is a URL: its encoded form carries the same bytes.
    for (const QByteArray &name : names) {
        const QUrl url = QUrl::fromEncoded("file://" + name.toPercentEncoding("/"));
        QCOMPARE(fileNameBytes(fileNameFromUrl(url)), name);
    }
}

void FileNameTest::addressesAndFiles()
{
    QTemporaryDir folder;
    QVERIFY(QDir::setCurrent(folder.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("http:")));
    QFile file(QStringLiteral("http://x"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    struct Case
    {
        const char *name;
        bool address;
    } cases[] = {
        {"dvd://1", true},          {"http://y", true},       {"file:///m/a.mkv", true},
        {"http://x", false},        {"/m/a://b.mkv", false},  {"a.mkv", false},
        {"1dvd://1", false},        {"d\xc3\xa9://1", false}, {"://1", false},
        {"c++.v-2://x", true},
    };
    for (const Case &c : cases)
        QVERIFY2(readsAsAddress(QString::fromUtf8(c.name)) == c.address, c.name);
}

QTEST_GUILESS_MAIN(FileNameTest)
#include "tst_filename.moc"
