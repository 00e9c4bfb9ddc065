#pragma once

#include <QList>
#include <Qt>
#include <optional>

// Tavrin's keyboard as data: the codes the key table is written in (the PC
// virtual-key codes), the translation of Qt's keys into them, and the table
// itself, so that the rows can be walked without a window.
namespace KeyMap {

// The virtual-key codes the table uses, and the few more a keyboard sends.
namespace Code {
constexpr int backspace = 8;
constexpr int tab = 9;
constexpr int enter = 13;
constexpr int shift = 16;
constexpr int control = 17;
constexpr int alt = 18;
constexpr int escape = 27;
constexpr int space = 32;
constexpr int left = 37;
constexpr int up = 38;
constexpr int right = 39;
constexpr int down = 40;
constexpr int digit0 = 48;  // digit0 + n for the main row's digit n
constexpr int letterA = 65; // letterA + n for the n-th letter
constexpr int applications = 93;
constexpr int numpad0 = 96; // numpad0 + n for keypad digit n
constexpr int numpadMultiply = 106;
constexpr int numpadAdd = 107;
constexpr int numpadSubtract = 109;
constexpr int numpadDecimal = 110;
constexpr int numpadDivide = 111;
constexpr int f1 = 112; // f1 + n - 1 for Fn
constexpr int semicolon = 186;
constexpr int equals = 187;
constexpr int comma = 188;
constexpr int minus = 189;
constexpr int period = 190;
constexpr int slash = 191;
constexpr int backquote = 192;
constexpr int bracketLeft = 219;
constexpr int backslash = 220;
constexpr int bracketRight = 221;
constexpr int quote = 222;
} // namespace Code

// Modifier values, added together when several are held.
namespace Modifier {
constexpr int shift = 1;
constexpr int ctrl = 2;
constexpr int alt = 4;
} // namespace Modifier

struct KeyStroke
{
    int code = 0; // 0: a key the table has no code for
    int modifiers = 0;
    bool operator==(const KeyStroke &other) const
    {
        return code == other.code && modifiers == other.modifiers;
    }
};

// A Qt key press as the table sees it. The code names the physical key: a
// shifted symbol ("?" from Shift+/) gives its unshifted key's code, a keypad
// digit the keypad's own code. Only Shift, Ctrl and Alt make the modifier value.
KeyStroke fromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// What a key does. The windows not shown by the keyboard itself are asked for.
enum class Action
{
    dvdUp,
    dvdDown,
    dvdLeft,
    dvdRight,
    dvdSelect,
    dvdPrev,
    togglePlayPause,
    stopPlayback,
    back10,
    forward10,
    back60,
    forward60,
    back600,
    forward600,
    resetAudioDelay,
    audioDelayDown,
    audioDelayUp,
    resetSubDelay,
    subDelayDown,
    subDelayUp,
    fullScreen,
    fillScreen,
    openFile,
    subtitleSmaller,
    showProgramInfo,
    showPlayInfo,
    openAviSynth,
    openUrl,
    closeMedia,
    popupMenu,
    frameStep,
    resetSpeed,
    speedDown,
    speedUp,
    showVideoEq,
    volumeDown,
    volumeUp,
    toggleMute,
    showAudioEq,
    toggleSubtitles,
    subtitleBack,
    subtitleForward,
    subtitleLarger,
    showSubtitleSettings,
    windowSize05,
    windowSize10,
    windowSize15,
    windowSize20,
};

// The seconds of a jump action, 0 for any other.
int jumpSeconds(Action action);
// The window size factor of a size action, 0 for any other.
double sizeFactor(Action action);

// The DVD menu command of a key while a DVD plays (any modifiers).
std::optional<Action> dvdAction(int code);

// What the general rows allow that depends on the player.
struct Conditions
{
    bool backEnabled = false;    // the 10-second back entry of the menu
    bool forwardEnabled = false; // the 10-second forward entry
};

// Every general row that holds for the stroke, in table order: a key may
// match several, and each performs its action.
QList<Action> generalActions(const KeyStroke &stroke, const Conditions &conditions);

} // namespace KeyMap
