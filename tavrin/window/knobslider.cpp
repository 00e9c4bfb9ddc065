#include "knobslider.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor groove(150, 150, 150);
const QColor grooveFill(208, 208, 208);
} // namespace

SliderKnob::SliderKnob(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
}

void SliderKnob::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    const bool on = isEnabled();
    fill.setColorAt(0, on ? QColor(252, 252, 252) : QColor(236, 236, 236));
    fill.setColorAt(1, on ? QColor(196, 204, 214) : QColor(214, 214, 214));
    p.setBrush(fill);
    p.setPen(on ? QColor(90, 100, 115) : QColor(170, 170, 170));
    p.drawRoundedRect(r, 2.5, 2.5);
    p.setPen(on ? QColor(120, 130, 145) : QColor(190, 190, 190));
    const qreal mid = r.center().x();
    p.drawLine(QPointF(mid, r.top() + 5), QPointF(mid, r.bottom() - 5));
}

void SliderKnob::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_held = true;
        Q_EMIT pressed(qRound(event->position().x()));
    }
}

void SliderKnob::mouseMoveEvent(QMouseEvent *event)
{
    if (m_held && (event->buttons() & Qt::LeftButton))
        Q_EMIT moved(qRound(event->position().x()));
}

void SliderKnob::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_held) {
        m_held = false;
        Q_EMIT released();
    }
}

void SliderKnob::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_held) {
        m_held = false;
        Q_EMIT pressAbandoned();
    }
}

SliderTrack::SliderTrack(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
}

void SliderTrack::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int mid = height() / 2;
    p.setPen(isEnabled() ? groove : grooveFill);
    p.setBrush(isEnabled() ? grooveFill : QColor(228, 228, 228));
    p.drawRect(0, mid - 2, width() - 1, 4);
}

void SliderTrack::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT released(qRound(event->position().x()));
}

SliderPanel::SliderPanel(const QString &name, QWidget *parent)
    : QWidget(parent), m_track(new SliderTrack(name + QStringLiteral("Track"), this)),
      m_startSkin(new QWidget(this)), m_endSkin(new QWidget(this))
{
    setObjectName(name + QStringLiteral("Panel"));
    m_startSkin->setObjectName(name + QStringLiteral("StartSkin"));
    m_endSkin->setObjectName(name + QStringLiteral("EndSkin"));
}
