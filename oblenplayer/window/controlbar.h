#pragma once

#include <QSlider>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

// The seek slider: reports presses, moves (with or without a button held)
// and releases with the mouse position, so the player can seek where the
// mouse was let go rather than where the thumb snapped.
class SeekSlider : public QSlider
{
    Q_OBJECT
public:
    explicit SeekSlider(QWidget *parent = nullptr);

Q_SIGNALS:
    void mousePressed();
    void mouseMoved(int x, bool leftButtonHeld);
    void mouseReleased();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// The control bar under the video: the seek slider across its width, the
// transport buttons on the left (CSide1) and the sound and renderer controls
// on the right (CSide2), which give way when the window is too narrow.
class ControlBar : public QWidget
{
    Q_OBJECT
public:
    explicit ControlBar(QWidget *parent = nullptr);

    SeekSlider *positionBar = nullptr;
    QWidget *CSide1 = nullptr;
    QWidget *CSide2 = nullptr;
    QPushButton *playButton = nullptr;
    QPushButton *pauseButton = nullptr;
    QPushButton *stopButton = nullptr;
    QPushButton *backButton = nullptr;
    QPushButton *forwardButton = nullptr;
    QPushButton *slowerButton = nullptr;
    QPushButton *fasterButton = nullptr;
    QPushButton *originalSizeButton = nullptr;
    QPushButton *openButton = nullptr;
    QPushButton *volumeDownButton = nullptr;
    QPushButton *volumeUpButton = nullptr;
    QPushButton *balanceLeftButton = nullptr;
    QPushButton *balanceCenterButton = nullptr;
    QPushButton *balanceRightButton = nullptr;
    QSlider *volumeBar = nullptr;
    QLabel *volumeLabel = nullptr;
    QSlider *balanceBar = nullptr;
    QButtonGroup *rendererOption = nullptr;

    // The seek slider as wide as the bar, CSide2 against the right edge and
    // hidden when it would cover CSide1.
    void layoutSides();
    // The narrowest bar that shows CSide1 and CSide2 side by side.
    int widthForBothSides() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
