#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <map>

// Keeps engineOutputBox to a bounded size however much the engine prints.
// The box is its head (the command line and the first output, as they came),
// the lines the parsers read that were cut from the middle, and the newest
// output. When the newest part has grown to twice its share, its older half
// is cut: the lines in it that the parsers read stay (a repeat of a line
// that is already kept moves to its new place, since the parsers take the
// last occurrence of a key), everything else goes.
class OutputBound
{
public:
    static constexpr qsizetype headChars = 32 * 1024;
    static constexpr qsizetype keptChars = 32 * 1024;
    static constexpr qsizetype tailChars = 128 * 1024;
    // The box never grows past this (and one appended chunk).
    static constexpr qsizetype limitChars = headChars + keptChars + 2 * tailChars;

    // Lines that the parsers look for: identify lines ("ID_..."), the start
    // of playback, the decoder, codec and audio-output lines and the
    // video-output line with its sizes, wherever in the line the key is.
    static bool isParsedLine(QStringView line);

    // The box was set anew (a new engine run): nothing of it is cut yet.
    void reset();
    // Makes room in the box for `incoming` more characters. Returns whether
    // the box was cut.
    bool makeRoom(QString &box, qsizetype incoming);

private:
    void keep(const QString &line);
    QString keptText() const;

    // Where the head ends (-1 until the first cut) and the kept lines end.
    qsizetype m_headEnd = -1;
    qsizetype m_keptEnd = -1;
    // The kept lines in their order, and each line's place in that order.
    std::map<quint64, QString> m_kept;
    QHash<QString, quint64> m_placeOf;
    qsizetype m_keptSize = 0;
    quint64 m_nextPlace = 0;
};
