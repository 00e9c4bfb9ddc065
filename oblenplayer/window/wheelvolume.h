#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// The mouse wheel over the main window is the volume, whatever widget lies
// under the pointer: Qt hands a wheel turn to that widget, and a slider would
// take it for itself (the volume slider by a page of 10 dB, the balance
// slider as balance). Watching the application's events catches it before
// any widget of the window does. One notch is 120 units of vertical turn;
// finer wheels add up to whole notches.
class WheelVolume : public QObject
{
    Q_OBJECT
public:
    explicit WheelVolume(QWidget *window);
    ~WheelVolume() override;

Q_SIGNALS:
    // Away from the user is positive.
    void turned(int notches);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    int m_remainder = 0;
};
