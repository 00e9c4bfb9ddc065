#include "playinfotexts.h"

#include "state/vbnumber.h"

#include <iterator>

namespace PlayInfo {

namespace {

enum class Shape
{
    copy,    // the field as it is
    size,    // first + " x " + second
    rate,    // first + " 프레임/초"
    bitrate, // first (bits per second) in kilobits + " 킬로비트/초"
    samples, // first + " Hz -> " + second + " Hz"
    channels // first + " 채널"
};

struct Row
{
    Value value;
    const char *name;
    Shape shape;
    Field first;
    Field second; // Field::Count for values made from one field
};

constexpr Row rows[] = {
    {Value::videoDecoder, "videoDecoderButton", Shape::copy, Field::videoDecoderField,
     Field::Count},
    {Value::videoCodec, "videoCodecLabel", Shape::copy, Field::videoCodecField, Field::Count},
    {Value::videoFormat, "videoFormatLabel", Shape::copy, Field::videoFormatField, Field::Count},
    {Value::colourSpace, "colourSpaceLabel", Shape::copy, Field::colourSpaceField, Field::Count},
    {Value::outputSize, "outputSizeLabel", Shape::size, Field::outputWidthField,
     Field::outputHeightField},
    {Value::sourceSize, "sourceSizeLabel", Shape::size, Field::sourceWidthField,
     Field::sourceHeightField},
    {Value::frameRate, "frameRateLabel", Shape::rate, Field::frameRateField, Field::Count},
    {Value::videoBitrate, "videoBitrateLabel", Shape::bitrate, Field::videoBitrateField,
     Field::Count},
    {Value::audioDecoder, "audioDecoderButton", Shape::copy, Field::audioDecoderField,
     Field::Count},
    {Value::audioCodec, "audioCodecLabel", Shape::copy, Field::audioCodecField, Field::Count},
    {Value::audioFormat, "audioFormatLabel", Shape::copy, Field::audioFormatField, Field::Count},
    {Value::sampleRate, "sampleRateLabel", Shape::samples, Field::sourceSampleRateField,
     Field::outputSampleRateField},
    {Value::channels, "channelsLabel", Shape::channels, Field::audioChannelsField, Field::Count},
    {Value::audioBitrate, "audioBitrateLabel", Shape::bitrate, Field::audioBitrateField,
     Field::Count},
    {Value::gpuName, "gpuNameLabel", Shape::copy, Field::gpuAdapterField, Field::Count},
};

constexpr bool rowsInOrder()
{
    for (std::size_t i = 0; i < std::size(rows); ++i)
        if (rows[i].value != static_cast<Value>(i))
            return false;
    return std::size(rows) == values.size();
}
static_assert(rowsInOrder(), "one row per value, in the order of Value");

const Row &rowOf(Value value)
{
    return rows[static_cast<int>(value)];
}

} // namespace

std::optional<QString> text(Value value, const PlayerState &state)
{
    const Row &row = rowOf(value);
    const QString first = state.value(row.first);
    const QString second = row.second == Field::Count ? QString() : state.value(row.second);
    if (first.isEmpty() || (row.second != Field::Count && second.isEmpty()))
        return std::nullopt;
    switch (row.shape) {
    case Shape::copy:
        return first;
    case Shape::size:
        return first + QStringLiteral(" x ") + second;
    case Shape::rate:
        return first + QStringLiteral(" 프레임/초");
    case Shape::bitrate:
        return shortestDecimal(vbVal(first) / 1000.0) + QStringLiteral(" 킬로비트/초");
    case Shape::samples:
        return first + QStringLiteral(" Hz -> ") + second + QStringLiteral(" Hz");
    case Shape::channels:
        return first + QStringLiteral(" 채널");
    }
    return std::nullopt;
}

QString objectName(Value value)
{
    return QString::fromLatin1(rowOf(value).name);
}

bool feedsWindow(Field field)
{
    if (field == Field::playingFrameField)
        return true;
    for (const Row &row : rows)
        if (row.first == field || row.second == field)
            return true;
    return false;
}

} // namespace PlayInfo
