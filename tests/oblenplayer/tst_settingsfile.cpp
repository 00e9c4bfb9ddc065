// qzconfig.ini without a display: the profile rules of reading and writing,
// the thirteen keys, damaged and foreign files, and where a saved window
// position ends up.
#include "settings/profileini.h"
#include "settings/programsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString section = ProgramSettings::section;

// "렌더러선택1" and "볼륨" as the Windows program stored them.
const QByteArray cp949Renderer1("\xB7\xBB\xB4\xF5\xB7\xAF\xBC\xB1\xC5\xC3"
                                "1");
const QByteArray cp949Volume("\xBA\xBC\xB7\xFD");
const QByteArray cp949Topmost("\xC7\xD7\xBB\xF3\xC0\xA7");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class SettingsFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsLikeTheProfileFunctions_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // "<none>": no value

        QTest::newRow("names in any case") << QByteArray("[program setting]\nleft = 30\n") << "LEFT"
                                           << "30";
        QTest::newRow("first key wins") << QByteArray("[PROGRAM SETTING]\nTOP=1\nTOP=2\n") << "TOP"
                                        << "1";
        QTest::newRow("first section wins")
            << QByteArray("[PROGRAM SETTING]\nA=1\n[Other]\nTOP=9\n[PROGRAM SETTING]\nTOP=2\n")
            << "TOP"
            << "<none>";
        QTest::newRow("one pair of quotes")
            << QByteArray("[PROGRAM SETTING]\r\nTOP= \"\"15\"\" \r\n") << "TOP"
            << "\"15\"";
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF[PROGRAM SETTING]\nTOP=3") << "TOP"
            << "3";
        QTest::newRow("up to a NUL") << QByteArray("[PROGRAM SETTING]\nTOP=12\0"
                                                   "34\n",
                                                   24)
                                     << "TOP"
                                     << "12";
        QTest::newRow("CP949 key")
            << QByteArray("[PROGRAM SETTING]\r\n" + cp949Volume + "=-500\r\n") << "볼륨"
            << "-500";
        QTest::newRow("UTF-8 line after a stray byte")
            << QByteArray("[PROGRAM SETTING]\nnote=caf\xE9\n볼륨=-300\n") << "볼륨"
            << "-300";
        QTest::newRow("CP949 line among UTF-8 lines")
            << QByteArray("[PROGRAM SETTING]\n항상위=True\n" + cp949Volume + "=-400\n") << "볼륨"
            << "-400";
        QTest::newRow("undecodable value reads as no number")
            << QByteArray("[PROGRAM SETTING]\n볼륨=-4\xFF\n") << "볼륨"
            << QStringLiteral("-4\uFFFD");
        QTest::newRow("line of neither encoding is not read")
            << QByteArray("[PROGRAM SETTING]\n\xFF\xFE"
                          "TOP=4\nLEFT=5\n")
            << "TOP"
            << "<none>";
        QTest::newRow("long value cut")
            << QByteArray("[PROGRAM SETTING]\nTOP=" + QByteArray(10000, '7')) << "TOP"
            << QString(ProfileIni::valueLimit, QLatin1Char('7'));
    }
    void readsLikeTheProfileFunctions()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const std::optional<QString> v = ProfileIni::fromBytes(file).value(section, key);
        QCOMPARE(v.value_or(QStringLiteral("<none>")), expected);
    }

    void writesOnlyTheValues_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("value replaced, the rest kept")
            << QByteArray("; note\r\n[x]\r\nk=v\r\n\r\n[Program Setting]\r\ntop = 5\r\nTOP=6\r\n")
            << QByteArray("; note\r\n[x]\r\nk=v\r\n\r\n[Program Setting]\r\nTOP=99\r\nTOP=6\r\n");
        QTest::newRow("missing key before the blank line")
            << QByteArray("[PROGRAM SETTING]\nLEFT=1\n\n[other]\na=b")
            << QByteArray("[PROGRAM SETTING]\nLEFT=1\nTOP=99\n\n[other]\na=b");
        QTest::newRow("missing section appended")
            << QByteArray("[other]\na=b")
            << QByteArray("[other]\na=b\n\n[PROGRAM SETTING]\nTOP=99\n");
        QTest::newRow("CP949 line and damaged line kept")
            << QByteArray("[PROGRAM SETTING]\r\n" + cp949Renderer1 + "=True\r\n\x80\xFF\r\n")
            << QByteArray("[PROGRAM SETTING]\r\n" + cp949Renderer1 +
                          "=True\r\n\x80\xFF\r\nTOP=99\r\n");
    }
    void writesOnlyTheValues()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        ProfileIni ini = ProfileIni::fromBytes(file);
        ini.setValue(section, QStringLiteral("TOP"), QStringLiteral("99"));
        QCOMPARE(ini.toBytes(), expected);
    }

    // Writes 볼륨 with the value most rows hold already, TOP and 항상위 with
    // new ones: only those lines change, each key stays once, every other
    // line keeps its bytes and its line break.
    void mixedFilesKeepWhatWasNotChanged_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("pure UTF-8")
            << QByteArray("[PROGRAM SETTING]\n볼륨=-500\nTOP=1\n항상위=True\n")
            << QByteArray("[PROGRAM SETTING]\n볼륨=-500\nTOP=99\n항상위=False\n");
        QTest::newRow("pure CP949 with CRLF")
            << QByteArray("[PROGRAM SETTING]\r\n" + cp949Volume + "=-500\r\n" + cp949Topmost +
                          "=True\r\nTOP=1\r\n")
            << QByteArray("[PROGRAM SETTING]\r\n" + cp949Volume +
                          "=-500\r\n항상위=False\r\nTOP=99\r\n");
        QTest::newRow("mixed lines and a stray byte")
            << QByteArray("[PROGRAM SETTING]\n볼륨=-500\n" + cp949Topmost +
                          "=True\nTOP=1\nnote=caf\xE9\n")
            << QByteArray("[PROGRAM SETTING]\n볼륨=-500\n항상위=False\nTOP=99\nnote=caf\xE9\n");
        QTest::newRow("undecodable value replaced in place")
            << QByteArray("[PROGRAM SETTING]\n볼륨=\xFF\xFE\nTOP=1\n" + cp949Topmost + "=\xA1\n")
            << QByteArray("[PROGRAM SETTING]\n볼륨=-500\nTOP=99\n항상위=False\n");
        QTest::newRow("undecodable key not read, key added")
            << QByteArray("[PROGRAM SETTING]\nTO\xFFP=1\n")
            << QByteArray("[PROGRAM SETTING]\nTO\xFFP=1\n볼륨=-500\nTOP=99\n항상위=False\n");
        QTest::newRow("duplicate keys: the first is written")
            << QByteArray("[PROGRAM SETTING]\nTOP=1\n볼륨=-500\nTOP=2\n볼륨=-700\n")
            << QByteArray("[PROGRAM SETTING]\nTOP=99\n볼륨=-500\nTOP=2\n볼륨=-700\n항상위=False\n");
        QTest::newRow("CRLF and LF mixed")
            << QByteArray("[PROGRAM SETTING]\r\nTOP=1\n볼륨=-500\r\n; note\n")
            << QByteArray("[PROGRAM SETTING]\r\nTOP=99\n볼륨=-500\r\n; note\n항상위=False\r\n");
        QTest::newRow("no break after the last line")
            << QByteArray("[PROGRAM SETTING]\r\n볼륨=-500")
            << QByteArray("[PROGRAM SETTING]\r\n볼륨=-500\r\nTOP=99\r\n항상위=False\r\n");
        QTest::newRow("same value differently written")
            << QByteArray("[PROGRAM SETTING]\n볼륨 = \"-500\"\nTOP=99\n항상위=False\n")
            << QByteArray("[PROGRAM SETTING]\n볼륨 = \"-500\"\nTOP=99\n항상위=False\n");
    }
    void mixedFilesKeepWhatWasNotChanged()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        ProfileIni ini = ProfileIni::fromBytes(file);
        for (int round = 0; round < 2; ++round) {
            ini.setValue(section, QStringLiteral("볼륨"), QStringLiteral("-500"));
            ini.setValue(section, QStringLiteral("TOP"), QStringLiteral("99"));
            ini.setValue(section, QStringLiteral("항상위"), QStringLiteral("False"));
            QCOMPARE(ini.toBytes(), expected);
            ini = ProfileIni::fromBytes(ini.toBytes());
        }
    }

    // A stray byte appended to the file the program wrote: start and quit
    // twice read every key and write the file back unchanged.
    void strayByteChangesNothing()
    {
        ProgramSettings s;
        s.rendererOption = {false, true, false, false};
        s.rendererMenu = {false, true, false, false};
        s.volume = -2500;
        s.topmost = false;
        ProfileIni ini;
        s.write(ini);
        const QByteArray file = ini.toBytes() + "note=caf\xE9\n";
        QByteArray bytes = file;
        for (int run = 0; run < 2; ++run) {
            ProfileIni onDisk = ProfileIni::fromBytes(bytes);
            ProgramSettings read;
            read.read(onDisk);
            QVERIFY(read == s);
            read.write(onDisk);
            bytes = onDisk.toBytes();
            QCOMPARE(bytes, file);
        }
    }

    void newFileHoldsTheThirteenKeysInOrder()
    {
        ProfileIni ini;
        ProgramSettings().write(ini);
        QCOMPARE(QString::fromUtf8(ini.toBytes()),
                 QStringLiteral("[PROGRAM SETTING]\n렌더러선택0=False\n렌더러선택1=False\n"
                                "렌더러선택2=True\n렌더러선택3=False\n영상렌더러장치메뉴0=False\n"
                                "영상렌더러장치메뉴1=False\n영상렌더러장치메뉴2=True\n"
                                "영상렌더러장치메뉴3=False\nLEFT=0\nTOP=0\n볼륨=0\n항상위=True\n"
                                "AVS파일재싱시음성듣기메뉴=True\n"));
    }

    void roundTripOfEveryKey()
    {
        ProgramSettings s;
        s.rendererOption = {true, false, false, true};
        s.rendererMenu = {false, true, true, false};
        s.left = 1515;
        s.top = 30;
        s.volume = -2500;
        s.topmost = s.avsAudio = false;
        ProfileIni ini;
        s.write(ini);
        ProgramSettings back;
        back.read(ProfileIni::fromBytes(ini.toBytes()));
        QVERIFY(back == s);
        QCOMPARE(back.selectedRenderer(), 3);
    }

    // Values that do not read leave what was there; missing keys take
    // their defaults.
    void badValues_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<float>("left");
        QTest::addColumn<int>("volume");
        QTest::addColumn<bool>("topmost");

        // Before reading: left 600, volume -700, topmost off.
        QTest::newRow("nothing given") << "" << 0.0f << 0 << true;
        QTest::newRow("yes") << "항상위=yes" << 0.0f << 0 << false;
        QTest::newRow("number as boolean") << "항상위=-1" << 0.0f << 0 << true;
        QTest::newRow("negative left") << "LEFT=-3000" << 0.0f << 0 << true;
        QTest::newRow("abc") << "LEFT=abc\n볼륨=abc" << 600.0f << -700 << true;
        QTest::newRow("volume out of range") << "볼륨=5000" << 0.0f << -700 << true;
        QTest::newRow("far too large") << "LEFT=1e30" << 600.0f << 0 << true;
        QTest::newRow("quoted") << "LEFT=\"4500\"\n볼륨='-1000'" << 4500.0f << -1000 << true;
    }
    void badValues()
    {
        QFETCH(QString, line);
        QFETCH(float, left);
        QFETCH(int, volume);
        QFETCH(bool, topmost);
        ProgramSettings s;
        s.left = 600;
        s.volume = -700;
        s.topmost = false;
        s.read(ProfileIni::fromBytes("[PROGRAM SETTING]\n" + line.toUtf8() + "\n"));
        QCOMPARE(s.left, left);
        QCOMPARE(s.volume, volume);
        QCOMPARE(s.topmost, topmost);
    }

    void fileThatMayNotBeWrittenStaysAsItWas_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("directory");
        QTest::newRow("read-only") << 0444 << false;
        QTest::newRow("no permission at all") << 0 << false;
        QTest::newRow("a folder by that name") << 0755 << true;
    }
    void fileThatMayNotBeWrittenStaysAsItWas()
    {
        QFETCH(int, mode);
        QFETCH(bool, directory);
        QTemporaryDir dir;
        const QString path = dir.filePath(ProgramSettings::fileName);
        const QByteArray old("[PROGRAM SETTING]\nTOP=1\n");
        if (directory)
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(writeAll(path, old));
        // The permission is checked on the mode bits: these tests run as root.
        QVERIFY(chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        ProfileIni ini = ProfileIni::fromFile(path);
        ProgramSettings().write(ini);
        QVERIFY(!ini.save(path));
        chmod(QFile::encodeName(path).constData(), 0644);
        if (!directory)
            QCOMPARE(readAll(path), old);
    }

    // A write that fails half-way (here: the file size limit) leaves the old file.
    void interruptedWriteLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(ProgramSettings::fileName);
        const QByteArray old("[PROGRAM SETTING]\nTOP=1\n; " + QByteArray(300, 'x') + "\n");
        QVERIFY(writeAll(path, old));
        const pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100, 100};
            setrlimit(RLIMIT_FSIZE, &limit);
            ProfileIni ini = ProfileIni::fromFile(path);
            ProgramSettings().write(ini);
            _exit(ini.save(path) ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 1);
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    // Killed while saving over and over: the file is always one whole
    // version, never a mix or a cut.
    void killedWhileSavingLeavesAWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(ProgramSettings::fileName);
        ProfileIni first;
        first.setValue(section, QStringLiteral("볼륨"), QStringLiteral("-100"));
        first.setValue(section, QStringLiteral("note"), QString(400000, QLatin1Char('a')));
        ProfileIni second = first;
        second.setValue(section, QStringLiteral("볼륨"), QStringLiteral("-200"));
        second.setValue(section, QStringLiteral("note"), QString(400000, QLatin1Char('b')));
        QVERIFY(first.save(path));
        int pipeEnds[2];
        QCOMPARE(pipe(pipeEnds), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(pipeEnds[0]);
            for (int i = 0;; ++i) {
                (i % 2 ? first : second).save(path);
                if (i == 1 && write(pipeEnds[1], "s", 1) != 1)
                    _exit(1);
            }
        }
        close(pipeEnds[1]);
        char started = 0;
        QCOMPARE(read(pipeEnds[0], &started, 1), ssize_t(1));
        close(pipeEnds[0]);
        kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        const QByteArray bytes = readAll(path);
        QVERIFY(bytes == first.toBytes() || bytes == second.toBytes());
    }

    void positionOnNoScreenComesBack_data()
    {
        QTest::addColumn<QPoint>("wanted");
        QTest::addColumn<QPoint>("placed");
        // Two screens: 1600x900 and 1280x720 to its right; the window is 300x400.
        QTest::newRow("on the first") << QPoint(100, 100) << QPoint(100, 100);
        QTest::newRow("on the second") << QPoint(2000, 100) << QPoint(2000, 100);
        QTest::newRow("below the second") << QPoint(2000, 800) << QPoint(2000, 320);
        QTest::newRow("right of both") << QPoint(9000, 50) << QPoint(2580, 50);
        QTest::newRow("far below the first") << QPoint(10, 100000) << QPoint(10, 500);
    }
    void positionOnNoScreenComesBack()
    {
        QFETCH(QPoint, wanted);
        QFETCH(QPoint, placed);
        const QList<QRect> screens{QRect(0, 0, 1600, 900), QRect(1600, 0, 1280, 720)};
        QCOMPARE(placeOnScreens(wanted, QSize(300, 400), screens), placed);
    }

    void besideTheProgramWhenItsFolderIsWritable()
    {
        QTemporaryDir program;
        QTemporaryDir data;
        QCOMPARE(settingsFilePath(program.path(), data.path()),
                 program.filePath(QStringLiteral("qzconfig.ini")));
        QCOMPARE(settingsFilePath(program.filePath(QStringLiteral("missing")),
                                  data.filePath(QStringLiteral("OblenPlayer"))),
                 data.filePath(QStringLiteral("OblenPlayer/qzconfig.ini")));
        QVERIFY(QFileInfo(data.filePath(QStringLiteral("OblenPlayer"))).isDir());
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
