#include "videowindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

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
    if (drawing)
        return;
    // The ended run's window may be gone already; the new one shows the
    // background until the next run draws.
    if (m_handedOut)
        renewNativeWindow();
    update();
}

QString VideoWindow::windowIdText() const
{
    return QString::number(static_cast<quint64>(winId()));
}

QString VideoWindow::windowIdForRun()
{
    if (m_handedOut)
        renewNativeWindow();
    m_handedOut = true;
    return windowIdText();
}

void VideoWindow::renewNativeWindow()
{
    // Qt's teardown of a window the engine destroyed already fails with
    // BadWindow, which Qt reports only to its debug log.
    destroy(true, true);
    create();
    // A new X window starts on top of its siblings; the notices shown over
    // the picture must stay above it. QWidget::lower() restacks nothing for
    // a widget that is lowest already in Qt's own order.
    if (QWindow *window = windowHandle())
        window->lower();
    m_handedOut = false;
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
