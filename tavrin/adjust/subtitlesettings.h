#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

class PlayerState;

// What the subtitle settings window shows and stores, apart from the widgets:
// the values it takes from the state record when it opens and writes back on
// "적용", with the rules that turn the record's texts into check marks and
// colours.
struct SubtitleSettings
{
    // Styled subtitles.
    QString fontName;
    QString fontSize;
    bool bold = false;
    bool italic = false;
    QString marginV;
    QString outline;
    QString shadow;
    // COLORREF values (0x00BBGGRR), as the colour dialog takes and gives them.
    quint32 textColour = 0;
    quint32 outlineColour = 0;
    quint32 shadowColour = 0;
    // Plain subtitles.
    bool useDefault = false;
    QString fontPath;
    QString plainScale;
    QString plainPosition;
    QString plainOutline;
    QString plainBlur;

    // The values of the record laid over `start` (what the window shows
    // before it loads): texts are taken as they are; the plain/styled choice
    // is ticked when its field reads as 1; bold and italic are ticked by -1
    // and cleared by 0, any other value keeps the start's mark; a colour that
    // reads as no 24-bit COLORREF keeps the start's colour. A text reads as
    // its leading number, else 0, as everywhere in the program.
    static SubtitleSettings fromState(const PlayerState &state, const SubtitleSettings &start);
    // Writes every value into the record: marks as "-1"/"0" (bold, italic)
    // and "1"/"0" (plain/styled), colours as decimal text.
    void writeTo(PlayerState &state) const;
};

namespace SubtitleFonts {

// The family names as the engine's font lookup knows them: the foundry that
// the font database adds to a family found more than once ("Nimbus Sans
// [urw]") is cut off, and each name is kept once, in its first place.
QStringList engineFamilies(const QStringList &families);

// The largest size the preview takes; beyond it a glyph is larger than any
// screen and only costs time to draw.
inline constexpr double largestPointSize = 1638;

// The preview's point size for the text of the size box: a positive number
// up to the largest size, else nothing (the preview keeps its size).
std::optional<double> previewPointSize(const QString &text);

} // namespace SubtitleFonts

// The four plain-subtitle boxes go onto the engine's command line as they
// are typed, and the engine refuses to start at all on a value it cannot
// read or that lies outside its range ("-subpos 97.5", "-subfont-text-scale
// 3a"): every later start would fail too. Each box takes only what the
// engine takes.
namespace SubtitleNumbers {

struct Rule
{
    double lowest;
    double highest;
    bool whole; // an integer, no decimals
};

// The engine's ranges: -subfont-text-scale, -subpos, -subfont-outline,
// -subfont-blur.
inline constexpr Rule textScale{0, 100, false};
inline constexpr Rule position{0, 150, true};
inline constexpr Rule outline{0, 8, false};
inline constexpr Rule blur{0, 8, false};

enum class Verdict
{
    acceptable, // the engine takes it
    unfinished, // may become acceptable as typing goes on ("", ".")
    refused,    // no further typing makes it acceptable
};
// Digits with at most one "." (none for whole numbers), inside the range.
Verdict judge(const QString &text, const Rule &rule);
// What the box needs, to tell the user: "0에서 150 사이의 정수".
QString need(const Rule &rule);

} // namespace SubtitleNumbers
