// The main window's adjustment windows.
#include "mainform.h"

#include "adjust/audioeq.h"
#include "adjust/videoeq.h"
#include "platform/engineprogram.h"
#include "windowrules.h"

#include <QScreen>

namespace {
// Shows a window made anew at the main window's top right corner, kept on
// the main window's screen (the equalizer is wider than a small main window).
void present(QWidget *window, QWidget *owner)
{
    window->adjustSize();
    const QRect frame = owner->frameGeometry();
    const QRect screen = owner->screen()->availableGeometry();
    const int x = qMax(screen.left(),
                       qMin(frame.right() - window->width(), screen.right() - window->width()));
    const int y = qMax(screen.top(), qMin(frame.top(), screen.bottom() - window->height()));
    window->move(x, y);
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

audioeq *mainform::audioEqualizer() const
{
    return m_audioEqualizer;
}

videoeq *mainform::videoEqualizer() const
{
    return m_videoEqualizer;
}

bool mainform::secondaryWindowOnTop() const
{
    // A window owned by this one stacks above it anyway; above all others
    // only while the always-on-top choice says so.
    return WindowRules::alwaysOnTopWanted(m_core.options().checkedItem(Menu::alwaysOnTopMenu),
                                          m_core.state().value(Field::playStateField))
        .value_or(false);
}

void mainform::askEngineCommands()
{
    m_core.engineCommands().query(locateEngine(m_core.programFolder()));
}

void mainform::showAudioEqualizer()
{
    if (m_audioEqualizer && m_audioEqualizer->isVisible()) {
        m_audioEqualizer->raise();
        m_audioEqualizer->activateWindow();
        return;
    }
    // Closed but not yet deleted: it goes now, the new one takes its place.
    delete m_audioEqualizer;
    askEngineCommands();
    m_audioEqualizer = new audioeq(m_core, secondaryWindowOnTop(), this);
    present(m_audioEqualizer, this);
}

void mainform::showVideoEqualizer()
{
    if (m_videoEqualizer && m_videoEqualizer->isVisible()) {
        m_videoEqualizer->raise();
        m_videoEqualizer->activateWindow();
        return;
    }
    // Closed but not yet deleted: it goes now, the new one takes its place.
    delete m_videoEqualizer;
    m_videoEqualizer = new videoeq(m_core, secondaryWindowOnTop(), this);
    present(m_videoEqualizer, this);
}
