// The keyboard without a window: Qt's keys as the table's codes and
// modifier values, and which rows of the table a stroke sets off.
#include "controls/keymap.h"

#include <QKeySequence>
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
    QTest::addColumn<QString>("key"); // as Qt names what X delivers
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("modifiers");
    // Shifted symbols name the key they sit on.
    // clang-format off
    QTest::newRow("Shift+/") << "Shift+?" << 191 << 1;
    QTest::newRow("Shift+,") << "Shift+<" << 188 << 1;
    QTest::newRow("Shift+.") << "Shift+>" << 190 << 1;
    QTest::newRow("Shift+1") << "Shift+!" << 49 << 1;
    QTest::newRow("Shift+[") << "Shift+{" << 219 << 1;
    QTest::newRow("]") << "]" << 221 << 0;
    QTest::newRow("Shift+A") << "Shift+A" << 65 << 1;
    QTest::newRow("Alt+H") << "Alt+H" << 72 << 4;
    QTest::newRow("Ctrl+Shift+Left") << "Ctrl+Shift+Left" << 37 << 3;
    QTest::newRow("Meta does not count") << "Meta+Space" << 32 << 0;
    QTest::newRow("Return") << "Return" << 13 << 0;
    QTest::newRow("keypad Enter") << "Num+Enter" << 13 << 0;
    QTest::newRow("keypad 1") << "Num+1" << 97 << 0;
    QTest::newRow("keypad .") << "Num+." << 110 << 0;
    QTest::newRow("keypad Left") << "Num+Left" << 37 << 0;
    QTest::newRow("Backspace") << "Backspace" << 8 << 0;
    QTest::newRow("F4") << "F4" << 115 << 0;
    QTest::newRow("Applications") << "Menu" << 93 << 0;
    QTest::newRow("unknown key") << "Volume Up" << 0 << 0;
    // clang-format on
}

void KeyMapTest::qtKeysBecomeTableCodes()
{
    QFETCH(QString, key);
    QFETCH(int, code);
    QFETCH(int, modifiers);
    const QKeyCombination combination = QKeySequence::fromString(key)[0];
    const KeyMap::KeyStroke stroke =
        KeyMap::fromQt(combination.key(), combination.keyboardModifiers());
    QCOMPARE(stroke.code, code);
    QCOMPARE(stroke.modifiers, modifiers);
}

void KeyMapTest::rowsThatHold_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("engineRuns"); // the 10-second entries are enabled
    QTest::addColumn<QList<Action>>("actions");
    // Every modifier test compares the whole value.
    // clang-format off
    QTest::newRow("Alt+Right") << 39 << 4 << true << QList<Action>{Action::forward10};
    QTest::newRow("Ctrl+Alt+Left") << 37 << 6 << true << QList<Action>{Action::back10};
    QTest::newRow("Shift+Right stopped") << 39 << 1 << false << QList<Action>{};
    QTest::newRow("Ctrl+Shift+Space") << 32 << 3 << false << QList<Action>{Action::togglePlayPause};
    QTest::newRow("Ctrl+/") << 191 << 2 << false << QList<Action>{Action::resetSubDelay};
    QTest::newRow("Ctrl+Enter") << 13 << 2 << false << QList<Action>{Action::fillScreen};
    QTest::newRow("Shift+Enter") << 13 << 1 << false << QList<Action>{Action::fullScreen};
    QTest::newRow("Ctrl+Shift+O") << 79 << 3 << false << QList<Action>{Action::subtitleSmaller};
    QTest::newRow("F1") << 112 << 1 << false << QList<Action>{Action::showProgramInfo};
    QTest::newRow("Ctrl+F1") << 112 << 2 << false << QList<Action>{Action::showPlayInfo};
    QTest::newRow("V") << 86 << 0 << false << QList<Action>{};
    QTest::newRow("Ctrl+V") << 86 << 2 << false << QList<Action>{Action::showVideoEq};
    QTest::newRow("Ctrl+Shift+A") << 65 << 3 << false << QList<Action>{};
    QTest::newRow("Shift+A") << 65 << 1 << false << QList<Action>{Action::showAudioEq};
    QTest::newRow("Alt+S") << 83 << 4 << false << QList<Action>{Action::showSubtitleSettings};
    QTest::newRow("Ctrl+Applications") << 93 << 2 << false << QList<Action>{Action::popupMenu};
    // clang-format on
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
