#pragma once

#include "optionstore.h"

#include <QString>
#include <optional>
#include <vector>

// What a plain menu entry does when it is chosen. Options and the entries of
// the menu arrays need none: what they do follows from their menu.
enum class MenuCommand
{
    none,
    openMediaFile,
    openWithAviSynth,
    openUrl,
    closeCurrentMedia,
    togglePlayPause,
    stopPlayback,
    frameStep,
    back10,
    forward10,
    back60,
    forward60,
    back600,
    forward600,
    resetSpeed,
    speedDown,
    speedUp,
    volumeDown,
    volumeUp,
    toggleMute,
    audioSyncReset,
    audioDelayDown,
    audioDelayUp,
    toggleSubtitles,
    noSubtitles,
    subSyncReset,
    subDelayDown,
    subDelayUp,
    previousSubtitle,
    nextSubtitle,
    subtitleSmaller,
    subtitleLarger,
    halfSize,
    originalSize,
    oneAndHalfSize,
    doubleSize,
    fullScreen,
    fillScreen,
    toggleBars,
    exitProgram,
    // The adjustment and information windows.
    showVideoAdjust,
    showEqualizer,
    showSubtitleSettings,
    showEngineLog,
    showPlaybackInfo,
    showProgramInfo,
};

// One row of the popup menu's tree, in the order the menu shows them. A row
// belongs to the nearest submenu row above it with a smaller depth; depth 0
// rows are the items of the top-level menu.
struct MenuNode
{
    enum class Kind
    {
        submenu,
        separator,
        // An entry that runs `command`; `store`, when set, gives its check
        // mark and enabled state.
        command,
        // An on/off option in `store`: choosing flips it and restarts the
        // engine at the current position.
        option,
        // The items of the array `store`, in index order, at this place.
        list,
    };

    int depth;
    Kind kind;
    // Null for an option, which has the name of its store entry.
    const char *name;
    const char *label;
    // The key that does the same, shown beside the label; the keyboard map
    // handles the key itself.
    const char *hint;
    MenuCommand command;
    std::optional<Menu> store;
    // Shown when the pointer rests on the entry: why it cannot be chosen.
    const char *tip = "";
};

namespace MenuTree {

// The top-level menu's own name and caption.
inline const QString rootName = QStringLiteral("popupMenu");
inline const QString rootCaption = QStringLiteral("팝업");

const std::vector<MenuNode> &nodes();

// The text of an entry: the label and, after a tab, the key hint (Qt puts
// the text after the tab in the menu's shortcut column).
QString entryText(const QString &label, const QString &hint);

// A caption that comes from media or drives, with every "&" doubled so that
// it shows as itself instead of marking a mnemonic.
QString literalCaption(const QString &caption);

} // namespace MenuTree
