#pragma once

#include "cmdcls.h"
#include "commandline.h"
#include "enginecommandlist.h"
#include "controls/optionstore.h"
#include "platform/systemservices.h"
#include "state/playerstate.h"

#include <QObject>
#include <functional>
#include <memory>

// The part of the main window that does not draw: it owns the state record,
// the options and the engine channel, starts engine runs and puts everything
// back when a run ends. Windows read and write the state through it.
class PlayerCore : public QObject
{
    Q_OBJECT
public:
    // The services default to the real machine's.
    explicit PlayerCore(SystemServices *services = nullptr, QObject *parent = nullptr);
    ~PlayerCore() override;

    PlayerState &state() { return m_state; }
    const PlayerState &state() const { return m_state; }
    OptionStore &options() { return m_options; }
    const OptionStore &options() const { return m_options; }
    SystemServices &services() { return *m_services; }
    // What the engine program understands; asked once by the main window.
    EngineCommandList &engineCommands() { return m_engineCommands; }
    // The channel of the current (or last) run; null before the first.
    cmdcls *cm() const { return m_cm.get(); }

    // An engine runs exactly while this is true (launchEngine is disabled).
    bool isEngineRunning() const { return m_running; }
    // A DVD plays: the medium reads "dvd…" and is not a file of that name
    // (the same test the engine's command line makes).
    bool dvdMode() const;

    // The video window: where each run's window id comes from (asked once
    // per run that draws into it), and its colour key.
    void setVideoWindow(std::function<QString()> windowForRun, const QString &colourKey);
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }
    QString programFolder() const { return m_programFolder; }
    // "setting/subtitle.ass" in the folder the program may write to.
    QString subtitleStylePath() const;
    LaunchEnvironment launchEnvironment() const;

    // Starts an engine run for mediaPathField with the current settings.
    // Does nothing while an engine runs; asks for the open dialog when no
    // medium is set.
    void launchEngine();
    // Puts the text into commandInputField, writes it to the engine and
    // empties the field again, whether or not an engine runs.
    void sendCommand(const QString &text);
    // Applies a priority class to the running engine (0 when none runs).
    int setEnginePriority(int priorityClass);
    // Sets backgroundPositionField and hands it to the desktop.
    void applyBackground(const QString &value);

Q_SIGNALS:
    void engineRunningChanged(bool running);
    void openFileRequested();
    // Styled subtitles wait for the engine's font cache: show or hide the notice.
    void fontCacheNoticeRequested(bool show);
    // The current run's engine answered a position request.
    void positionAnswered();

private:
    void writeSubtitleStyleFile();
    void enterPlayingState();
    void endOfRun();
    void restoreDesktopAfterRun();
    void setEngineEntriesEnabled(bool enabled);

    PlayerState m_state;
    OptionStore m_options;
    EngineCommandList m_engineCommands;
    std::unique_ptr<SystemServices> m_ownServices;
    SystemServices *m_services;
    std::unique_ptr<cmdcls, void (*)(cmdcls *)> m_cm;
    QString m_programFolder;
    std::function<QString()> m_windowForRun;
    QString m_windowId = QStringLiteral("0");
    QString m_colourKey = QStringLiteral("65793");
    bool m_running = false;
    // The current (or last) run draws on the desktop: its end must put the
    // root window back.
    bool m_desktopRun = false;
};
