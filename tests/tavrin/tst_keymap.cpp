// The keyboard without a window: Qt's keys as the table's codes and
// modifier values, and which rows of the table a stroke sets off.
#include "controls/keymap.h"

#include <QTest>

using KeyMap::Action;
Q_DECLARE_METATYPE(QList<KeyMap::Action>)

class KeyMapTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void qtKeysBecomeTableCodes_data();
    void qtKeysBecomeTableCodes();
    void rowsThatHold_data();
    void rowsThatHold();
};

void KeyMapTest::qtKeysBecomeTableCodes_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<Qt::KeyboardModifiers>("qtModifiers");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("modifiers");
    const Qt::KeyboardModifiers none;
    // What X hands over for shifted symbols (measured with xdotool).
    QTest::newRow("Shift+/") << int(Qt::Key_Question) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 191 << 1;
    QTest::newRow("Shift+,") << int(Qt::Key_Less) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 188 << 1;
    QTest::newRow("Shift+.") << int(Qt::Key_Greater) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 190 << 1;
    QTest::newRow("Shift+1") << int(Qt::Key_Exclam) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 49 << 1;
    QTest::newRow("Shift+[") << int(Qt::Key_BraceLeft) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 219 << 1;
    QTest::newRow("]") << int(Qt::Key_BracketRight) << none << 221 << 0;
    QTest::newRow("Shift+A") << int(Qt::Key_A) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 65 << 1;
    QTest::newRow("Alt+H") << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::AltModifier) << 72 << 4;
    QTest::newRow("Ctrl+Shift+Left")
        << int(Qt::Key_Left) << (Qt::ControlModifier | Qt::ShiftModifier) << 37 << 3;
    QTest::newRow("Meta does not count") << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::MetaModifier) << 32 << 0;
    QTest::newRow("Return") << int(Qt::Key_Return) << none << 13 << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 13 << 0;
    QTest::newRow("keypad 1") << int(Qt::Key_1) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 97 << 0;
    QTest::newRow("keypad .") << int(Qt::Key_Period) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 110 << 0;
    QTest::newRow("keypad Left") << int(Qt::Key_Left) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 37 << 0;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << 8 << 0;
    QTest::newRow("F4") << int(Qt::Key_F4) << none << 115 << 0;
    QTest::newRow("Applications") << int(Qt::Key_Menu) << none << 93 << 0;
    QTest::newRow("unknown key") << int(Qt::Key_VolumeUp) << none << 0 << 0;
}

void KeyMapTest::qtKeysBecomeTableCodes()
{
    QFETCH(int, qtKey);
    QFETCH(Qt::KeyboardModifiers, qtModifiers);
    QFETCH(int, code);
    QFETCH(int, modifiers);
    const KeyMap::KeyStroke stroke = KeyMap::fromQt(qtKey, qtModifiers);
    QCOMPARE(stroke.code, code);
    QCOMPARE(stroke.modifiers, modifiers);
}

void KeyMapTest::rowsThatHold_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("engineRuns"); // the 10-second entries are enabled
    QTest::addColumn<QList<Action>>("actions");
    const int left = 37, right = 39, space = 32, enter = 13;
    // Every modifier test compares the whole value.
    QTest::newRow("Left") << left << 0 << true << QList<Action>{Action::back10};
    QTest::newRow("Ctrl+Shift+Left") << left << 3 << true << QList<Action>{Action::back10};
    QTest::newRow("Alt+Right") << right << 4 << true << QList<Action>{Action::forward10};
    QTest::newRow("Ctrl+Left") << left << 2 << true << QList<Action>{Action::back60};
    QTest::newRow("Ctrl+Right") << right << 2 << true << QList<Action>{Action::forward60};
    QTest::newRow("Shift+Left") << left << 1 << true << QList<Action>{Action::back600};
    QTest::newRow("Shift+Right stopped") << right << 1 << false << QList<Action>{};
    QTest::newRow("Right stopped") << right << 0 << false << QList<Action>{};
    QTest::newRow("Shift+Space") << space << 1 << false << QList<Action>{Action::togglePlayPause};
    QTest::newRow("Ctrl+Shift+Space") << space << 3 << false << QList<Action>{Action::togglePlayPause};
    QTest::newRow("Ctrl+Space") << space << 2 << false << QList<Action>{Action::stopPlayback};
    QTest::newRow("Shift+/") << 191 << 1 << false << QList<Action>{Action::resetAudioDelay};
    QTest::newRow("Ctrl+/") << 191 << 2 << false << QList<Action>{Action::resetSubDelay};
    QTest::newRow(",") << 188 << 0 << false << QList<Action>{Action::subDelayDown};
    QTest::newRow("Shift+.") << 190 << 1 << false << QList<Action>{Action::audioDelayUp};
    QTest::newRow("Ctrl+Enter") << enter << 2 << false << QList<Action>{Action::fillScreen};
    QTest::newRow("Shift+Enter") << enter << 1 << false << QList<Action>{Action::fullScreen};
    QTest::newRow("Ctrl+O") << 79 << 2 << false << QList<Action>{Action::openFile};
    QTest::newRow("Ctrl+Shift+O") << 79 << 3 << false << QList<Action>{Action::subtitleSmaller};
    QTest::newRow("Ctrl+F1") << 112 << 2 << false << QList<Action>{Action::showPlayInfo};
    QTest::newRow("Ctrl+F2") << 113 << 2 << false << QList<Action>{Action::openFile};
    QTest::newRow("Alt+F3") << 114 << 4 << false << QList<Action>{Action::openAviSynth};
    QTest::newRow("Ctrl+D") << 68 << 2 << false << QList<Action>{Action::openAviSynth};
    QTest::newRow("D") << 68 << 0 << false << QList<Action>{};
    QTest::newRow("V") << 86 << 0 << false << QList<Action>{};
    QTest::newRow("Ctrl+V") << 86 << 2 << false << QList<Action>{Action::showVideoEq};
    QTest::newRow("A") << 65 << 0 << false << QList<Action>{};
    QTest::newRow("Shift+A") << 65 << 1 << false << QList<Action>{Action::showAudioEq};
    QTest::newRow("H") << 72 << 0 << false << QList<Action>{};
    QTest::newRow("Alt+S") << 83 << 4 << false << QList<Action>{Action::showSubtitleSettings};
    QTest::newRow("Ctrl+P") << 80 << 2 << false << QList<Action>{Action::subtitleLarger};
    QTest::newRow("Shift+M") << 77 << 1 << false << QList<Action>{Action::toggleMute};
    QTest::newRow("Up") << 38 << 0 << false << QList<Action>{Action::volumeUp};
    QTest::newRow("Shift+1") << 49 << 1 << false << QList<Action>{Action::windowSize05};
    QTest::newRow("4") << 52 << 0 << false << QList<Action>{Action::windowSize20};
    QTest::newRow("keypad 1") << 97 << 0 << false << QList<Action>{};
    QTest::newRow("Applications") << 93 << 2 << false << QList<Action>{Action::popupMenu};
    QTest::newRow("Backspace") << 8 << 0 << true << QList<Action>{};
}

void KeyMapTest::rowsThatHold()
{
    QFETCH(int, code);
    QFETCH(int, modifiers);
    QFETCH(bool, engineRuns);
    QFETCH(QList<Action>, actions);
    QCOMPARE(KeyMap::generalActions({code, modifiers}, {engineRuns, engineRuns}), actions);
}

QTEST_GUILESS_MAIN(KeyMapTest)
#include "tst_keymap.moc"
