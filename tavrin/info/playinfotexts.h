#pragma once

#include "state/playerstate.h"

#include <QString>
#include <array>
#include <optional>

// What the playback information window shows of the media, made from the
// state record's fields. The window only copies these texts into its labels.
namespace PlayInfo {

enum class Value
{
    videoDecoder,
    videoCodec,
    videoFormat,
    colourSpace,
    outputSize,
    sourceSize,
    frameRate,
    videoBitrate,
    audioDecoder,
    audioCodec,
    audioFormat,
    sampleRate,
    channels,
    audioBitrate,
    gpuName,
};

inline constexpr std::array<Value, 15> values = {
    Value::videoDecoder, Value::videoCodec,   Value::videoFormat, Value::colourSpace,
    Value::outputSize,   Value::sourceSize,   Value::frameRate,   Value::videoBitrate,
    Value::audioDecoder, Value::audioCodec,   Value::audioFormat, Value::sampleRate,
    Value::channels,     Value::audioBitrate, Value::gpuName};

// The value's text, or nothing while a field it is made from is empty: the
// label then keeps what it shows, so the values stay after the engine ends.
std::optional<QString> text(Value value, const PlayerState &state);

// The label's object name in the window ("videoCodecLabel"; the decoders
// are buttons, "videoDecoderButton").
QString objectName(Value value);

// Whether a change of this field can change a value of the window.
bool feedsWindow(Field field);

} // namespace PlayInfo
