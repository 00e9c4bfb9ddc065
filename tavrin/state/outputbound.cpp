#include "outputbound.h"

#include "identifykeys.h"

namespace {
const QString crlf = QStringLiteral("\r\n");
const QString identifyPrefix = QStringLiteral("ID_");
} // namespace

bool OutputBound::isParsedLine(QStringView line)
{
    // Anywhere in the line, as the parsers search: the engine's two output
    // streams are merged, and a line of one may begin with the unfinished
    // end of a line of the other.
    if (line.contains(identifyPrefix) || line.contains(IdentifyKey::startingPlayback) ||
        line.contains(IdentifyKey::outputSizeArrow))
        return true;
    for (const KeyToField &entry : playbackInfoKeys) {
        if (line.contains(entry.key))
            return true;
    }
    return false;
}

void OutputBound::reset()
{
    m_headEnd = -1;
    m_keptEnd = -1;
    m_kept.clear();
    m_placeOf.clear();
    m_keptSize = 0;
}

void OutputBound::keep(const QString &line)
{
    const auto known = m_placeOf.constFind(line);
    if (known != m_placeOf.constEnd()) {
        m_kept.erase(*known);
        m_keptSize -= line.size() + crlf.size();
    }
    const quint64 place = m_nextPlace++;
    m_kept.emplace(place, line);
    m_placeOf.insert(line, place);
    m_keptSize += line.size() + crlf.size();
    // A flood of identify lines must not grow the box either: the oldest go.
    while (m_keptSize > keptChars && !m_kept.empty()) {
        const auto oldest = m_kept.begin();
        m_keptSize -= oldest->second.size() + crlf.size();
        m_placeOf.remove(oldest->second);
        m_kept.erase(oldest);
    }
}

QString OutputBound::keptText() const
{
    QString text;
    text.reserve(m_keptSize);
    for (const auto &[place, line] : m_kept)
        text += line + crlf;
    return text;
}

bool OutputBound::makeRoom(QString &box, qsizetype incoming)
{
    if (box.size() + incoming <= limitChars)
        return false;
    if (m_headEnd < 0) {
        // The head ends with its last whole line: the command line and the
        // engine's first messages stay as they came.
        const qsizetype lastBreak =
            box.lastIndexOf(crlf, qMin(headChars, box.size()) - crlf.size());
        m_headEnd = lastBreak < 0 ? 0 : lastBreak + crlf.size();
        m_keptEnd = m_headEnd;
    }

    // The newest output stays from the start of a line on (a line longer
    // than all of it is cut where it must be).
    qsizetype tailStart = box.size() - tailChars;
    if (tailStart <= m_keptEnd)
        return false;
    const qsizetype lineBreak = box.indexOf(crlf, tailStart - crlf.size());
    if (lineBreak >= 0)
        tailStart = lineBreak + crlf.size();

    const QStringView middle = QStringView(box).mid(m_keptEnd, tailStart - m_keptEnd);
    for (qsizetype from = 0; from < middle.size();) {
        qsizetype end = middle.indexOf(crlf, from);
        if (end < 0)
            end = middle.size();
        const QStringView line = middle.mid(from, end - from);
        if (isParsedLine(line))
            keep(line.toString());
        from = end + crlf.size();
    }

    const QString kept = keptText();
    QString cut;
    cut.reserve(m_headEnd + kept.size() + (box.size() - tailStart) + incoming);
    cut += QStringView(box).left(m_headEnd);
    cut += kept;
    cut += QStringView(box).mid(tailStart);
    m_keptEnd = m_headEnd + kept.size();
    box = cut;
    return true;
}
