#include "report.h"

#include "library/MediaInfoDLLMOD.h"

#include "common/filename.h"

#include <QFile>

#include <QDir>
#include <QTemporaryDir>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace report {

namespace {

// Opening a FIFO or a character device for reading can block until a writer
// appears, which would never come; such a file gets a report whose library
// part is empty, like any other file the library cannot read.
bool mayBlockOnOpen(const QString &path)
{
    struct stat info
    {
    };
    if (stat(fileNameBytes(path).constData(), &info) != 0)
        return false;
    return S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode);
}

// The library makes its wide name into bytes through the locale, which
// cannot give back a name's bytes that are not UTF-8, and takes any name
// with "://" for an address. Such a file is handed to it through a link
// of a plain name in a folder of its own, with the file's ending, which the
// library judges the format by; the report then names the file itself.
struct LibraryName
{
    explicit LibraryName(const QString &path) : name(path)
    {
        if (fileNameBytes(path) == path.toUtf8() &&
            (!path.contains(QLatin1String("://")) || readsAsAddress(path)))
            return;
        const QString fileName = path.section(QLatin1Char('/'), -1);
        const QString ending = fileName.contains(QLatin1Char('.'))
                                   ? fileName.section(QLatin1Char('.'), -1)
                                   : QString();
        const bool plainEnding = !ending.isEmpty() && fileNameBytes(ending) == ending.toUtf8();
        link.emplace();
        const QString linkName = link->filePath(
            plainEnding ? QStringLiteral("medium.") + ending : QStringLiteral("medium"));
        const QByteArray target = fileNameBytes(QDir::current().absoluteFilePath(path));
        if (link->isValid() && ::symlink(target.constData(), fileNameBytes(linkName).constData()) == 0)
            name = linkName;
    }
    QString reportText(const QString &text, const QString &path) const
    {
        return name == path ? text : QString(text).replace(name, fileNameForDisplay(path));
    }
    std::optional<QTemporaryDir> link;
    QString name;
};

} // namespace

QString describe(MediaInfoDLLMOD &library, const QString &path)
{
    // Without the library every report would be empty, with nothing to tell
    // the user why.
    if (!library.IsLoaded())
        return lineBreak + lineBreak + missingLibraryText(library.LibraryName()) + endMarker;
    QString text = library.Option(nullptr, QStringLiteral("Info_Version"), QString());
    text += lineBreak + lineBreak;

    MediaInfoHandle handle(library);
    if (handle && !mayBlockOnOpen(path)) {
        const LibraryName name(path);
        library.Open(handle.get(), name.name);
        // An empty value selects the short report, not the complete one.
        library.Option(handle.get(), QStringLiteral("Complete"), QString());
        text += name.reportText(library.Inform(handle.get(), 0), path);
    }
    return text + endMarker;
}

QString missingLibraryText(const QString &libraryName)
{
    return QStringLiteral("MediaInfo 라이브러리(%1)를 불러오지 못해 파일 정보를 읽을 수 없습니다.")
               .arg(libraryName) +
           lineBreak +
           QStringLiteral("libmediainfo0v5 패키지를 설치해 주세요: sudo apt install libmediainfo0v5") +
           lineBreak + lineBreak;
}

QString withoutLibraryPart(const QString &versionText)
{
    return versionText + lineBreak + lineBreak + endMarker;
}

QString emptyFolderText(const QString &folder)
{
    return QStringLiteral("폴더에서 정보를 읽을 파일을 찾지 못했습니다: ") + folder;
}

QString fileTitle(const QString &path)
{
    return fileNameForDisplay(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)) +
           QStringLiteral(" - 파일 정보");
}

QString batchTitle(const QString &fileCount)
{
    return fileCount + QStringLiteral("개 - 파일 정보");
}

QString appendReport(const QString &infoText, const QString &report)
{
    if (infoText.isEmpty())
        return report;
    return infoText + lineBreak + lineBreak + report;
}

} // namespace report
