#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <optional>

// What one poll does with the text it read.
struct RoutedChunk
{
    // The last complete position answer's value, when the chunk has one.
    std::optional<QString> position;
    // Text for engineOutputBox once the position answers are taken out;
    // empty when nothing is to be appended.
    QString output;
    // Whether oneLineInfoLabel shows the chunk (only chunks without an answer).
    bool showAsOneLine = false;
};

// Routes one chunk of engine output: the last "ANS_TIME_POSITION=" line that
// is ended by CR LF gives the position, every line with that same value is
// taken out, and the rest goes to the output box.
RoutedChunk routeChunk(const QString &chunk);

// Turns the engine's byte stream into chunks of whole lines ended by CR LF.
// MPlayer on Linux ends its lines with a bare LF; the parsers work on CR LF,
// so every LF without a CR before it gets one. A line cut by the end of a
// read is held back until its end arrives, so that no answer or identify
// line is ever split over two chunks of the output box. Multi-byte characters
// cut by a read are kept whole by the stateful decoder.
class EngineOutputAssembler
{
public:
    // Longest unfinished line kept back before it is let through as it is.
    static constexpr int maxHeldBack = 4096;

    // The complete lines that this read finishes (possibly empty).
    QString feed(const QByteArray &bytes);
    // Whatever is still held back: the engine has ended.
    QString flush();
    // A read of whole position answers and nothing else, the usual read
    // while playing, needs no decoding and no assembling: the value of its
    // last answer, which is all that routing it would give. Nothing for any
    // other read, or when an unfinished line is held back; such reads are
    // fed as usual. A read taken here is not fed.
    std::optional<QByteArrayView> answersOnly(QByteArrayView bytes) const;

private:
    QStringDecoder m_decoder{QStringDecoder::System};
    QString m_heldBack;
    bool m_lastWasLineEnd = true;
};
