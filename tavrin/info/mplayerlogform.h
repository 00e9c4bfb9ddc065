#pragma once

#include <QWidget>

class PlayerCore;
class QPlainTextEdit;

// The engine's log: the command line of the current (or last) engine run
// and everything the engine printed since, kept in step with the main
// window's engine output as it grows, scrolled to its end.
class mplayerlogform : public QWidget
{
    Q_OBJECT
public:
    // The same margin on every side of the log, however the window is sized.
    static constexpr int margin = 8;

    mplayerlogform(PlayerCore &core, QWidget *owner);

    QPlainTextEdit *logBox() const { return m_logBox; }

private:
    QPlainTextEdit *m_logBox;
};
