#pragma once

#include "picturevalues.h"

#include <QWidget>
#include <array>

class PlayerCore;
class QPushButton;
class QScrollBar;

// The picture adjustment window: hue, saturation, brightness, contrast and
// gamma, each sent to the running engine as the slider moves. Closing it
// keeps the values in force.
class videoeq : public QWidget
{
    Q_OBJECT
public:
    // Opens on top of all windows when onTop is set. The sliders take the
    // stored values in the order of the rows; each one that is not 0 goes
    // to the engine once.
    videoeq(PlayerCore &core, bool onTop, QWidget *owner);

    QScrollBar *slider(PictureValues::Row row) const { return m_sliders.at(row); }
    QPushButton *resetButton(PictureValues::Row row) const { return m_resets.at(row); }

private:
    PictureValues m_values;
    std::array<QScrollBar *, PictureValues::count> m_sliders{};
    std::array<QPushButton *, PictureValues::count> m_resets{};
};
