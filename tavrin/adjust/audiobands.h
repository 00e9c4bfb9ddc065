#pragma once

#include "state/playerstate.h"

#include <QString>
#include <array>

class PlayerCore;

// The ten bands of the engine's audio equalizer and what a change of one
// does: the gain shown, the line sent, the field written. The window only
// lays the bands out and reports its sliders' values.
class AudioBands
{
public:
    static constexpr int count = 10;
    // The sliders run from -12 at the top to 12 at the bottom; the gain is the
    // negated slider value, so the top means +12 dB.
    static constexpr int sliderMinimum = -12;
    static constexpr int sliderMaximum = 12;
    static constexpr int smallStep = 1;
    static constexpr int largeStep = 6;
    // The caption of each band's reset button, band 0 first.
    static const std::array<QString, count> captions;
    static const std::array<Field, count> fields;

    explicit AudioBands(PlayerCore &core) : m_core(core) {}

    // Where band k's slider goes when the window opens: the negated gain of
    // its field, a field that does not read as a number counting as 0.
    int storedSliderValue(int band) const;
    // The gain band k shows ("0" until its slider first moves).
    QString gainLabel(int band) const { return m_gains.at(band); }
    // The ten gains joined by ":".
    QString gainsText() const;

    // Band k's slider now stands at `value`: shows the gain, sends all ten
    // gains to the engine, and keeps the gain in the band's field.
    void sliderChanged(int band, int value);
    // Sends all ten gains as they are shown (the last step of opening).
    void sendGains();

private:
    PlayerCore &m_core;
    std::array<QString, count> m_gains = {
        QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
        QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
        QStringLiteral("0"), QStringLiteral("0")};
};
