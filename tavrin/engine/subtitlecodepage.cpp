#include "subtitlecodepage.h"

#include "common/filename.h"
#include "platform/regularfilehead.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <sys/stat.h>

namespace {
// The file name endings the engine loads subtitles from by itself.
const char *const subtitleSuffixes[] = {"srt", "smi", "sub", "ssa", "ass", "txt", "utf",
                                        "utf8", "utf-8", "rt", "aqt", "jss", "js"};

bool hasSubtitleSuffix(const QFileInfo &file)
{
    for (const char *suffix : subtitleSuffixes) {
        if (file.suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
// Subtitle files are small; a larger one is taken for CP949 unread.
constexpr qint64 maxSubtitleBytes = 8 * 1024 * 1024;
// The guess runs before every engine start, on the window's thread: it reads
// no more than this of each file, which holds a whole film's subtitles as
// they usually come and plenty of Korean text to tell the encoding by.
constexpr qint64 judgedBytes = 256 * 1024;
} // namespace

Utf8Verdict judgeUtf8(const QByteArray &bytes)
{
    Utf8Verdict verdict;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    verdict.valid = !decoder.hasError();
    if (!verdict.valid)
        return verdict;
    verdict.meaningful = bytes.startsWith("\xEF\xBB\xBF");
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            verdict.meaningful = true;
            break;
        }
    }
    return verdict;
}

QFileInfoList filesBeside(const QString &mediaPath)
{
    const QFileInfo media(mediaPath);
    if (!media.isFile())
        return {};
    return media.dir().entryInfoList(QDir::Files | QDir::System | QDir::Hidden);
}

QString subtitleCodePageFor(const QString &mediaPath)
{
    return subtitleCodePageFor(mediaPath, filesBeside(mediaPath));
}

QString subtitleCodePageFor(const QString &mediaPath, const QFileInfoList &beside)
{
    const QString cp949 = QStringLiteral("cp949");
    const QFileInfo media(mediaPath);
    if (!media.isFile())
        return cp949;

    const QString base = media.completeBaseName();
    bool anyMeaningful = false;
    for (const QFileInfo &file : beside) {
        if (file == media || !file.fileName().startsWith(base))
            continue;
        if (!hasSubtitleSuffix(file))
            continue;
        // Only regular files count: whatever else carries a subtitle's name
        // (a link to a device, a named pipe) is no subtitle to judge.
        const std::optional<RegularFileHead> head =
            readRegularFileHead(file.filePath(), judgedBytes);
        if (!head)
            continue;
        if (head->size > maxSubtitleBytes)
            return cp949;
        const Utf8Verdict verdict = judgeUtf8(head->bytes);
        if (!verdict.valid)
            return cp949;
        anyMeaningful = anyMeaningful || verdict.meaningful;
    }
    return anyMeaningful ? QStringLiteral("utf-8") : cp949;
}

bool sideFileWouldHoldEngine(const QString &mediaPath)
{
    return sideFileWouldHoldEngine(mediaPath, filesBeside(mediaPath));
}

namespace {
// The engine opens the files named as the medium (in any case) with a
// subtitle's ending, and ".idx" for its picture subtitles.
bool loadedBesideMedium(const QFileInfo &file, const QFileInfo &media)
{
    return file.completeBaseName().compare(media.completeBaseName(), Qt::CaseInsensitive) == 0 &&
           (hasSubtitleSuffix(file) ||
            file.suffix().compare(QLatin1String("idx"), Qt::CaseInsensitive) == 0);
}

// A medium named in bytes that are not UTF-8, whose side files are named so
// too: QDir lists none of them, its folder is read by bytes. (Only the names
// are taken from QFileInfo here; it could not find such a file.)
bool unlistedSideFileWouldHoldEngine(const QFileInfo &media)
{
    for (const FolderEntry &entry : folderEntries(media.path())) {
        if (entry.type && *entry.type != S_IFREG && *entry.type != S_IFDIR &&
            loadedBesideMedium(QFileInfo(media.dir(), entry.name), media))
            return true;
    }
    return false;
}
} // namespace

bool sideFileWouldHoldEngine(const QString &mediaPath, const QFileInfoList &beside)
{
    const QFileInfo media(mediaPath);
    if (!media.isFile())
        return isRegularFileName(mediaPath) && unlistedSideFileWouldHoldEngine(media);
    for (const QFileInfo &file : beside) {
        // Regular files, folders and broken links cost it nothing.
        if (loadedBesideMedium(file, media) && file.exists() && !file.isFile() && !file.isDir())
            return true;
    }
    return false;
}
