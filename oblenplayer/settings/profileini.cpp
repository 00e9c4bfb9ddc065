#include "profileini.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <iconv.h>

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text)
    return !decoder.hasError();
}

// Strict CP949: a byte sequence that is not CP949 gives nothing, never a
// replacement character.
std::optional<QString> fromCp949(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == iconv_t(-1))
        return std::nullopt;
    QByteArray out(bytes.size() * 3 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *o = out.data();
    size_t outLeft = size_t(out.size());
    const size_t result = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1) || inLeft != 0)
        return std::nullopt;
    out.truncate(out.size() - int(outLeft));
    return QString::fromUtf8(out);
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
    if (bytes.isEmpty())
        return ini;
    ini.m_encoding = isUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp949;
    QList<QByteArray> pieces = bytes.split('\n');
    ini.m_finalBreak = pieces.size() > 1 && pieces.back().isEmpty();
    if (ini.m_finalBreak)
        pieces.removeLast();
    for (QByteArray &piece : pieces) {
        if (piece.endsWith('\r')) {
            ini.m_crlf = true;
            piece.chop(1);
        }
        Line line;
        if (ini.m_encoding == Encoding::Utf8) {
            line.text = QString::fromUtf8(piece);
        } else if (const std::optional<QString> text = fromCp949(piece)) {
            line.text = *text;
        } else {
            line.raw = piece;
        }
        ini.m_lines.append(line);
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
        if (m_lines[i].raw)
            continue;
        const std::optional<QString> name = sectionName(m_lines[i].text);
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
        if (m_lines[i].raw)
            continue;
        const QString &text = m_lines[i].text;
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
    const QString &text = m_lines[line].text;
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

void ProfileIni::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + QLatin1Char('=') + value;
    const Span span = findSection(section);
    if (span.header < 0) {
        if (!m_lines.isEmpty() && !m_lines.back().raw && !m_lines.back().text.trimmed().isEmpty())
            m_lines.append(Line{});
        m_lines.append(Line{QLatin1Char('[') + section + QLatin1Char(']'), std::nullopt});
        m_lines.append(Line{entry, std::nullopt});
        m_finalBreak = true;
        return;
    }
    const int line = findKey(span, key);
    if (line >= 0) {
        m_lines[line].text = entry;
        return;
    }
    // After the section's last line that is not blank, so that the blank
    // line before the next section stays where it is.
    int at = span.end;
    while (at > span.header + 1 && !m_lines[at - 1].raw && m_lines[at - 1].text.trimmed().isEmpty())
        --at;
    m_lines.insert(at, Line{entry, std::nullopt});
    if (at == m_lines.size() - 1)
        m_finalBreak = true;
}

QByteArray ProfileIni::toBytes() const
{
    const QByteArray lineBreak = m_crlf ? QByteArray("\r\n") : QByteArray("\n");
    QByteArray out = m_bom ? utf8Bom : QByteArray();
    for (int i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i].raw ? *m_lines[i].raw : m_lines[i].text.toUtf8();
        if (i + 1 < m_lines.size() || m_finalBreak)
            out += lineBreak;
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
