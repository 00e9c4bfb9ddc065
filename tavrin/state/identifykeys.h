#pragma once

#include "playerstate.h"

#include <QString>
#include <array>

// The texts of the engine's output that the player reads, each written once.
// Keys are matched case-sensitively, with their trailing "=" or blank.
namespace IdentifyKey {
inline const QString startingPlayback = QStringLiteral("Starting playback...");
inline const QString length = QStringLiteral("ID_LENGTH=");
inline const QString videoWidth = QStringLiteral("ID_VIDEO_WIDTH=");
inline const QString videoHeight = QStringLiteral("ID_VIDEO_HEIGHT=");
inline const QString audioOutput = QStringLiteral("AO: ");
inline const QString audioId = QStringLiteral("ID_AUDIO_ID=");
inline const QString subtitleId = QStringLiteral("ID_SUBTITLE_ID=");
inline const QString fileSubId = QStringLiteral("ID_FILE_SUB_ID=");
inline const QString fileSubFilename = QStringLiteral("ID_FILE_SUB_FILENAME=");
// "ID_AID_" id "_LANG=" and "ID_SID_" id "_LANG=".
inline const QString audioLanguagePrefix = QStringLiteral("ID_AID_");
inline const QString subtitleLanguagePrefix = QStringLiteral("ID_SID_");
inline const QString languageSuffix = QStringLiteral("_LANG=");
// Ends the source size in the video-output line: "640x360 => 640x360 Planar YV12".
inline const QString outputSizeArrow = QStringLiteral(" => ");
} // namespace IdentifyKey

struct KeyToField
{
    QString key;
    Field field;
};

// What extractPlaybackInfo reads, in its order. The "AO: " line is reduced to
// the sample rate before it is stored.
inline const std::array<KeyToField, 12> playbackInfoKeys = {{
    {QStringLiteral("Opening video decoder: "), Field::videoDecoderField},
    {QStringLiteral("Selected video codec: "), Field::videoCodecField},
    {QStringLiteral("ID_VIDEO_FORMAT="), Field::videoFormatField},
    {QStringLiteral("ID_VIDEO_FPS="), Field::frameRateField},
    {QStringLiteral("ID_VIDEO_BITRATE="), Field::videoBitrateField},
    {QStringLiteral("Opening audio decoder: "), Field::audioDecoderField},
    {QStringLiteral("Selected audio codec: "), Field::audioCodecField},
    {QStringLiteral("ID_AUDIO_FORMAT="), Field::audioFormatField},
    {QStringLiteral("ID_AUDIO_BITRATE="), Field::audioBitrateField},
    {QStringLiteral("ID_AUDIO_RATE="), Field::sourceSampleRateField},
    {IdentifyKey::audioOutput, Field::outputSampleRateField},
    {QStringLiteral("ID_AUDIO_NCH="), Field::audioChannelsField},
}};
