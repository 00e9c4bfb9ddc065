// Which files a folder stands for, and in what order, on real folders with
// the kinds of entries a user's folders hold.
#include "input/folderfiles.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class FoldersTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void filesBelow_data();
    void filesBelow();
    void anUnreadableFolderIsPassedOver();

private:
    // Makes an empty file, with the folders above it.
    void touch(const QString &relative);
    void link(const QString &target, const QString &relative);

    QTemporaryDir m_dir;
};

void FoldersTest::touch(const QString &relative)
{
    const QString path = m_dir.filePath(relative);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void FoldersTest::link(const QString &target, const QString &relative)
{
    QVERIFY(QFile::link(target, m_dir.filePath(relative)));
}

void FoldersTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Names whose order differs between a folder-by-folder walk and the whole
    // paths' order ("a-c/" sorts before "a.mp3"), a hidden file and a hidden
    // folder, Hangul, links of every kind and a FIFO.
    for (const char *name :
         {"tree/b.mp3", "tree/A.mp3", "tree/a.mp3", "tree/a-c/d.mp3", "tree/.hidden.mp3",
          "tree/.hid/x.mp3", "tree/한글/노래.mp3", "tree/sub/c.mkv", "tree/sub/deeper/e.txt"})
        touch(QString::fromUtf8(name));
    QVERIFY(QDir().mkpath(m_dir.filePath("tree/empty")));
    link("../b.mp3", "tree/sub/link.mp3");
    link("..", "tree/sub/loop");
    link("../../../tree", "tree/sub/deeper/top");
    link("/nonexistent/file.mp3", "tree/dangling.mp3");
    QCOMPARE(mkfifo(QFile::encodeName(m_dir.filePath("tree/pipe.mp3")).constData(), 0600), 0);

    QVERIFY(QDir().mkpath(m_dir.filePath("nothing/inner")));
    touch("nothing/.only-hidden.mp3");
    QCOMPARE(mkfifo(QFile::encodeName(m_dir.filePath("nothing/inner/pipe")).constData(), 0600), 0);

    touch("twice/real/f.mp3");
    link("real", "twice/alias");
    link("tree", "tree-link");
}

void FoldersTest::filesBelow_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("files");

    // The links back up the tree are not followed.
    const QStringList tree{".hid/x.mp3",   "A.mp3",     "a-c/d.mp3",        "a.mp3",
                           "b.mp3",        "sub/c.mkv", "sub/deeper/e.txt", "sub/link.mp3",
                           "한글/노래.mp3"};
    QTest::newRow("a tree of every kind") << "tree" << tree;
    QTest::newRow("a link to the tree") << "tree-link" << tree;
    QTest::newRow("a subfolder") << "tree/a-c" << QStringList{"d.mp3"};
    QTest::newRow("a folder and a link to it, side by side")
        << "twice" << QStringList{"alias/f.mp3", "real/f.mp3"};
    QTest::newRow("only a hidden file and a FIFO") << "nothing" << QStringList{};
    QTest::newRow("an empty folder") << "tree/empty" << QStringList{};
    QTest::newRow("a file") << "tree/a.mp3" << QStringList{};
    QTest::newRow("nothing there") << "gone" << QStringList{};
}

void FoldersTest::filesBelow()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    const QString top = m_dir.filePath(folder);
    QStringList expected;
    for (const QString &file : files)
        expected << top + '/' + file;
    QCOMPARE(::filesBelow(top), expected);
    // Given with its closing slash: one slash between folder and name.
    QCOMPARE(::filesBelow(top + '/'), expected);
}

void FoldersTest::anUnreadableFolderIsPassedOver()
{
    touch("locked/shut/hidden from us.mp3");
    touch("locked/open.mp3");
    const QString shut = m_dir.filePath("locked/shut");
    QVERIFY(QFile::setPermissions(shut, QFileDevice::Permissions()));
    const auto reopen = qScopeGuard([&] {
        QFile::setPermissions(shut, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                        QFileDevice::WriteOwner);
    });
    if (QDir(shut).isReadable())
        QSKIP("this user reads folders whatever their permissions (root)");
    QCOMPARE(::filesBelow(m_dir.filePath("locked")),
             QStringList{m_dir.filePath("locked/open.mp3")});
}

QTEST_GUILESS_MAIN(FoldersTest)
#include "tst_folders.moc"
