#pragma once

#include <QWidget>

// The knob of a slider: a small picture that lies over its panel in the bar.
// It reports the mouse in its own coordinates and leaves the moving to the
// transport, which knows the panel's bounds.
class SliderKnob : public QWidget
{
    Q_OBJECT
public:
    explicit SliderKnob(const QString &name, QWidget *parent = nullptr);

Q_SIGNALS:
    void pressed(int x);
    void moved(int x);
    void released();
    // Disabled while held: the press ends without a release, which a
    // disabled knob would never get.
    void pressAbandoned();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_held = false;
};

// The clickable track inside a slider's panel; a release of any mouse button
// that was pressed on it reports the release point in track coordinates.
class SliderTrack : public QWidget
{
    Q_OBJECT
public:
    explicit SliderTrack(const QString &name, QWidget *parent = nullptr);

Q_SIGNALS:
    void released(int x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A slider's panel: the track between a start and an end piece. The panel's
// left edge and width bound the knob.
class SliderPanel : public QWidget
{
    Q_OBJECT
public:
    // Names are given as "seekSlider" / "volumeSlider": the parts are
    // "<name>Panel", "<name>Track", "<name>StartSkin", "<name>EndSkin".
    SliderPanel(const QString &name, QWidget *parent = nullptr);

    SliderTrack *track() const { return m_track; }
    QWidget *startSkin() const { return m_startSkin; }
    QWidget *endSkin() const { return m_endSkin; }

private:
    SliderTrack *m_track;
    QWidget *m_startSkin;
    QWidget *m_endSkin;
};
