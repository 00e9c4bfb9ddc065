#pragma once

#include <QString>
#include <QStringList>

// Media for the tests: the fixture's sample files and copies of them under
// names the tests need.
namespace mediafiles {

// A file of the fixture's folder (SAMPLE_MEDIA_DIR).
QString sample(const QString &name);
// Copies a fixture file to folder/name and returns the new path.
QString copyAs(const QString &sampleName, const QString &folder, const QString &name);
// What the `mediainfo` command prints for a file, without the blank line it
// adds at the end; empty when the command fails.
QString mediainfoCommandReport(const QString &path);
// What the `mediainfo` command prints for each of the files, given all in one
// call, in their order; each without the blank line that ends it. Empty when
// the command fails.
QStringList mediainfoCommandReports(const QStringList &paths);
// The window's form of a report: one line break for each CR LF.
QString displayed(QString text);

} // namespace mediafiles
