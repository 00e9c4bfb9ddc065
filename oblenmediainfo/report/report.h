#pragma once

#include <QString>

class MediaInfoDLLMOD;

// The texts of the media information window and the building of one file's
// report. Reports keep CR LF between the version line and the library's part,
// as the program has always written them; the window shows each CR LF as one
// line break.
namespace report {

inline const QString programTitle = QStringLiteral("Oblen MediaInfo v1.0.3");
inline const QString initialText = QStringLiteral("(여기에 드래그하셔서 파일을 열어주세요)");
inline const QString endMarker = QStringLiteral("파일 정보 추출 끝");
inline const QString lineBreak = QStringLiteral("\r\n");

// Asks the library for one file's report: its version line, two line breaks,
// the library's report of the file and the end marker. A file the library
// cannot read leaves the library's parts empty; a library that cannot be
// loaded leaves the version empty and says so in place of the report.
QString describe(MediaInfoDLLMOD &library, const QString &path);
// What stands in a report in place of the library's part when the library
// cannot be loaded: which library, and the package that provides it.
QString missingLibraryText(const QString &libraryName);
// The report of a file the library could not read at all.
QString withoutLibraryPart(const QString &versionText);

// What a folder with no file to describe shows in place of reports.
QString emptyFolderText(const QString &folder);

// Window title while one file is shown: the file's name, not its folder.
QString fileTitle(const QString &path);
// Window title while a batch of files is shown.
QString batchTitle(const QString &fileCount);

// The text box after appending one more report of a batch: blank line between
// reports, none before the first.
QString appendReport(const QString &infoText, const QString &report);

} // namespace report
