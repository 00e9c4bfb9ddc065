#include "keymap.h"

#include <array>

namespace KeyMap {

namespace {

// Qt names the character a key typed; an X keyboard hands over the shifted
// symbol ("?" for Shift+/, "!" for Shift+1), where the table wants the key.
// Pairs for the US layout: each symbol with the key it sits on.
struct SymbolKey
{
    int qtKey;
    int code;
};

constexpr std::array<SymbolKey, 32> symbolKeys = {{
    {Qt::Key_Exclam, Code::digit0 + 1},
    {Qt::Key_At, Code::digit0 + 2},
    {Qt::Key_NumberSign, Code::digit0 + 3},
    {Qt::Key_Dollar, Code::digit0 + 4},
    {Qt::Key_Percent, Code::digit0 + 5},
    {Qt::Key_AsciiCircum, Code::digit0 + 6},
    {Qt::Key_Ampersand, Code::digit0 + 7},
    {Qt::Key_Asterisk, Code::digit0 + 8},
    {Qt::Key_ParenLeft, Code::digit0 + 9},
    {Qt::Key_ParenRight, Code::digit0},
    {Qt::Key_Semicolon, Code::semicolon},
    {Qt::Key_Colon, Code::semicolon},
    {Qt::Key_Equal, Code::equals},
    {Qt::Key_Plus, Code::equals},
    {Qt::Key_Comma, Code::comma},
    {Qt::Key_Less, Code::comma},
    {Qt::Key_Minus, Code::minus},
    {Qt::Key_Underscore, Code::minus},
    {Qt::Key_Period, Code::period},
    {Qt::Key_Greater, Code::period},
    {Qt::Key_Slash, Code::slash},
    {Qt::Key_Question, Code::slash},
    {Qt::Key_QuoteLeft, Code::backquote},
    {Qt::Key_AsciiTilde, Code::backquote},
    {Qt::Key_BracketLeft, Code::bracketLeft},
    {Qt::Key_BraceLeft, Code::bracketLeft},
    {Qt::Key_Backslash, Code::backslash},
    {Qt::Key_Bar, Code::backslash},
    {Qt::Key_BracketRight, Code::bracketRight},
    {Qt::Key_BraceRight, Code::bracketRight},
    {Qt::Key_Apostrophe, Code::quote},
    {Qt::Key_QuoteDbl, Code::quote},
}};

// The keypad's own keys: digits and operators have codes apart from the
// main keyboard's, so keypad 1 does not size the window and keypad "."
// does not step the subtitle delay. Its Enter and its arrows (Num Lock off)
// are the ordinary ones.
int keypadCode(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return Code::numpad0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return Code::numpadMultiply;
    case Qt::Key_Plus:
        return Code::numpadAdd;
    case Qt::Key_Minus:
        return Code::numpadSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma: // the decimal key of some layouts
        return Code::numpadDecimal;
    case Qt::Key_Slash:
        return Code::numpadDivide;
    default:
        return 0;
    }
}

int plainCode(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return Code::letterA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return Code::digit0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return Code::f1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return Code::backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Shift+Tab
        return Code::tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Code::enter;
    case Qt::Key_Shift:
        return Code::shift;
    case Qt::Key_Control:
        return Code::control;
    case Qt::Key_Alt:
        return Code::alt;
    case Qt::Key_Escape:
        return Code::escape;
    case Qt::Key_Space:
        return Code::space;
    case Qt::Key_Left:
        return Code::left;
    case Qt::Key_Up:
        return Code::up;
    case Qt::Key_Right:
        return Code::right;
    case Qt::Key_Down:
        return Code::down;
    case Qt::Key_Menu:
        return Code::applications;
    default:
        break;
    }
    for (const SymbolKey &symbol : symbolKeys) {
        if (symbol.qtKey == qtKey)
            return symbol.code;
    }
    return 0;
}

// How a row tests the modifier value: always for equality with the whole
// value, so "Ctrl" is Ctrl alone and "not Ctrl" includes Ctrl+Shift.
enum class Test
{
    any,
    is,
    isNot,
    neitherShiftNorCtrl,
};

enum class Condition
{
    none,
    backEnabled,
    forwardEnabled,
};

struct Row
{
    int code;
    Test test;
    int modifier;
    Condition condition;
    Action action;
};

constexpr int letter(char c)
{
    return Code::letterA + (c - 'A');
}

constexpr std::array<Row, 44> generalRows = {{
    {Code::space, Test::isNot, Modifier::ctrl, Condition::none, Action::togglePlayPause},
    {Code::space, Test::is, Modifier::ctrl, Condition::none, Action::stopPlayback},
    {Code::left, Test::neitherShiftNorCtrl, 0, Condition::backEnabled, Action::back10},
    {Code::right, Test::neitherShiftNorCtrl, 0, Condition::forwardEnabled, Action::forward10},
    {Code::left, Test::is, Modifier::ctrl, Condition::backEnabled, Action::back60},
    {Code::right, Test::is, Modifier::ctrl, Condition::forwardEnabled, Action::forward60},
    {Code::left, Test::is, Modifier::shift, Condition::backEnabled, Action::back600},
    {Code::right, Test::is, Modifier::shift, Condition::forwardEnabled, Action::forward600},
    {Code::slash, Test::is, Modifier::shift, Condition::none, Action::resetAudioDelay},
    {Code::comma, Test::is, Modifier::shift, Condition::none, Action::audioDelayDown},
    {Code::period, Test::is, Modifier::shift, Condition::none, Action::audioDelayUp},
    {Code::slash, Test::isNot, Modifier::shift, Condition::none, Action::resetSubDelay},
    {Code::comma, Test::isNot, Modifier::shift, Condition::none, Action::subDelayDown},
    {Code::period, Test::isNot, Modifier::shift, Condition::none, Action::subDelayUp},
    {Code::enter, Test::isNot, Modifier::ctrl, Condition::none, Action::fullScreen},
    {Code::enter, Test::is, Modifier::ctrl, Condition::none, Action::fillScreen},
    {letter('O'), Test::is, Modifier::ctrl, Condition::none, Action::openFile},
    {letter('O'), Test::isNot, Modifier::ctrl, Condition::none, Action::subtitleSmaller},
    {Code::f1, Test::isNot, Modifier::ctrl, Condition::none, Action::showProgramInfo},
    {Code::f1, Test::is, Modifier::ctrl, Condition::none, Action::showPlayInfo},
    {Code::f1 + 1, Test::any, 0, Condition::none, Action::openFile},
    {Code::f1 + 2, Test::any, 0, Condition::none, Action::openAviSynth},
    {letter('D'), Test::is, Modifier::ctrl, Condition::none, Action::openAviSynth},
    {letter('U'), Test::is, Modifier::ctrl, Condition::none, Action::openUrl},
    {Code::f1 + 3, Test::any, 0, Condition::none, Action::closeMedia},
    {Code::applications, Test::any, 0, Condition::none, Action::popupMenu},
    {letter('F'), Test::any, 0, Condition::none, Action::frameStep},
    {letter('Z'), Test::any, 0, Condition::none, Action::resetSpeed},
    {letter('X'), Test::any, 0, Condition::none, Action::speedDown},
    {letter('C'), Test::any, 0, Condition::none, Action::speedUp},
    {letter('V'), Test::is, Modifier::ctrl, Condition::none, Action::showVideoEq},
    {Code::down, Test::any, 0, Condition::none, Action::volumeDown},
    {Code::up, Test::any, 0, Condition::none, Action::volumeUp},
    {letter('M'), Test::any, 0, Condition::none, Action::toggleMute},
    {letter('A'), Test::is, Modifier::shift, Condition::none, Action::showAudioEq},
    {letter('H'), Test::is, Modifier::alt, Condition::none, Action::toggleSubtitles},
    {Code::bracketLeft, Test::any, 0, Condition::none, Action::subtitleBack},
    {Code::bracketRight, Test::any, 0, Condition::none, Action::subtitleForward},
    {letter('P'), Test::any, 0, Condition::none, Action::subtitleLarger},
    {letter('S'), Test::is, Modifier::alt, Condition::none, Action::showSubtitleSettings},
    {Code::digit0 + 1, Test::any, 0, Condition::none, Action::windowSize05},
    {Code::digit0 + 2, Test::any, 0, Condition::none, Action::windowSize10},
    {Code::digit0 + 3, Test::any, 0, Condition::none, Action::windowSize15},
    {Code::digit0 + 4, Test::any, 0, Condition::none, Action::windowSize20},
}};

bool modifiersPass(const Row &row, int modifiers)
{
    switch (row.test) {
    case Test::any:
        return true;
    case Test::is:
        return modifiers == row.modifier;
    case Test::isNot:
        return modifiers != row.modifier;
    case Test::neitherShiftNorCtrl:
        return modifiers != Modifier::shift && modifiers != Modifier::ctrl;
    }
    return false;
}

bool conditionHolds(Condition condition, const Conditions &conditions)
{
    switch (condition) {
    case Condition::none:
        return true;
    case Condition::backEnabled:
        return conditions.backEnabled;
    case Condition::forwardEnabled:
        return conditions.forwardEnabled;
    }
    return false;
}

} // namespace

KeyStroke fromQt(int qtKey, Qt::KeyboardModifiers modifiers)
{
    KeyStroke stroke;
    if (modifiers & Qt::ShiftModifier)
        stroke.modifiers += Modifier::shift;
    if (modifiers & Qt::ControlModifier)
        stroke.modifiers += Modifier::ctrl;
    if (modifiers & Qt::AltModifier)
        stroke.modifiers += Modifier::alt;
    if (modifiers & Qt::KeypadModifier) {
        stroke.code = keypadCode(qtKey);
        if (stroke.code != 0)
            return stroke;
    }
    stroke.code = plainCode(qtKey);
    return stroke;
}

int jumpSeconds(Action action)
{
    switch (action) {
    case Action::back10:
        return -10;
    case Action::forward10:
        return 10;
    case Action::back60:
        return -60;
    case Action::forward60:
        return 60;
    case Action::back600:
        return -600;
    case Action::forward600:
        return 600;
    default:
        return 0;
    }
}

double sizeFactor(Action action)
{
    switch (action) {
    case Action::windowSize05:
        return 0.5;
    case Action::windowSize10:
        return 1.0;
    case Action::windowSize15:
        return 1.5;
    case Action::windowSize20:
        return 2.0;
    default:
        return 0.0;
    }
}

std::optional<Action> dvdAction(int code)
{
    switch (code) {
    case Code::up:
        return Action::dvdUp;
    case Code::down:
        return Action::dvdDown;
    case Code::left:
        return Action::dvdLeft;
    case Code::right:
        return Action::dvdRight;
    case Code::enter:
        return Action::dvdSelect;
    case Code::backspace:
        return Action::dvdPrev;
    default:
        return std::nullopt;
    }
}

QList<Action> generalActions(const KeyStroke &stroke, const Conditions &conditions)
{
    QList<Action> actions;
    for (const Row &row : generalRows) {
        if (row.code == stroke.code && modifiersPass(row, stroke.modifiers) &&
            conditionHolds(row.condition, conditions))
            actions << row.action;
    }
    return actions;
}

} // namespace KeyMap
