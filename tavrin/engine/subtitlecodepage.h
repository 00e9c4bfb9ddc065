#pragma once

#include <QByteArray>
#include <QFileInfoList>
#include <QString>

// The code page the engine reads subtitle files in. Korean subtitles are
// mostly CP949, which is what the engine is told by default; but telling it
// CP949 for a UTF-8 file turns the text into garbage. So when the medium is a
// local file and every subtitle file beside it whose name starts with the
// medium's base name is valid UTF-8, and at least one of them has a byte-order
// mark or a character beyond ASCII, the answer is "utf-8"; otherwise "cp949".
// Unreadable files and files that are no regular files are passed over.
QString subtitleCodePageFor(const QString &mediaPath);

// The entries of the medium's folder that both questions here look at
// (hidden ones and pipes, devices and sockets too), listed once for an engine
// start; empty when the medium is no local file.
QFileInfoList filesBeside(const QString &mediaPath);
QString subtitleCodePageFor(const QString &mediaPath, const QFileInfoList &beside);

// Whether the text is UTF-8 the engine should be told about: valid, and with
// a byte-order mark or a character beyond ASCII. The second value says
// whether the text is valid UTF-8 at all.
struct Utf8Verdict
{
    bool valid = true;
    bool meaningful = false;
};
Utf8Verdict judgeUtf8(const QByteArray &bytes);

// Whether a file the engine would load subtitles from by itself, beside the
// medium and named like it, is no regular file: a named pipe, or a link to a
// device or a pipe. The engine, reading it, waits for ever (a pipe) or never
// reaches its end (/dev/zero) and never starts to play; it must then be told
// not to load subtitles by itself.
bool sideFileWouldHoldEngine(const QString &mediaPath);
bool sideFileWouldHoldEngine(const QString &mediaPath, const QFileInfoList &beside);
