// The information windows the main window opens. Each is kept while open and
// raised by a second opening; closing it unloads it.
#include "mainform.h"

#include "info/playinfoform.h"

void mainform::showPlaybackInfo()
{
    if (!m_playInfo)
        m_playInfo = new playinfoform(m_core, this);
    m_playInfo->show();
    m_playInfo->raise();
    m_playInfo->activateWindow();
}

playinfoform *mainform::playbackInfoWindow() const
{
    return m_playInfo;
}
