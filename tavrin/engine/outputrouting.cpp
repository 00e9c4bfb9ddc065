#include "outputrouting.h"

#include "commands.h"

namespace {
const QString crlf = QStringLiteral("\r\n");

// Every LF that has no CR before it becomes CR LF.
QString withCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16 + 2);
    QChar previous;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') && previous != QLatin1Char('\r'))
            out += QLatin1Char('\r');
        out += c;
        previous = c;
    }
    return out;
}
} // namespace

RoutedChunk routeChunk(const QString &chunk)
{
    RoutedChunk routed;
    const QString &answer = EngineCommand::timePositionAnswer;

    const qsizetype at = chunk.lastIndexOf(answer);
    const qsizetype end = at < 0 ? -1 : chunk.indexOf(crlf, at);
    if (end < 0) {
        routed.output = chunk;
        routed.showAsOneLine = !chunk.isEmpty();
        return routed;
    }

    routed.position = chunk.mid(at + answer.size(), end - at - answer.size());
    // The engine answers a burst of requests in one go (it reads commands
    // once per frame), so one read often holds several answers. Every
    // complete answer is taken out, not only those with the last value:
    // otherwise the box would grow with stale positions all through playback.
    routed.output.reserve(chunk.size());
    qsizetype from = 0;
    for (qsizetype hit = chunk.indexOf(answer); hit >= 0; hit = chunk.indexOf(answer, from)) {
        const qsizetype lineEnd = chunk.indexOf(crlf, hit);
        if (lineEnd < 0)
            break;
        routed.output += QStringView(chunk).mid(from, hit - from);
        from = lineEnd + crlf.size();
    }
    routed.output += QStringView(chunk).mid(from);
    return routed;
}

QString EngineOutputAssembler::feed(const QByteArray &bytes)
{
    // The held-back text has no bare LF left, so normalising it again along
    // with the new text only matters for a CR at its end that the new text's
    // first LF completes.
    if (!bytes.isEmpty())
        m_lastWasLineEnd = bytes.back() == '\n';
    const QString text = withCrLf(m_heldBack + m_decoder.decode(bytes));
    const qsizetype lastEnd = text.lastIndexOf(crlf);
    if (lastEnd < 0) {
        m_heldBack = text;
    } else {
        m_heldBack = text.mid(lastEnd + 2);
    }
    if (m_heldBack.size() > maxHeldBack) {
        // An endless line (a status line redrawn with CR only, say): let it through.
        m_heldBack.clear();
        return text;
    }
    return lastEnd < 0 ? QString() : text.left(lastEnd + 2);
}

std::optional<QByteArrayView> EngineOutputAssembler::answersOnly(QByteArrayView bytes) const
{
    static const QByteArray answer = EngineCommand::timePositionAnswer.toLatin1();
    if (!m_lastWasLineEnd || !m_heldBack.isEmpty())
        return std::nullopt;
    std::optional<QByteArrayView> last;
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        if (end < 0 || !bytes.startsWith(answer))
            return std::nullopt;
        QByteArrayView value = bytes.sliced(answer.size(), end - answer.size());
        if (value.endsWith('\r'))
            value.chop(1);
        // Printable ASCII only: the same text in any encoding.
        for (const char c : value) {
            if (c < ' ' || c > '~')
                return std::nullopt;
        }
        last = value;
        bytes = bytes.sliced(end + 1);
    }
    return last;
}

QString EngineOutputAssembler::flush()
{
    QString rest = m_heldBack + m_decoder.decode(QByteArray());
    m_heldBack.clear();
    m_lastWasLineEnd = true;
    return withCrLf(rest);
}
