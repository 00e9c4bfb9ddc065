#include "graphvideowindow.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

QWidget *widgetOf(quintptr window)
{
    return window ? QWidget::find(WId(window)) : nullptr;
}

} // namespace

GraphVideoWindow::GraphVideoWindow(QWidget *videoArea) : QWidget(videoArea)
{
    setObjectName(QStringLiteral("graphVideoWindow"));
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    if (videoArea)
        QWidget::setGeometry(videoArea->rect());
    hide();
    // The handle exists from now on, before any sink asks for it.
    m_handle = quintptr(winId());
}

bool GraphVideoWindow::setOwner(quintptr window)
{
    QWidget *owner = widgetOf(window);
    if (!owner)
        return false;
    if (parentWidget() != owner) {
        setParent(owner);
        m_handle = quintptr(winId());
    }
    show();
    return true;
}

bool GraphVideoWindow::setMessageDrain(quintptr window)
{
    m_drain = widgetOf(window);
    return m_drain != nullptr;
}

bool GraphVideoWindow::event(QEvent *event)
{
    if (!m_drain)
        return QWidget::event(event);
    // Sent on to the drain and, as long as nobody takes it, to the drain's
    // parents: a copy sent from code does not travel up by itself.
    const auto deliver = [this](const auto &makeCopy) {
        for (QWidget *w = m_drain; w; w = w->parentWidget()) {
            auto copy = makeCopy(w);
            copy.setAccepted(true);
            QCoreApplication::sendEvent(w, &copy);
            if (copy.isAccepted() || w->isWindow())
                break;
        }
        return true;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        return deliver([mouse](QWidget *w) {
            return QMouseEvent(mouse->type(), w->mapFromGlobal(mouse->globalPosition()),
                               mouse->globalPosition(), mouse->button(), mouse->buttons(),
                               mouse->modifiers());
        });
    }
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        return deliver([wheel](QWidget *w) {
            return QWheelEvent(w->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                               wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                               wheel->modifiers(), wheel->phase(), wheel->inverted());
        });
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto *key = static_cast<QKeyEvent *>(event);
        return deliver([key](QWidget *) {
            return QKeyEvent(key->type(), key->key(), key->modifiers(), key->text(),
                             key->isAutoRepeat(), ushort(key->count()));
        });
    }
    default:
        return QWidget::event(event);
    }
}

namespace {

// The graph owns its window, but the video area may be torn down first (the
// window closing): then the area has already deleted it.
class OwnedRenderWindow : public RenderWindow
{
public:
    explicit OwnedRenderWindow(QWidget *videoArea) : m_window(new GraphVideoWindow(videoArea)) {}
    ~OwnedRenderWindow() override { delete m_window.data(); }

    quintptr handle() const override { return m_window ? m_window->handle() : 0; }
    void setStyle(long style) override
    {
        if (m_window)
            m_window->setStyle(style);
    }
    void setGeometry(const QRect &pixels) override
    {
        if (m_window)
            m_window->setGeometry(pixels);
    }
    QRect geometry() const override { return m_window ? m_window->geometry() : QRect(); }
    bool setOwner(quintptr window) override { return m_window && m_window->setOwner(window); }
    bool setMessageDrain(quintptr window) override
    {
        return m_window && m_window->setMessageDrain(window);
    }
    void setVisible(bool visible) override
    {
        if (m_window)
            m_window->setVisible(visible);
    }

private:
    QPointer<GraphVideoWindow> m_window;
};

} // namespace

RenderWindowFactory GraphVideoWindow::factory(QWidget *videoArea)
{
    QPointer<QWidget> area(videoArea);
    return [area]() -> std::unique_ptr<RenderWindow> {
        return std::make_unique<OwnedRenderWindow>(area.data());
    };
}
