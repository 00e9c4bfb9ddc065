// Where the programs write their files: beside a copy in a folder of its own,
// in the user's folder for an installed copy, even one root could write to.
#include "common/writablefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class WritableFolderTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void choosesTheFolder_data();
    void choosesTheFolder();
};

void WritableFolderTest::choosesTheFolder_data()
{
    // Folders made under a fresh temporary folder; the program's folder is
    // the first path, relative to it.
    QTest::addColumn<QStringList>("made");
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("besideTheProgram");

    QTest::newRow("build tree") << QStringList{"build/tavrin"} << "build/tavrin" << false << true;
    QTest::newRow("unpacked folder with a share folder inside")
        << QStringList{"Tavrin/share"} << "Tavrin" << false << true;
    QTest::newRow("a folder named bin alone")
        << QStringList{"tools/bin"} << "tools/bin" << false << true;
    QTest::newRow("prefix bin beside share")
        << QStringList{"usr/bin", "usr/share"} << "usr/bin" << false << false;
    QTest::newRow("~/.local/bin beside share")
        << QStringList{"home/.local/bin", "home/.local/share"} << "home/.local/bin" << false
        << false;
    QTest::newRow("read-only folder") << QStringList{"opt/tavrin"} << "opt/tavrin" << true << false;
    QTest::newRow("missing folder") << QStringList{} << "gone" << false << false;
}

void WritableFolderTest::choosesTheFolder()
{
    QFETCH(QStringList, made);
    QFETCH(QString, program);
    QFETCH(bool, readOnly);
    QFETCH(bool, besideTheProgram);
    if (readOnly && geteuid() == 0)
        QSKIP("root may write to any folder");
    QTemporaryDir root;
    for (const QString &folder : made)
        QVERIFY(QDir(root.path()).mkpath(folder));
    const QString programFolder = root.filePath(program);
    if (readOnly)
        QVERIFY(QFile::setPermissions(programFolder, QFile::ReadOwner | QFile::ExeOwner));
    const QString userFolder = root.filePath(QStringLiteral("user data/Tavrin"));

    const QString chosen = folderForWrites(programFolder, userFolder);
    QCOMPARE(chosen, besideTheProgram ? programFolder : userFolder);
    // The user's folder exists once it is chosen, and only then.
    QCOMPARE(QFileInfo(userFolder).isDir(), !besideTheProgram);
}

QTEST_GUILESS_MAIN(WritableFolderTest)
#include "tst_writablefolder.moc"
