#pragma once

#include <QPushButton>
#include <QWidget>

class QLabel;
class SliderKnob;
class SliderPanel;
class Transport;

// A seek button: reports which mouse button went down and up, so that only
// the left button repeats a jump while any button gives the focus back.
// Disabled while the left button holds it, it reports that button's release
// itself: a disabled button gets no mouse events, and the jump would repeat on.
class SeekButton : public QPushButton
{
    Q_OBJECT
public:
    SeekButton(const QString &name, const QString &caption, QWidget *parent = nullptr);

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_leftHeld = false;
};

// The bar at the bottom of the main window: play/pause, stop, the seek
// buttons and the seek slider on the left; the time labels and the volume
// slider flush right. It lays out and forwards the mouse to the transport.
class BottomToolbar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int barHeight = 600 / 15;

    explicit BottomToolbar(Transport &transport, QWidget *parent = nullptr);

    // The seek controls work only while an engine runs.
    void setSeekEnabled(bool enabled);
    void setPlayPauseCaption(const QString &caption);
    void setCurrentTime(const QString &text);
    void setTotalTime(const QString &text);

    QPushButton *playPauseButton() const { return m_playPause; }
    QPushButton *stopButton() const { return m_stop; }
    SeekButton *seekBackButton() const { return m_seekBack; }
    SeekButton *seekForwardButton() const { return m_seekForward; }
    SliderKnob *seekSlider() const { return m_seekKnob; }
    SliderPanel *seekSliderPanel() const { return m_seekPanel; }
    SliderKnob *volumeSlider() const { return m_volumeKnob; }
    SliderPanel *volumeSliderPanel() const { return m_volumePanel; }
    QLabel *currentTimeLabel() const { return m_current; }
    QLabel *totalTimeLabel() const { return m_total; }
    QWidget *bottomRightToolbar() const { return m_right; }

Q_SIGNALS:
    // A right click on the time labels asks for the popup menu.
    void popupMenuRequested(const QPoint &globalPosition);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSeekSlider();
    void buildRightPart();
    void wireTransport();
    QLabel *timeLabel(const QString &name, const QString &text, const QRect &geometry,
                      Qt::Alignment alignment);

    Transport &m_transport;
    QPushButton *m_playPause = nullptr;
    QPushButton *m_stop = nullptr;
    SeekButton *m_seekBack = nullptr;
    SeekButton *m_seekForward = nullptr;
    SliderKnob *m_seekKnob = nullptr;
    SliderPanel *m_seekPanel = nullptr;
    QWidget *m_right = nullptr;
    QLabel *m_current = nullptr;
    QLabel *m_separator = nullptr;
    QLabel *m_total = nullptr;
    SliderKnob *m_volumeKnob = nullptr;
    SliderPanel *m_volumePanel = nullptr;
};
