#pragma once

#include <QString>
#include <optional>

class OptionStore;
class PlayerState;

// Reading the engine's identify output (engineOutputBox, lines ended by
// CR LF) into the media information, the stream menus and the status summary.
// Values are found by searching the whole text for their keys, so a parse can
// run at any time on whatever the engine has printed so far.

// The value of the last complete line that holds the key: the text after the
// key's last occurrence in that line, untrimmed. Nothing when the key is
// absent or its line has no CR LF yet.
std::optional<QString> lastValueOf(const QString &output, const QString &key);

// The sample rate in an "AO: " line's value ("[null] 48000Hz 2ch floatle ..."
// gives "48000"). Nothing when the line names no rate, as when the driver
// failed to open ("[pulse] Init failed: ...").
std::optional<QString> outputSampleRateOf(const QString &audioOutputValue);

// Decoders, codecs, formats, rates, bitrates and channels.
void extractPlaybackInfo(PlayerState &state);
// sourceWidthField and sourceHeightField.
void extractSourceSize(PlayerState &state);
// Output size and pixel format from the video-output line; once the source
// size is known. Returns whether both output sizes are known afterwards.
bool extractColourSpaceAndOutputSize(PlayerState &state);

// The start of an embeddedSubtitleMenu caption; the stream id follows it.
inline const QString embeddedSubtitlePrefix = QStringLiteral("내장 자막: ");

// Rebuilds the audio-track list; ticks the first track, or after a restart
// the track kept in audioStreamBackupField.
void parseAudioStreams(PlayerState &state, OptionStore &options);
// Lists the last external subtitle under its id, then the embedded ones.
void parseFileSubtitles(PlayerState &state, OptionStore &options);
void parseEmbeddedSubtitles(PlayerState &state, OptionStore &options);

// The format codes as the status bar shows them ("AVC1" is "H264", "85" is
// "MP3"); a code not in the tables is shown upper-cased.
QString videoCodeForSummary(const QString &format);
QString audioCodeForSummary(const QString &format);
// The one-line summary for infoLabel: "H264 | MP3, 44100HZ, 2CH".
QString formatSummary(const PlayerState &state);

// Everything one parse does once playback has started, in its order: the
// stream lists, the length, the source size, the playback information and
// the summary. Returns false, doing nothing, while "Starting playback..." is
// not in the output.
bool runDetailParse(PlayerState &state, OptionStore &options);
