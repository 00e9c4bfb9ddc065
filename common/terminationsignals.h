#pragma once

#include <QObject>
#include <initializer_list>

class QSocketNotifier;

// Turns the signals that ask a program to end (a desktop's log-out, a closed
// terminal, Ctrl+C, `kill`) into a Qt signal on the window's thread, so the
// program ends the way its window's close does instead of dying where it
// stands and leaving its engine and files behind. The handler only writes
// the signal's number into a socket pair, which is all a handler may safely
// do; a notifier reads it in the event loop.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // One instance per program; it catches the signals while it lives.
    explicit TerminationSignals(std::initializer_list<int> signalNumbers,
                                QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void readSignal();
    void restoreDefaults();

    QList<int> m_signals;
    QSocketNotifier *m_notifier = nullptr;
};
