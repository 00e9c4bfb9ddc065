#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

class QMimeData;
class QUrl;

// A file name on Linux is bytes, and the archives users keep hold names in
// CP949 or Latin-1 as well as UTF-8. Qt turns every byte that is not UTF-8
// into U+FFFD on the way in (arguments, QFile::decodeName, QUrl::toLocalFile)
// and the name then no longer exists. These names are held in a QString
// whose valid UTF-8 is read as usual and whose every other byte b becomes the
// lone surrogate U+DC00+b (as Python's "surrogateescape" does), so that
// fileNameBytes gives back exactly the bytes the name came in. Such a name
// must leave through fileNameBytes, never through QFile::encodeName or
// toUtf8, which lose those bytes again.

QString fileNameFromBytes(QByteArrayView bytes);
QByteArray fileNameBytes(QStringView name);

// The name as well as it can be shown: each path component that is not
// UTF-8 is read as CP949 if it is that, and otherwise each stray byte as its
// Latin-1 character. For titles and messages only; it names no file.
QString fileNameForDisplay(QStringView name);

// The bytes read as CP949; nothing when they are not CP949, never a
// replacement character.
std::optional<QString> strictCp949(const QByteArray &bytes);

// The program's arguments (argv[1] on) as given, bytes kept.
QStringList programArguments(int argc, char **argv);

// The local file a "file:" URL names, bytes kept; empty for any other URL.
QString fileNameFromUrl(const QUrl &url);

// The local files of a drop, read from the raw "text/uri-list" bytes.
QStringList droppedFileNames(const QMimeData *data);

// Whether the name is a regular file (links followed), asked with its bytes.
bool isRegularFileName(const QString &name);
bool fileNameExists(const QString &name);

// Whether a name the user gave is to be read as an address (dvd://1,
// http://x) rather than a file: it has a scheme, is not absolute, and names
// no existing file.
bool readsAsAddress(const QString &name);
