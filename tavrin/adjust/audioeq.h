#pragma once

#include "audiobands.h"

#include <QWidget>
#include <array>

class PlayerCore;
class QLabel;
class QPushButton;
class QScrollBar;

// The audio equalizer window: ten vertical sliders whose gains reach the
// running engine at once. It has no buttons of its own to apply or close:
// the gains stay in force when it closes.
class audioeq : public QWidget
{
    Q_OBJECT
public:
    // Opens on top of all windows when onTop is set. The sliders take the
    // stored gains and the ten gains go to the engine once.
    audioeq(PlayerCore &core, bool onTop, QWidget *owner);

    QScrollBar *eqSlider(int band) const { return m_sliders.at(band); }
    QLabel *eqGainLabel(int band) const { return m_gainLabels.at(band); }
    QPushButton *resetButton(int band) const { return m_resets.at(band); }

private:
    AudioBands m_bands;
    std::array<QScrollBar *, AudioBands::count> m_sliders{};
    std::array<QLabel *, AudioBands::count> m_gainLabels{};
    std::array<QPushButton *, AudioBands::count> m_resets{};
};
