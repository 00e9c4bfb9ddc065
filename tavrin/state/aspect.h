#pragma once

#include <QSize>
#include <QString>
#include <optional>

// What the size of the picture inside the video frame depends on.
struct AspectInput
{
    QString sourceWidth;           // sourceWidthField
    QString sourceHeight;          // sourceHeightField
    QString fullScreenState;       // fullScreenStateField
    QString fillScreenFlag;        // fillScreenFlag
    std::optional<int> aspectItem; // checked item of the aspect menu
    QSize frame;                   // the video frame, in pixels
};

struct AspectResult
{
    QSize size;
    // The picture is stretched over the frame (fill screen or "keep no
    // ratio"): the windows leave always-on-top.
    bool stretched = false;
};

// The aspect menu's items: 0 the source's own ratio, 1 4:3, 2 16:9,
// 3 1.85:1, 4 2.35:1, 5 no ratio kept.
inline constexpr int keepNoRatioItem = 5;

// The size of the picture inside the frame: the largest size of the chosen
// ratio that fits, its free side a multiple of 4 pixels; the whole frame when
// the source size is unknown or the picture is stretched.
AspectResult applyAspect(const AspectInput &input);
