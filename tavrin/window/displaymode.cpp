#include "displaymode.h"

namespace DisplayMode {

Step stepFor(Request request, bool borderless, const QString &fullScreenState)
{
    switch (request) {
    case Request::ToggleFullScreen:
        return borderless ? Step::Leave : Step::EnterFullScreen;
    case Request::ExternalFullScreen:
        if (fullScreenState == fillScreen)
            return Step::SwitchToFullScreen;
        return borderless ? Step::Leave : Step::EnterFullScreen;
    case Request::ExternalFillScreen:
        if (fullScreenState == fullScreen)
            return Step::SwitchToFillScreen;
        return borderless ? Step::Leave : Step::EnterFillScreen;
    case Request::SizeFactor:
        return borderless ? Step::Leave : Step::None;
    }
    return Step::None;
}

Mode modeOf(bool borderless, const QString &fullScreenState, bool minimal)
{
    if (borderless)
        return fullScreenState == fillScreen ? Mode::FillScreen : Mode::FullScreen;
    return minimal ? Mode::Minimal : Mode::Normal;
}

Mode modeAfter(Mode mode, Step step, bool minimal)
{
    switch (step) {
    case Step::None:
        return mode;
    case Step::EnterFullScreen:
    case Step::SwitchToFullScreen:
        return Mode::FullScreen;
    case Step::EnterFillScreen:
    case Step::SwitchToFillScreen:
        return Mode::FillScreen;
    case Step::Leave:
        return minimal ? Mode::Minimal : Mode::Normal;
    }
    return mode;
}

} // namespace DisplayMode
