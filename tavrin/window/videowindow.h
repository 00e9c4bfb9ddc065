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

    void setEngineDrawing(bool drawing);
    // A few lines drawn over the background while no engine draws (how to
    // begin, why nothing plays); empty for none.
    void setHint(const QString &text);
    QString hint() const { return m_hint; }
    // The X11 window id, decimal, for "-wid".
    QString windowIdText() const;
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
    bool m_engineDrawing = false;
    QString m_hint;
};
