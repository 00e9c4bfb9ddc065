// The information windows the main window opens. Each is kept while open
// and brought forward by a second opening; closing it unloads it.
#include "info/engineversion.h"
#include "info/mplayerlogform.h"
#include "info/playinfoform.h"
#include "info/programinfoform.h"
#include "mainform.h"

namespace {
void bringForward(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

programinfoform *mainform::programInfoWindow() const
{
    return m_programInfo;
}

mplayerlogform *mainform::engineLogWindow() const
{
    return m_engineLog;
}

playinfoform *mainform::playbackInfoWindow() const
{
    return m_playInfo;
}

EngineVersion &mainform::engineVersion()
{
    if (!m_engineVersion)
        m_engineVersion = new EngineVersion(this);
    return *m_engineVersion;
}

void mainform::showProgramInfo()
{
    if (!m_programInfo)
        m_programInfo = new programinfoform(m_core, engineVersion(), this);
    bringForward(m_programInfo);
}

void mainform::showEngineLog()
{
    if (!m_engineLog)
        m_engineLog = new mplayerlogform(m_core, this);
    bringForward(m_engineLog);
}

void mainform::showPlaybackInfo()
{
    if (!m_playInfo)
        m_playInfo = new playinfoform(m_core, this);
    bringForward(m_playInfo);
}
