#include "audioeq.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace {
constexpr int sliderHeight = 160;
} // namespace

audioeq::audioeq(PlayerCore &core, bool onTop, QWidget *owner)
    // A fixed tool window: a title and a close box, nothing to size.
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_bands(core)
{
    setObjectName(QStringLiteral("audioeq"));
    setWindowTitle(QStringLiteral("이퀄라이저"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);

    auto *grid = new QGridLayout(this);
    // The scale beside the sliders: the top is +12 dB.
    auto *top = new QLabel(QStringLiteral("12 dB"), this);
    auto *bottom = new QLabel(QStringLiteral("-12 dB"), this);
    grid->addWidget(top, 1, 0, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(bottom, 1, 0, Qt::AlignBottom | Qt::AlignRight);

    for (int band = 0; band < AudioBands::count; ++band) {
        const QString number = QString::number(band);
        auto *gain = new QLabel(m_bands.gainLabel(band), this);
        gain->setObjectName(QStringLiteral("eqGainLabel") + number);
        gain->setAlignment(Qt::AlignCenter);
        auto *slider = new QScrollBar(Qt::Vertical, this);
        slider->setObjectName(QStringLiteral("eqSlider") + number);
        slider->setRange(AudioBands::sliderMinimum, AudioBands::sliderMaximum);
        slider->setSingleStep(AudioBands::smallStep);
        slider->setPageStep(AudioBands::largeStep);
        slider->setValue(0);
        slider->setMinimumHeight(sliderHeight);
        auto *reset = new QPushButton(AudioBands::captions.at(band), this);
        reset->setObjectName(QStringLiteral("eqResetButton") + number);
        reset->setFocusPolicy(Qt::NoFocus);

        grid->addWidget(gain, 0, band + 1);
        grid->addWidget(slider, 1, band + 1, Qt::AlignHCenter);
        grid->addWidget(reset, 2, band + 1);
        m_gainLabels.at(band) = gain;
        m_sliders.at(band) = slider;
        m_resets.at(band) = reset;

        // valueChanged comes for every step of a drag too (tracking is on),
        // so a drag sends one line per step it passes.
        connect(slider, &QScrollBar::valueChanged, this, [this, band](int value) {
            m_bands.sliderChanged(band, value);
            m_gainLabels.at(band)->setText(m_bands.gainLabel(band));
        });
        connect(reset, &QPushButton::clicked, slider, [slider] { slider->setValue(0); });
    }
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // A stored gain moves its slider, which sends the gains as they stand so
    // far; then all ten go once more.
    for (int band = 0; band < AudioBands::count; ++band)
        m_sliders.at(band)->setValue(m_bands.storedSliderValue(band));
    m_bands.sendGains();
}
