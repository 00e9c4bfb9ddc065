#include "videowindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

VideoWindow::VideoWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("videoWindow"));
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void VideoWindow::setEngineDrawing(bool drawing)
{
    // The engine owns the pixels while it plays: Qt then paints nothing into
    // this window, so an expose or a flush never wipes the picture.
    m_engineDrawing = drawing;
    setAttribute(Qt::WA_PaintOnScreen, drawing);
    if (!drawing)
        update();
}

QString VideoWindow::windowIdText() const
{
    return QString::number(static_cast<quint64>(winId()));
}

QString VideoWindow::colourKeyText() const
{
    const QColor c = QColor::fromRgb(background);
    return QString::number(c.red() | (c.green() << 8) | (c.blue() << 16));
}

QPaintEngine *VideoWindow::paintEngine() const
{
    // Asked for only while the engine draws (WA_PaintOnScreen): nothing to paint with.
    return nullptr;
}

void VideoWindow::paintEvent(QPaintEvent *event)
{
    if (m_engineDrawing)
        return;
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor::fromRgb(background));
    if (m_hint.isEmpty())
        return;
    painter.setPen(QColor(200, 200, 200));
    const int margin = qMin(width(), height()) / 12;
    painter.drawText(rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap, m_hint);
}

void VideoWindow::setHint(const QString &text)
{
    if (m_hint == text)
        return;
    m_hint = text;
    if (!m_engineDrawing)
        update();
}

// The picture's mouse events are the picture's: taken here, they do not go
// on to the frame around it, which has rules of its own for its border.
void VideoWindow::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mousePressed(event->button(), event->position().toPoint());
    event->accept();
}

void VideoWindow::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void VideoWindow::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void VideoWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_EMIT mouseDoubleClicked(event->button(), event->position().toPoint());
    event->accept();
}
