#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// An INI file with the rules of the Windows profile functions: section and
// key names compared without regard to case, the first match wins, a write
// replaces one key's value and keeps every other line as it was.
//
// Files written by the Windows program are in CP949, ours in UTF-8, and a
// file edited by both holds lines of each: every line is decoded on its own
// (UTF-8 when it is valid UTF-8, else CP949 when it decodes strictly), so
// one stray byte cannot turn the rest of the file into mojibake. A line the
// program does not change is written back byte for byte, line break
// included; a changed or added line is written in UTF-8. A line of neither
// encoding is not read, except that a key name that decodes still names its
// line, so the key is replaced there rather than added a second time.
class ProfileIni
{
public:
    // What the profile functions hand back at most: a 1024-character buffer
    // with its closing NUL.
    static constexpr int valueLimit = 1023;

    ProfileIni() = default;
    static ProfileIni fromBytes(const QByteArray &bytes);
    // A missing or unreadable file reads as an empty one.
    static ProfileIni fromFile(const QString &path);

    // The value of the key: blanks around it, one pair of enclosing quotes
    // and everything from a NUL on taken off. Nothing when the section or
    // the key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Replaces the value of the key (the first one, when the file holds it
    // twice), adding the key (and the section) when missing. A value equal
    // to the one there leaves the line untouched.
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;
    // Writes the whole file at once (a write that fails half-way leaves the
    // old file). A file that exists without write permission is left alone,
    // even for a user who could overrule the permission.
    bool save(const QString &path) const;

private:
    struct Line
    {
        // As read, without the line break; written back while unchanged.
        QByteArray bytes;
        // "\n", "\r\n", or nothing for a last line that had none.
        QByteArray lineBreak;
        // The decoded line; nothing when not even its key name decodes.
        std::optional<QString> text;
        bool changed = false;
    };
    // [first, end) lines of the first section of that name; first is the header.
    struct Span
    {
        int header = -1;
        int end = -1;
    };

    Span findSection(const QString &section) const;
    int findKey(const Span &span, const QString &key) const;

    void insertLine(int at, const QString &text);

    QVector<Line> m_lines;
    // For added lines: the break of the file's first line that has one.
    QByteArray m_lineBreak = "\n";
    bool m_bom = false;
    // The file exists but could not be read: writing it would lose its lines.
    bool m_unreadable = false;
};
