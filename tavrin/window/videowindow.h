#pragma once

#include <QWidget>

// The native window the engine draws into. It paints its colour-key
// background only while no engine draws, so an expose never wipes a picture.
// Mouse presses and double-clicks over the picture are reported upwards.
class VideoWindow : public QWidget
{
    Q_OBJECT
public:
    // RGB 1,1,1: the colour key the engine is given.
    static constexpr QRgb background = 0x010101;

    explicit VideoWindow(QWidget *parent = nullptr);

    // When a run ends, the window it drew into is replaced by a new one.
    void setEngineDrawing(bool drawing);
    // A few lines drawn over the background while no engine draws (how to
    // begin, why nothing plays); empty for none.
    void setHint(const QString &text);
    QString hint() const { return m_hint; }
    // The current X11 window id, decimal.
    QString windowIdText() const;
    // The window for the next engine run ("-wid"), decimal: always one that
    // no engine has drawn into. This MPlayer destroys the window it drew into
    // when it is told "stop ", and a run given that window dies with
    // BadWindow; whether the last run's destruction has reached the X server
    // yet cannot be told, so a used window is never handed out again.
    QString windowIdForRun();
    // The background as a decimal COLORREF (0x00BBGGRR), for "-colorkey".
    QString colourKeyText() const;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, QPoint position);
    void mouseDoubleClicked(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    QPaintEngine *paintEngine() const override;

private:
    // A new native window in place of the current one, under its siblings
    // as this window always is.
    void renewNativeWindow();

    bool m_engineDrawing = false;
    // The current native window has been handed to an engine.
    bool m_handedOut = false;
    QString m_hint;
};
