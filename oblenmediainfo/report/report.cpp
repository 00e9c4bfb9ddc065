#include "report.h"

#include "library/MediaInfoDLLMOD.h"

#include <QFile>

#include <sys/stat.h>

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
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode);
}

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
        library.Open(handle.get(), path);
        // An empty value selects the short report, not the complete one.
        library.Option(handle.get(), QStringLiteral("Complete"), QString());
        text += library.Inform(handle.get(), 0);
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
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral(" - 파일 정보");
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
