#include "audiobands.h"

#include "engine/commands.h"
#include "engine/playercore.h"
#include "state/vbnumber.h"

#include <QStringList>
#include <cmath>

namespace {
const QString setBandsCommand = QStringLiteral("af_eq_set_bands");
} // namespace

const std::array<QString, AudioBands::count> AudioBands::captions = {
    QStringLiteral("31.25 Hz"),  QStringLiteral("62.50 Hz"),  QStringLiteral("125.00 Hz"),
    QStringLiteral("250.00 Hz"), QStringLiteral("500.00 Hz"), QStringLiteral("1.00 KHz"),
    QStringLiteral("2.00 KHz"),  QStringLiteral("4.00 KHz"),  QStringLiteral("8.00 KHz"),
    QStringLiteral("16.00 KHz")};

const std::array<Field, AudioBands::count> AudioBands::fields = {
    Field::eqBand0Field, Field::eqBand1Field, Field::eqBand2Field, Field::eqBand3Field,
    Field::eqBand4Field, Field::eqBand5Field, Field::eqBand6Field, Field::eqBand7Field,
    Field::eqBand8Field, Field::eqBand9Field};

int AudioBands::storedSliderValue(int band) const
{
    const std::optional<double> gain = strictNumber(m_core.state().value(fields.at(band)));
    if (!gain || !std::isfinite(*gain))
        return 0;
    // The slider holds whole values in its range: a gain beyond it stops at
    // the end, a fraction goes to the nearest step.
    return -qRound(qBound(double(-sliderMaximum), *gain, double(sliderMaximum)));
}

QString AudioBands::gainsText() const
{
    QStringList gains;
    for (const QString &gain : m_gains)
        gains << gain;
    return gains.join(QLatin1Char(':'));
}

void AudioBands::sliderChanged(int band, int value)
{
    m_gains.at(band) = QString::number(-value);
    sendGains();
    m_core.state().setValue(fields.at(band), m_gains.at(band));
}

void AudioBands::sendGains()
{
    // Until the engine has told what it understands, the af_cmdline form: it
    // is the one the engines this program runs with accept.
    const bool hasSetBands = m_core.engineCommands().lists(setBandsCommand);
    m_core.sendCommand(EngineCommand::equalizer(gainsText(), hasSetBands));
}
