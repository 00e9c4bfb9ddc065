#include "picturevalues.h"

#include "engine/commands.h"
#include "engine/playercore.h"
#include "state/vbnumber.h"

#include <cmath>

// Contrast's range ends at -99, one short of the others.
const std::array<PictureValues::RowInfo, PictureValues::count> PictureValues::rows = {{
    {QStringLiteral("색조"), QStringLiteral("hueSlider"), -100, Field::hueField,
     &EngineCommand::hue},
    {QStringLiteral("채도"), QStringLiteral("saturationSlider"), -100, Field::saturationField,
     &EngineCommand::saturation},
    {QStringLiteral("밝기"), QStringLiteral("brightnessSlider"), -100, Field::brightnessField,
     &EngineCommand::brightness},
    {QStringLiteral("대비"), QStringLiteral("contrastSlider"), -99, Field::contrastField,
     &EngineCommand::contrast},
    {QStringLiteral("감마"), QStringLiteral("gammaSlider"), -100, Field::gammaField,
     &EngineCommand::gamma},
}};

int PictureValues::storedValue(int row) const
{
    const RowInfo &info = rows.at(row);
    const double value = vbVal(m_core.state().value(info.field));
    if (!std::isfinite(value))
        return 0;
    return static_cast<int>(std::trunc(qBound(double(info.minimum), value, double(maximum))));
}

void PictureValues::sliderChanged(int row, int value)
{
    const RowInfo &info = rows.at(row);
    const QString text = QString::number(value);
    m_core.state().setValue(info.field, text);
    m_core.sendCommand(info.command(text));
}
