#include "videoeq.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace {
constexpr int sliderWidth = 260;
} // namespace

videoeq::videoeq(PlayerCore &core, bool onTop, QWidget *owner)
    // A fixed tool window: a title and a close box, nothing to size.
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_values(core)
{
    setObjectName(QStringLiteral("videoeq"));
    setWindowTitle(QStringLiteral("영상 조절"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);

    auto *grid = new QGridLayout(this);
    for (int row = 0; row < PictureValues::count; ++row) {
        const PictureValues::RowInfo &info = PictureValues::rows.at(row);
        auto *reset = new QPushButton(info.caption, this);
        reset->setFocusPolicy(Qt::NoFocus);
        auto *slider = new QScrollBar(Qt::Horizontal, this);
        slider->setObjectName(info.name);
        slider->setRange(info.minimum, PictureValues::maximum);
        slider->setSingleStep(PictureValues::smallStep);
        slider->setPageStep(PictureValues::largeStep);
        slider->setValue(0);
        slider->setMinimumWidth(sliderWidth);
        grid->addWidget(reset, row, 0);
        grid->addWidget(slider, row, 1);
        m_resets.at(row) = reset;
        m_sliders.at(row) = slider;

        // Dragging reports every step through valueChanged as well.
        connect(slider, &QScrollBar::valueChanged, this,
                [this, row](int value) { m_values.sliderChanged(row, value); });
        connect(reset, &QPushButton::clicked, slider, [slider] { slider->setValue(0); });
    }
    auto *note = new QLabel(
        QStringLiteral("비디오 출력드라이버에 따라 적용이 안 되는 기능이 있습니다."), this);
    grid->addWidget(note, PictureValues::count, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // Only a value that moves its slider off 0 reaches the engine.
    for (int row = 0; row < PictureValues::count; ++row)
        m_sliders.at(row)->setValue(m_values.storedValue(row));
}
