#pragma once

#include "state/playerstate.h"

#include <QString>
#include <array>

class PlayerCore;

// The five picture values the engine adjusts while it plays, in the order the
// window shows them and sets them when it opens.
class PictureValues
{
public:
    enum Row
    {
        hue,
        saturation,
        brightness,
        contrast,
        gamma,
        count
    };
    struct RowInfo
    {
        QString caption; // of the row's reset button
        QString name;    // of its slider
        int minimum;
        Field field;
        QString (*command)(const QString &value);
    };
    static constexpr int maximum = 100;
    static constexpr int smallStep = 1;
    static constexpr int largeStep = 50;
    static const std::array<RowInfo, count> rows;

    explicit PictureValues(PlayerCore &core) : m_core(core) {}

    // Where a row's slider goes when the window opens: the whole value of its
    // field (its leading number, else 0), kept inside the row's range.
    int storedValue(int row) const;
    // The row's slider now stands at `value`: keeps it in the row's field
    // and sends it to the engine as an absolute value.
    void sliderChanged(int row, int value);

private:
    PlayerCore &m_core;
};
