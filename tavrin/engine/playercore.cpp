#include "playercore.h"

#include "cmdmod.h"
#include "platform/engineprogram.h"

#include <QCoreApplication>

namespace {
// The channel may be replaced from inside its own ended() signal (a pending
// restart), so the old one is deleted once control is back in the event loop.
void deleteChannelLater(cmdcls *channel)
{
    if (channel)
        channel->deleteLater();
}

constexpr Menu engineEntries[] = {Menu::back10Menu, Menu::forward10Menu, Menu::back60Menu,
                                  Menu::forward60Menu, Menu::back600Menu, Menu::forward600Menu,
                                  Menu::subtitleNoneMenu};
} // namespace

PlayerCore::PlayerCore(QObject *parent)
    : QObject(parent), m_cm(nullptr, &deleteChannelLater),
      m_programFolder(QCoreApplication::applicationDirPath())
{
}

PlayerCore::~PlayerCore()
{
    // At exit nothing is left to defer to: the channel goes with the core.
    delete m_cm.release();
}

void PlayerCore::setVideoWindow(const QString &windowId, const QString &colourKey)
{
    m_windowId = windowId;
    m_colourKey = colourKey;
}

LaunchEnvironment PlayerCore::launchEnvironment() const
{
    LaunchEnvironment environment;
    environment.enginePath = locateEngine(m_programFolder);
    environment.windowId = m_windowId;
    environment.colourKey = m_colourKey;
    return environment;
}

void PlayerCore::launchEngine()
{
    if (m_running)
        return;

    if (m_cm)
        m_cm->disconnect(this);
    m_cm.reset(new cmdcls(m_state));
    connect(m_cm.get(), &cmdcls::ended, this, &PlayerCore::endOfRun);
    connect(m_cm.get(), &cmdcls::positionAnswered, this, &PlayerCore::positionAnswered);

    if (m_state.value(Field::mediaPathField).isEmpty()) {
        Q_EMIT openFileRequested();
        return;
    }

    const EngineLaunch launch = buildEngineLaunch(m_state, m_options, launchEnvironment());
    m_state.setValue(Field::engineOutputBox, launch.displayText);
    m_cm->ExecuteCommand(launch);
    enterPlayingState();
    m_state.setValue(Field::engineOutputBox,
                     m_state.value(Field::engineOutputBox) + QStringLiteral("\r\n"));
}

void PlayerCore::sendCommand(const QString &text)
{
    m_state.setValue(Field::commandInputField, text);
    if (m_cm)
        m_cm->WriteData(m_state.value(Field::commandInputField));
    m_state.setValue(Field::commandInputField, QString());
}

int PlayerCore::setEnginePriority(int priorityClass)
{
    return cmdmod::setEnginePriority(m_state, m_running ? m_cm.get() : nullptr, priorityClass);
}

void PlayerCore::setEngineEntriesEnabled(bool enabled)
{
    for (const Menu menu : engineEntries)
        m_options.setEnabled(menu, enabled);
}

void PlayerCore::enterPlayingState()
{
    m_running = true;
    Q_EMIT engineRunningChanged(true);
    setEngineEntriesEnabled(true);
    m_state.setValue(Field::totalSecondsField, QString());
    m_state.setValue(Field::playStateField, PlayState::playing);
}

void PlayerCore::endOfRun()
{
    m_running = false;
    Q_EMIT engineRunningChanged(false);
    setEngineEntriesEnabled(false);
    m_state.setValue(Field::playStateField, PlayState::stopped);

    m_options.resetList(Menu::audioTrackMenu, true);
    m_options.resetList(Menu::subtitleFileMenu, false);
    m_options.resetList(Menu::embeddedSubtitleMenu, false);
    m_options.setChecked(Menu::subtitleNoneMenu, true);

    if (m_state.is(Field::restartFlag, QStringLiteral("1"))) {
        launchEngine();
        m_state.setValue(Field::restartFlag, QStringLiteral("0"));
        return;
    }

    for (const Field field : mediaInformationFields)
        m_state.setValue(field, QString());
    m_state.setValue(Field::backgroundPositionField, QString());
    m_wallpaper->apply(m_state.value(Field::backgroundPositionField));
}
