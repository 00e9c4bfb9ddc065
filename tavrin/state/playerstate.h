#pragma once

#include "outputbound.h"

#include <QObject>
#include <QString>
#include <array>

// Every field of the player's state record with its default. The record holds
// text only: numbers as they are shown or sent, flags "0"/"1", the play state
// as one of three Korean words, colours as decimal COLORREF values.
// X(name, default)
#define TAVRIN_PLAYER_FIELDS(X)                                                                    \
    /* playback */                                                                                 \
    X(playStateField, "정지")                                                                      \
    X(totalSecondsField, "")                                                                       \
    X(currentSecondsField, "")                                                                     \
    X(savedSecondsField, "")                                                                       \
    X(seekingFlag, "0")                                                                            \
    X(restartFlag, "0")                                                                            \
    X(mediaPathField, "")                                                                          \
    X(audioStreamBackupField, "")                                                                  \
    X(totalTimeLabel, "00:00:00.0")                                                                \
    X(currentTimeLabel, "00:00:00.0")                                                              \
    X(timeSeparatorLabel, "/")                                                                     \
    /* media information, cleared when an engine run ends (but gpuAdapterField) */                 \
    X(videoDecoderField, "")                                                                       \
    X(videoCodecField, "")                                                                         \
    X(videoFormatField, "")                                                                        \
    X(videoBitrateField, "")                                                                       \
    X(frameRateField, "")                                                                          \
    X(sourceWidthField, "")                                                                        \
    X(sourceHeightField, "")                                                                       \
    X(outputWidthField, "")                                                                        \
    X(outputHeightField, "")                                                                       \
    X(colourSpaceField, "")                                                                        \
    X(audioDecoderField, "")                                                                       \
    X(audioCodecField, "")                                                                         \
    X(audioFormatField, "")                                                                        \
    X(audioBitrateField, "")                                                                       \
    X(sourceSampleRateField, "")                                                                   \
    X(outputSampleRateField, "")                                                                   \
    X(audioChannelsField, "")                                                                      \
    X(playingFrameField, "")                                                                       \
    X(infoLabel, "")                                                                               \
    X(gpuAdapterField, "")                                                                         \
    /* engine link */                                                                              \
    X(processHandleField, "")                                                                      \
    X(commandInputField, "")                                                                       \
    X(engineOutputBox, "")                                                                         \
    X(oneLineInfoLabel, "")                                                                        \
    X(subtitleScanBackupBox, "")                                                                   \
    X(audioScanBackupBox, "")                                                                      \
    X(subtitleIdField, "")                                                                         \
    X(audioIdField, "")                                                                            \
    X(fileSubIdField, "")                                                                          \
    X(fileSubFilenameField, "")                                                                    \
    X(parameterInfoField, "")                                                                      \
    X(parameterOpenedField, "")                                                                    \
    /* playback adjustments: the value last sent, put on the next command line */                  \
    X(volumeField, "50")                                                                           \
    X(speedField, "1.0")                                                                           \
    X(audioDelayField, "0")                                                                        \
    X(subDelayField, "0")                                                                          \
    X(assFontScaleField, "1.0")                                                                    \
    X(textSubScaleField, "3")                                                                      \
    X(gammaField, "0")                                                                             \
    X(contrastField, "0")                                                                          \
    X(brightnessField, "0")                                                                        \
    X(hueField, "0")                                                                               \
    X(saturationField, "0")                                                                        \
    X(eqBand0Field, "0")                                                                           \
    X(eqBand1Field, "0")                                                                           \
    X(eqBand2Field, "0")                                                                           \
    X(eqBand3Field, "0")                                                                           \
    X(eqBand4Field, "0")                                                                           \
    X(eqBand5Field, "0")                                                                           \
    X(eqBand6Field, "0")                                                                           \
    X(eqBand7Field, "0")                                                                           \
    X(eqBand8Field, "0")                                                                           \
    X(eqBand9Field, "0")                                                                           \
    /* subtitle style */                                                                           \
    X(subFontNameField, "Arial")                                                                   \
    X(subFontSizeField, "18")                                                                      \
    X(subBoldField, "0")                                                                           \
    X(subItalicField, "0")                                                                         \
    X(subMarginVField, "10")                                                                       \
    X(subOutlineField, "0.5")                                                                      \
    X(subShadowField, "0.5")                                                                       \
    X(subTextColourField, "65535")                                                                 \
    X(subOutlineColourField, "0")                                                                  \
    X(subShadowColourField, "0")                                                                   \
    X(useDefaultSubtitleSettingsField, "1")                                                        \
    X(subFontPathField, "")                                                                        \
    X(textSubPositionField, "97")                                                                  \
    X(textSubOutlineField, "2")                                                                    \
    X(textSubBlurField, "1.5")                                                                     \
    X(assScriptHeaderField, "[Script Info]\r\n"                                                    \
                            "ScriptType: v4.00+\r\n"                                               \
                            "\r\n"                                                                 \
                            "[V4+ Styles]\r\n"                                                     \
                            "Format: Name, Fontname, Fontsize, Bold, Italic, MarginV, Outline, "   \
                            "Shadow, PrimaryColour, OutlineColour, BackColour, BorderStyle, "      \
                            "Alignment\r\n"                                                        \
                            "Style: Default,")                                                     \
    /* window and display */                                                                       \
    X(fullScreenStateField, "")                                                                    \
    X(fillScreenFlag, "0")                                                                         \
    X(alwaysOnTopFlag, "0")                                                                        \
    X(minimalModeFlag, "0")                                                                        \
    X(P_LEFT, "")                                                                                  \
    X(P_TOP, "")                                                                                   \
    X(P_WIDTH, "")                                                                                 \
    X(P_HEIGHT, "")                                                                                \
    X(P_CAPTION, "")                                                                               \
    X(PT_LEFT, "")                                                                                 \
    X(PT_TOP, "")                                                                                  \
    X(PT_WIDTH, "")                                                                                \
    X(PT_HEIGHT, "")                                                                               \
    X(F_LEFT, "")                                                                                  \
    X(F_TOP, "")                                                                                   \
    X(F_WIDTH, "")                                                                                 \
    X(F_HEIGHT, "")                                                                                \
    X(backgroundPositionField, "")                                                                 \
    X(mouseButtonKindField, "")                                                                    \
    X(cursorTimerOffField, "0")                                                                    \
    /* AviSynth scripts */                                                                         \
    X(scriptEditorBox, "")                                                                         \
    X(scriptTemplateBox, "")                                                                       \
    X(secondPathField, "")

enum class Field {
#define TAVRIN_FIELD_ENUM(name, def) name,
    TAVRIN_PLAYER_FIELDS(TAVRIN_FIELD_ENUM)
#undef TAVRIN_FIELD_ENUM
        Count
};

constexpr int fieldCount = static_cast<int>(Field::Count);

// The play states, compared exactly wherever the state is tested.
namespace PlayState {
inline const QString playing = QStringLiteral("재생");
inline const QString paused = QStringLiteral("일시정지");
inline const QString stopped = QStringLiteral("정지");
} // namespace PlayState

// The media information that an engine run fills and its end clears, in the
// order it is cleared.
inline constexpr std::array<Field, 19> mediaInformationFields = {
    Field::sourceWidthField,      Field::sourceHeightField,     Field::videoDecoderField,
    Field::videoCodecField,       Field::videoFormatField,      Field::outputWidthField,
    Field::outputHeightField,     Field::colourSpaceField,      Field::frameRateField,
    Field::videoBitrateField,     Field::audioDecoderField,     Field::audioCodecField,
    Field::audioFormatField,      Field::audioBitrateField,     Field::sourceSampleRateField,
    Field::outputSampleRateField, Field::audioChannelsField,    Field::infoLabel,
    Field::playingFrameField};

// The player's state record: one instance for the life of the program, owned
// by the main window's core and read and written by every window.
class PlayerState : public QObject
{
    Q_OBJECT
public:
    explicit PlayerState(QObject *parent = nullptr);

    QString value(Field field) const { return m_values[index(field)]; }
    void setValue(Field field, const QString &text);
    bool is(Field field, const QString &text) const { return m_values[index(field)] == text; }

    // engineOutputBox grows by one chunk per poll: new text = old text + CR LF
    // + chunk. Reported by outputAppended() only, so that views that mirror
    // the box add the piece instead of copying the whole text every poll.
    // The box is kept bounded (see OutputBound): when it must be cut first,
    // changed() reports the cut text before outputAppended() the piece.
    void appendOutput(const QString &chunk);

    static QString nameOf(Field field);
    static QString defaultOf(Field field);
    // The field with that name (case-sensitive), or Field::Count.
    static Field fromName(const QString &name);

Q_SIGNALS:
    void changed(Field field, const QString &value);
    // Only the piece added to engineOutputBox, for views that mirror it.
    void outputAppended(const QString &piece);

private:
    static int index(Field field) { return static_cast<int>(field); }
    std::array<QString, fieldCount> m_values;
    OutputBound m_outputBound;
};
