#pragma once

#include <QRect>
#include <QtGlobal>

#include <functional>
#include <memory>

// The renderer's own window. The graph creates it together with itself, so
// that its handle exists before any video sink asks for one (a sink asked too
// late opens a stray top-level window of its own). It stays hidden until the
// player makes it a child of its video area (Owner), and hands mouse and key
// input over to the message drain window.
class RenderWindow
{
public:
    virtual ~RenderWindow() = default;
    // The native window handle the sinks draw into.
    virtual quintptr handle() const = 0;
    virtual void setStyle(long style) = 0;
    virtual void setGeometry(const QRect &pixels) = 0;
    virtual QRect geometry() const = 0;
    virtual bool setOwner(quintptr window) = 0;
    virtual bool setMessageDrain(quintptr window) = 0;
    virtual void setVisible(bool visible) = 0;
};

using RenderWindowFactory = std::function<std::unique_ptr<RenderWindow>()>;
