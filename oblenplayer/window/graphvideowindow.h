#pragma once

#include "graph/renderwindow.h"

#include <QPointer>
#include <QWidget>

// The renderer's window as a native child of the player's video area. Qt
// never paints it (the sink owns its pixels), and every mouse, wheel and key
// event it gets is handed to the message drain window, as a renderer window
// forwards its messages to its owner.
class GraphVideoWindow : public QWidget, public RenderWindow
{
    Q_OBJECT
public:
    explicit GraphVideoWindow(QWidget *videoArea);

    quintptr handle() const override { return m_handle; }
    void setStyle(long style) override { m_style = style; }
    void setGeometry(const QRect &pixels) override { QWidget::setGeometry(pixels); }
    QRect geometry() const override { return QWidget::geometry(); }
    bool setOwner(quintptr window) override;
    bool setMessageDrain(quintptr window) override;
    void setVisible(bool visible) override { QWidget::setVisible(visible); }

    // A factory that makes the window inside videoArea, for the graph.
    static RenderWindowFactory factory(QWidget *videoArea);

protected:
    QPaintEngine *paintEngine() const override { return nullptr; }
    void paintEvent(QPaintEvent *) override {}
    bool event(QEvent *event) override;

private:
    quintptr m_handle = 0;
    long m_style = 0;
    QPointer<QWidget> m_drain;
};
