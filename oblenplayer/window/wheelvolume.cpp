#include "wheelvolume.h"

#include <QCoreApplication>
#include <QWheelEvent>
#include <QWidget>

WheelVolume::WheelVolume(QWidget *window) : QObject(window), m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

WheelVolume::~WheelVolume()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool WheelVolume::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType() || !m_window)
        return false;
    // Dialogs and menus are windows of their own and keep their wheel.
    if (static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    m_remainder += static_cast<QWheelEvent *>(event)->angleDelta().y();
    const int notches = m_remainder / 120;
    m_remainder -= notches * 120;
    if (notches != 0)
        Q_EMIT turned(notches);
    // Taken in every case, sideways turns included: no slider moves by itself.
    event->accept();
    return true;
}
