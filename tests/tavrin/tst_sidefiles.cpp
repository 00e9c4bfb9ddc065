// Files beside a medium that carry a subtitle's name but are no ordinary
// file: the code-page guess must neither wait on them nor read them forever.
#include "common/filename.h"
#include "engine/subtitlecodepage.h"
#include "platform/regularfilehead.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {
// A faulty read blocks for ever (a pipe) or fills the memory (a device):
// the call runs on a thread of its own and is given this long.
constexpr auto callDeadline = std::chrono::seconds(5);

template <typename Result> std::optional<Result> withinDeadline(std::function<Result()> call)
{
    auto task = std::make_shared<std::packaged_task<Result()>>(std::move(call));
    std::future<Result> result = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (result.wait_for(callDeadline) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

// The kinds of side file, each made at a path inside the test's folder.
enum class Kind
{
    normal,
    huge,
    device,
    linkToDevice,
    pipe,
    linkToPipe,
    socket,
    linkToNormal
};

bool make(Kind kind, const QString &path, const QByteArray &text)
{
    // By the bytes of the name, which may not be UTF-8.
    const QByteArray name = fileNameBytes(path);
    const QByteArray pipe = name + ".pipe";
    switch (kind) {
    case Kind::normal:
    case Kind::linkToNormal: {
        const QByteArray target = kind == Kind::normal ? name : name + ".target";
        const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const bool written = fd >= 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size();
        if (fd >= 0)
            ::close(fd);
        return written && (kind == Kind::normal || ::symlink(target.constData(), name.constData()) == 0);
    }
    case Kind::huge: {
        // Sparse: a gigabyte of zero bytes after the text, taking no disk.
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() && f.resize(1LL << 30);
    }
    case Kind::device:
        return false; // only readRegularFileHead is given /dev/zero itself
    case Kind::linkToDevice:
        return ::symlink("/dev/zero", name.constData()) == 0;
    case Kind::pipe:
        return ::mkfifo(name.constData(), 0600) == 0;
    case Kind::linkToPipe:
        return ::mkfifo(pipe.constData(), 0600) == 0 &&
               ::symlink(pipe.constData(), name.constData()) == 0;
    case Kind::socket: {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd < 0 || size_t(name.size()) >= sizeof(address.sun_path))
            return false;
        qstrcpy(address.sun_path, name.constData());
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
        ::close(fd);
        return bound;
    }
    }
    return false;
}
} // namespace

class SideFilesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void codePageGuessSkipsWhatIsNoFile_data();
    void codePageGuessSkipsWhatIsNoFile();
    void aCutCharacterAtTheEndOfTheHeadIsNoError();
    void filesThatWouldHoldTheEngine_data();
    void filesThatWouldHoldTheEngine();
};

void SideFilesTest::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("read");
    QTest::addColumn<qint64>("size");
    QTest::newRow("normal file") << int(Kind::normal) << true << qint64(11);
    QTest::newRow("link to a normal file") << int(Kind::linkToNormal) << true << qint64(11);
    QTest::newRow("huge file: only the head") << int(Kind::huge) << true << (1LL << 30);
    QTest::newRow("device") << int(Kind::device) << false << qint64(0);
    QTest::newRow("link to a device") << int(Kind::linkToDevice) << false << qint64(0);
    QTest::newRow("named pipe") << int(Kind::pipe) << false << qint64(0);
    QTest::newRow("link to a named pipe") << int(Kind::linkToPipe) << false << qint64(0);
    QTest::newRow("socket") << int(Kind::socket) << false << qint64(0);
}

void SideFilesTest::onlyRegularFilesAreRead()
{
    QFETCH(int, kind);
    QFETCH(bool, read);
    QFETCH(qint64, size);
    QTemporaryDir dir;
    const QByteArray text = "1\nsubtitle\n";
    QString path = dir.filePath(QStringLiteral("m.srt"));
    if (Kind(kind) == Kind::device)
        path = QStringLiteral("/dev/zero");
    else
        QVERIFY(make(Kind(kind), path, text));

    constexpr qint64 asked = 64;
    const auto head = withinDeadline<std::optional<RegularFileHead>>(
        [path] { return readRegularFileHead(path, asked); });
    QVERIFY2(head, "the read did not come back");
    QCOMPARE(head->has_value(), read);
    if (!read)
        return;
    QCOMPARE((*head)->size, size);
    QCOMPARE((*head)->bytes, QByteArray(text + QByteArray(qMin(asked, size) - text.size(), '\0')));
}

void SideFilesTest::codePageGuessSkipsWhatIsNoFile_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("codePage");
    // Beside them lies a UTF-8 Korean subtitle, which alone decides.
    QTest::newRow("link to a device") << int(Kind::linkToDevice) << QStringLiteral("utf-8");
    QTest::newRow("named pipe") << int(Kind::pipe) << QStringLiteral("utf-8");
    QTest::newRow("link to a named pipe") << int(Kind::linkToPipe) << QStringLiteral("utf-8");
    QTest::newRow("socket") << int(Kind::socket) << QStringLiteral("utf-8");
    // A subtitle file this big is not one: the guess stays with CP949.
    QTest::newRow("huge file") << int(Kind::huge) << QStringLiteral("cp949");
}

void SideFilesTest::codePageGuessSkipsWhatIsNoFile()
{
    QFETCH(int, kind);
    QFETCH(QString, codePage);
    QTemporaryDir dir;
    const QString media = dir.filePath(QStringLiteral("m.mkv"));
    QVERIFY(make(Kind::normal, media, "not really a film"));
    QVERIFY(make(Kind::normal, dir.filePath(QStringLiteral("m.ko.srt")),
                 QStringLiteral("1\n안녕하세요\n").toUtf8()));
    QVERIFY(make(Kind(kind), dir.filePath(QStringLiteral("m.srt")), "1\nascii\n"));

    const auto guess = withinDeadline<QString>([media] { return subtitleCodePageFor(media); });
    QVERIFY2(guess, "the guess did not come back");
    QCOMPARE(*guess, codePage);
}

void SideFilesTest::aCutCharacterAtTheEndOfTheHeadIsNoError()
{
    // Only the head of a long file is judged; a Korean character that the
    // cut splits is still UTF-8.
    QTemporaryDir dir;
    const QString media = dir.filePath(QStringLiteral("m.mkv"));
    QVERIFY(make(Kind::normal, media, "not really a film"));
    QByteArray text;
    while (text.size() < 2 * 1024 * 1024)
        text += QStringLiteral("1\n자막 한 줄\n\n").toUtf8();
    QVERIFY(make(Kind::normal, dir.filePath(QStringLiteral("m.srt")), text));
    for (int cut = 1; cut <= 2; ++cut)
        QVERIFY(judgeUtf8(text.left(text.indexOf("\xEC\x9E\x90") + cut)).valid);
    QCOMPARE(subtitleCodePageFor(media), QStringLiteral("utf-8"));
}

void SideFilesTest::filesThatWouldHoldTheEngine_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("holds");
    QTest::addColumn<QString>("medium");
    const QString m = QStringLiteral("m");
    // The engine opens the medium's name with a subtitle ending, in any case.
    QTest::newRow("named pipe") << int(Kind::pipe) << "m.srt" << true << m;
    QTest::newRow("link to a device") << int(Kind::linkToDevice) << "m.txt" << true << m;
    QTest::newRow("link to a pipe, picture subtitles") << int(Kind::linkToPipe) << "M.IDX" << true << m;
    QTest::newRow("socket") << int(Kind::socket) << "m.ass" << true << m;
    QTest::newRow("normal file") << int(Kind::normal) << "m.srt" << false << m;
    QTest::newRow("link to a normal file") << int(Kind::linkToNormal) << "m.smi" << false << m;
    // Names the engine does not open by itself.
    QTest::newRow("pipe with a language") << int(Kind::pipe) << "m.ko.srt" << false << m;
    QTest::newRow("pipe of another ending") << int(Kind::pipe) << "m.nfo" << false << m;
    // A medium named in Latin-1 bytes, and its side files named so: QDir
    // lists none of them.
    const QString latin = fileNameFromBytes("caf\xe9");
    QTest::newRow("Latin-1 names, named pipe") << int(Kind::pipe) << latin + ".srt" << true << latin;
    QTest::newRow("Latin-1 names, link to a device")
        << int(Kind::linkToDevice) << fileNameFromBytes("CAF\xe9.SMI") << true << latin;
    QTest::newRow("Latin-1 names, normal file") << int(Kind::normal) << latin + ".srt" << false << latin;
    QTest::newRow("Latin-1 names, pipe of another ending")
        << int(Kind::pipe) << latin + ".nfo" << false << latin;
}

void SideFilesTest::filesThatWouldHoldTheEngine()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(bool, holds);
    QFETCH(QString, medium);
    QTemporaryDir dir;
    // QTemporaryDir could not remove what QDir cannot list.
    const auto remove = qScopeGuard([&] {
        for (const FolderEntry &entry : folderEntries(dir.path()))
            ::unlink(fileNameBytes(dir.filePath(entry.name)).constData());
    });
    const QString media = dir.filePath(medium + QStringLiteral(".mkv"));
    QVERIFY(make(Kind::normal, media, "not really a film"));
    QVERIFY(make(Kind(kind), dir.filePath(name), "1\nascii\n"));
    QCOMPARE(sideFileWouldHoldEngine(media), holds);
}

QTEST_GUILESS_MAIN(SideFilesTest)
#include "tst_sidefiles.moc"
