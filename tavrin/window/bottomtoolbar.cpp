#include "bottomtoolbar.h"

#include "controls/transport.h"
#include "knobslider.h"
#include "state/playerstate.h"
#include "twips.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>

namespace {
const QColor barColour(240, 240, 240);
const QString zeroTime = QStringLiteral("00:00:00.0");

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}
} // namespace

SeekButton::SeekButton(const QString &name, const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
}

void SeekButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftHeld = true;
    Q_EMIT mousePressed(event->button());
    QPushButton::mousePressEvent(event);
}

void SeekButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftHeld = false;
    Q_EMIT mouseReleased(event->button());
    QPushButton::mouseReleaseEvent(event);
}

void SeekButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_leftHeld) {
        m_leftHeld = false;
        Q_EMIT mouseReleased(Qt::LeftButton);
    }
}

BottomToolbar::BottomToolbar(Transport &transport, QWidget *parent)
    : QWidget(parent), m_transport(transport)
{
    setObjectName(QStringLiteral("bottomToolbar"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, barColour);
    setPalette(palette);
    setFixedHeight(barHeight);

    m_playPause = new QPushButton(PlayState::playing, this);
    m_playPause->setObjectName(QStringLiteral("playPauseButton"));
    place(m_playPause, 120, 120, 1095, 375);
    m_stop = new QPushButton(PlayState::stopped, this);
    m_stop->setObjectName(QStringLiteral("stopButton"));
    place(m_stop, 1320, 120, 615, 375);
    // The video window keeps the keyboard; the buttons only take clicks.
    m_playPause->setFocusPolicy(Qt::NoFocus);
    m_stop->setFocusPolicy(Qt::NoFocus);
    m_seekBack = new SeekButton(QStringLiteral("seekBackButton"), QStringLiteral("<"), this);
    place(m_seekBack, 2040, 120, 375, 375);
    m_seekForward = new SeekButton(QStringLiteral("seekForwardButton"), QStringLiteral(">"), this);
    place(m_seekForward, 2520, 120, 375, 375);

    buildSeekSlider();
    buildRightPart();
    wireTransport();
    setSeekEnabled(false);
}

void BottomToolbar::buildSeekSlider()
{
    m_seekPanel = new SliderPanel(QStringLiteral("seekSlider"), this);
    m_seekPanel->setAutoFillBackground(true);
    place(m_seekPanel, 3000, 120, 3645, 360);
    place(m_seekPanel->startSkin(), 0, 0, 45, 360);
    place(m_seekPanel->endSkin(), 3600, 0, 45, 360);
    place(m_seekPanel->track(), 120, 0, 3000, 360);
    // The knob lies over the panel, beside it in the bar.
    m_seekKnob = new SliderKnob(QStringLiteral("seekSlider"), this);
    place(m_seekKnob, 3960, 150, 165, 330);
    m_seekKnob->raise();
}

QLabel *BottomToolbar::timeLabel(const QString &name, const QString &text, const QRect &geometry,
                                 Qt::Alignment alignment)
{
    auto *label = new QLabel(text, m_right);
    label->setObjectName(name);
    place(label, geometry.x(), geometry.y(), geometry.width(), geometry.height());
    label->setAlignment(alignment | Qt::AlignVCenter);
    // The widest time must fit the label's design width: the largest size
    // of the window's own face that does.
    QFont font = label->font();
    for (int size = 11; size >= 7; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(QStringLiteral("00:00:00.0")) <= label->width())
            break;
    }
    label->setFont(font);
    label->installEventFilter(this);
    return label;
}

void BottomToolbar::buildRightPart()
{
    m_right = new QWidget(this);
    m_right->setObjectName(QStringLiteral("bottomRightToolbar"));
    place(m_right, 7080, 0, 3495, 615);

    m_current = timeLabel(QStringLiteral("currentTimeLabel"), zeroTime, {120, 180, 810, 195},
                          Qt::AlignRight);
    m_separator = timeLabel(QStringLiteral("timeSeparatorLabel"), QStringLiteral("/"),
                            {960, 180, 120, 195}, Qt::AlignLeft);
    m_total =
        timeLabel(QStringLiteral("totalTimeLabel"), zeroTime, {1080, 180, 810, 195}, Qt::AlignLeft);

    m_volumePanel = new SliderPanel(QStringLiteral("volumeSlider"), m_right);
    place(m_volumePanel, 2040, 120, 1260, 360);
    place(m_volumePanel->startSkin(), 0, -60, 45, 360);
    place(m_volumePanel->endSkin(), 1215, -60, 45, 360);
    place(m_volumePanel->track(), 0, 0, 1260, 390);
    m_volumeKnob = new SliderKnob(QStringLiteral("volumeSlider"), m_right);
    place(m_volumeKnob, 2700, 120, 165, 300);
    m_volumeKnob->raise();
}

void BottomToolbar::wireTransport()
{
    Transport *t = &m_transport;
    connect(m_playPause, &QPushButton::clicked, t, &Transport::togglePlayPause);
    connect(m_stop, &QPushButton::clicked, t, &Transport::stopPlayback);
    using Button = Transport::SeekButton;
    connect(m_seekBack, &SeekButton::mousePressed, t,
            [t](Qt::MouseButton b) { t->seekButtonPressed(Button::Back, b); });
    connect(m_seekBack, &SeekButton::mouseReleased, t,
            [t](Qt::MouseButton b) { t->seekButtonReleased(Button::Back, b); });
    connect(m_seekForward, &SeekButton::mousePressed, t,
            [t](Qt::MouseButton b) { t->seekButtonPressed(Button::Forward, b); });
    connect(m_seekForward, &SeekButton::mouseReleased, t,
            [t](Qt::MouseButton b) { t->seekButtonReleased(Button::Forward, b); });

    connect(m_seekKnob, &SliderKnob::pressed, t, &Transport::seekKnobPressed);
    connect(m_seekKnob, &SliderKnob::moved, t, &Transport::seekKnobMoved);
    connect(m_seekKnob, &SliderKnob::released, t, &Transport::seekKnobReleased);
    connect(m_seekKnob, &SliderKnob::pressAbandoned, t, &Transport::seekKnobAbandoned);
    connect(m_seekPanel->track(), &SliderTrack::released, t, &Transport::seekTrackReleased);
    connect(m_volumeKnob, &SliderKnob::pressed, t, &Transport::volumeKnobPressed);
    connect(m_volumeKnob, &SliderKnob::moved, t, &Transport::volumeKnobMoved);
    connect(m_volumeKnob, &SliderKnob::released, t, &Transport::volumeKnobReleased);
    connect(m_volumeKnob, &SliderKnob::pressAbandoned, t, &Transport::volumeKnobReleased);
    connect(m_volumePanel->track(), &SliderTrack::released, t, &Transport::volumeTrackReleased);

    connect(t, &Transport::seekKnobMovedTo, m_seekKnob,
            [this](int left) { m_seekKnob->move(left, m_seekKnob->y()); });
    connect(t, &Transport::volumeKnobMovedTo, m_volumeKnob,
            [this](int left) { m_volumeKnob->move(left, m_volumeKnob->y()); });
    t->setVolumeGeometry(m_volumePanel->x(), m_volumePanel->width(), m_volumeKnob->width());
}

void BottomToolbar::setSeekEnabled(bool enabled)
{
    for (QWidget *w : {static_cast<QWidget *>(m_seekBack), static_cast<QWidget *>(m_seekForward),
                       static_cast<QWidget *>(m_seekKnob), static_cast<QWidget *>(m_seekPanel)})
        w->setEnabled(enabled);
    // The track lies on white while a run can be sought in, and on the
    // buttons' face colour, like the rest of the bar's controls, otherwise.
    QPalette palette = m_seekPanel->palette();
    palette.setColor(QPalette::Window,
                     enabled ? QColor(Qt::white) : palette.color(QPalette::Button));
    m_seekPanel->setPalette(palette);
}

void BottomToolbar::setPlayPauseCaption(const QString &caption)
{
    if (m_playPause->text() != caption)
        m_playPause->setText(caption);
}

void BottomToolbar::setCurrentTime(const QString &text)
{
    m_current->setText(text);
}

void BottomToolbar::setTotalTime(const QString &text)
{
    m_total->setText(text);
}

void BottomToolbar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The right part stays flush right; the seek panel takes what is left.
    m_right->move(width() - m_right->width(), 0);
    m_seekPanel->resize(qMax(0, width() - (m_seekPanel->x() + m_right->width())),
                        m_seekPanel->height());
    QWidget *start = m_seekPanel->startSkin();
    QWidget *end = m_seekPanel->endSkin();
    SliderTrack *track = m_seekPanel->track();
    track->setGeometry(start->width(), 0,
                       qMax(0, m_seekPanel->width() - end->width() - start->width()),
                       track->height());
    end->move(track->x() + track->width(), 0);
    m_transport.setSeekGeometry(m_seekPanel->x(), m_seekPanel->width(), m_seekKnob->width());
    m_seekKnob->move(m_transport.seekKnob().knobLeft, m_seekKnob->y());
}

bool BottomToolbar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        (watched == m_current || watched == m_separator || watched == m_total)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            Q_EMIT popupMenuRequested(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
