#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The version strings of an executable, read from a raw Windows version
// resource (VS_VERSIONINFO: 16-bit little-endian words), and the texts the
// program information window makes of them.
namespace VersionInfo {

// Ends every version line in the window's hidden version text, so that one
// field can be cut out of the whole again.
inline const QString endMarker = QStringLiteral(" //IAFQVLENC ");

// The thirteen fields, in the order they are listed; the last is the
// language of the string table, the others are its strings.
QStringList fieldKeys();

// One "key: value" line per field of fieldKeys(): "key: Not specified" for a
// string the resource lacks, and "Language: " + the table's language name
// last ("Language" alone when the resource has no string table). Empty for
// an empty block.
QStringList FileVersionArray(const QByteArray &resource);

// The English name of a Windows language identifier: the first four
// characters of `code` ("041204b0" is 0412, Korean), in any case. Empty for
// one not in the table.
QString lookupLanguageName(const QString &code);
// Every identifier the table knows, in the order it is searched.
QStringList languageCodes();

// A version resource that holds the given strings (key, value) in one string
// table, laid out as the Windows resource compiler lays it out. An empty
// table name leaves the string table's name out.
QByteArray buildResource(const QList<QPair<QString, QString>> &strings,
                         const QString &tableName = QString());

// The engine we run on Linux carries no version resource; it tells its
// version on the first line it prints ("MPlayer UNKNOWN-12 (C) 2000-2023
// MPlayer Team"). That banner makes the same fields: the second word is the
// file and product version, the product is MPlayer, and the rest is the
// copyright. A line that is not an MPlayer banner gives an empty block.
QByteArray resourceFromBanner(const QString &banner);

// The window's hidden version text: every line followed by endMarker and CR LF.
QString versionText(const QStringList &fields);
// One field cut out of that text ("FileVersion", "ProductVersion"), with
// ", " between the numbers turned into "." (1, 0, 0, 1 is 1.0.0.1). `current`
// when the text has no such field.
QString fieldFromText(const QString &text, const QString &key, const QString &current);
// The engine's version as the window's label shows it.
QString engineVersionLabel(const QString &fileVersion, const QString &productVersion);
// "Tavrin - TEST Ver 1.0 Build 53" for version 1.0.53.
QString programVersionCaption(int major, int minor, int revision);

} // namespace VersionInfo
