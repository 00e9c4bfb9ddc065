#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// An INI file with the rules of the Windows profile functions: section and
// key names compared without regard to case, the first match wins, a write
// replaces one key's value and keeps every other line as it was.
//
// Files written by the Windows program are in CP949; a file that is not
// valid UTF-8 is read as CP949 and written back in UTF-8. A line that is
// neither (a damaged or binary file) is kept byte for byte and never read.
class ProfileIni
{
public:
    // What the profile functions hand back at most: a 1024-character buffer
    // with its closing NUL.
    static constexpr int valueLimit = 1023;

    enum class Encoding
    {
        Utf8,
        Cp949
    };

    ProfileIni() = default;
    static ProfileIni fromBytes(const QByteArray &bytes);
    // A missing or unreadable file reads as an empty one.
    static ProfileIni fromFile(const QString &path);

    Encoding encoding() const { return m_encoding; }

    // The value of the key: blanks around it, one pair of enclosing quotes
    // and everything from a NUL on taken off. Nothing when the section or
    // the key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Replaces the value of the key, adding the key (and the section) when
    // missing.
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;
    // Writes the whole file at once (a write that fails half-way leaves the
    // old file). A file that exists without write permission is left alone,
    // even for a user who could overrule the permission.
    bool save(const QString &path) const;

private:
    struct Line
    {
        QString text;
        // Bytes that decode in neither encoding: written back unchanged.
        std::optional<QByteArray> raw;
    };
    // [first, end) lines of the first section of that name; first is the header.
    struct Span
    {
        int header = -1;
        int end = -1;
    };

    Span findSection(const QString &section) const;
    int findKey(const Span &span, const QString &key) const;

    QVector<Line> m_lines;
    Encoding m_encoding = Encoding::Utf8;
    bool m_crlf = false;
    // Whether the last line ended with a line break.
    bool m_finalBreak = true;
    bool m_bom = false;
    // The file exists but could not be read: writing it would lose its lines.
    bool m_unreadable = false;
};
