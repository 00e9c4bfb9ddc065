#include "profileini.h"

#include "common/filename.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text)
    return !decoder.hasError();
}

std::optional<QString> decode(const QByteArray &bytes)
{
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    return strictCp949(bytes);
}

// A line of neither encoding: when its key name decodes, the key with its
// value as far as it reads (bytes that do not read become U+FFFD, which no
// value accepts). '=' is never the second byte of a CP949 character, so the
// first '=' byte ends the key in either encoding.
std::optional<QString> decodeDamaged(const QByteArray &bytes)
{
    const int equals = int(bytes.indexOf('='));
    if (equals < 0)
        return std::nullopt;
    const std::optional<QString> key = decode(bytes.left(equals));
    if (!key)
        return std::nullopt;
    const QByteArray rest = bytes.mid(equals + 1);
    return *key + QLatin1Char('=') + decode(rest).value_or(QString::fromUtf8(rest));
}

// "[name]" gives name; anything else is no section header.
std::optional<QString> sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileIni ProfileIni::fromBytes(const QByteArray &source)
{
    ProfileIni ini;
    QByteArray bytes = source;
    if (bytes.startsWith(utf8Bom)) {
        ini.m_bom = true;
        bytes.remove(0, utf8Bom.size());
    }
    bool breakSeen = false;
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', from);
        Line line;
        if (end < 0) {
            end = bytes.size();
        } else {
            line.lineBreak = "\n";
        }
        line.bytes = bytes.mid(from, end - from);
        if (!line.lineBreak.isEmpty() && line.bytes.endsWith('\r')) {
            line.bytes.chop(1);
            line.lineBreak = "\r\n";
        }
        if (!breakSeen && !line.lineBreak.isEmpty()) {
            ini.m_lineBreak = line.lineBreak;
            breakSeen = true;
        }
        line.text = decode(line.bytes);
        if (!line.text)
            line.text = decodeDamaged(line.bytes);
        ini.m_lines.append(line);
        from = end + 1;
    }
    return ini;
}

ProfileIni ProfileIni::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        ProfileIni ini;
        ini.m_unreadable = true;
        return ini;
    }
    return fromBytes(file.readAll());
}

ProfileIni::Span ProfileIni::findSection(const QString &section) const
{
    Span span;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (!m_lines[i].text)
            continue;
        const std::optional<QString> name = sectionName(*m_lines[i].text);
        if (!name)
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        if (sameName(*name, section))
            span.header = i;
    }
    if (span.header >= 0)
        span.end = int(m_lines.size());
    return span;
}

int ProfileIni::findKey(const Span &span, const QString &key) const
{
    for (int i = span.header + 1; i < span.end; ++i) {
        if (!m_lines[i].text)
            continue;
        const QString &text = *m_lines[i].text;
        const int equals = text.indexOf(QLatin1Char('='));
        if (equals >= 0 && sameName(text.left(equals).trimmed(), key))
            return i;
    }
    return -1;
}

std::optional<QString> ProfileIni::value(const QString &section, const QString &key) const
{
    const Span span = findSection(section);
    if (span.header < 0)
        return std::nullopt;
    const int line = findKey(span, key);
    if (line < 0)
        return std::nullopt;
    const QString &text = *m_lines[line].text;
    QString v = text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && v.front() == v.back() &&
        (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')))
        v = v.mid(1, v.size() - 2);
    v.truncate(valueLimit);
    const int nul = v.indexOf(QChar(0));
    if (nul >= 0)
        v.truncate(nul);
    return v;
}

void ProfileIni::insertLine(int at, const QString &text)
{
    // The line before gets a break of its own when it was the last one
    // and had none.
    if (at > 0 && m_lines[at - 1].lineBreak.isEmpty())
        m_lines[at - 1].lineBreak = m_lineBreak;
    Line line;
    line.text = text;
    line.lineBreak = m_lineBreak;
    line.changed = true;
    m_lines.insert(at, line);
}

void ProfileIni::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + QLatin1Char('=') + value;
    const Span span = findSection(section);
    if (span.header < 0) {
        if (!m_lines.isEmpty() &&
            (!m_lines.back().text || !m_lines.back().text->trimmed().isEmpty()))
            insertLine(int(m_lines.size()), QString());
        insertLine(int(m_lines.size()), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(int(m_lines.size()), entry);
        return;
    }
    const int line = findKey(span, key);
    if (line >= 0) {
        if (this->value(section, key) == value)
            return;
        m_lines[line].text = entry;
        m_lines[line].changed = true;
        return;
    }
    // After the section's last line that is not blank, so that the blank
    // line before the next section stays where it is.
    int at = span.end;
    while (at > span.header + 1 && m_lines[at - 1].text &&
           m_lines[at - 1].text->trimmed().isEmpty())
        --at;
    insertLine(at, entry);
}

QByteArray ProfileIni::toBytes() const
{
    QByteArray out = m_bom ? utf8Bom : QByteArray();
    for (const Line &line : m_lines) {
        out += line.changed ? line.text->toUtf8() : line.bytes;
        out += line.lineBreak;
    }
    return out;
}

bool ProfileIni::save(const QString &path) const
{
    if (m_unreadable)
        return false;
    const QFileInfo info(path);
    if (info.exists()) {
        // Checked on the bits as well: root may write anything.
        constexpr QFile::Permissions anyWrite =
            QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        if (!info.isWritable() || !(info.permissions() & anyWrite))
            return false;
    }
    QSaveFile file(path);
    // Unbuffered: through the buffer a short write (disk full, size limit)
    // is lost and commit() replaces the old file with the cut one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
