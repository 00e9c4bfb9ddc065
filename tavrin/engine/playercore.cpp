#include "playercore.h"

#include "cmdmod.h"
#include "commands.h"
#include "platform/engineprogram.h"
#include "startup.h"
#include "state/vbnumber.h"
#include "subtitlecodepage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "common/filename.h"
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcEngine)

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

PlayerCore::PlayerCore(SystemServices *services, QObject *parent)
    : QObject(parent), m_ownServices(services ? nullptr : new LinuxSystem),
      m_services(services ? services : m_ownServices.get()), m_cm(nullptr, &deleteChannelLater),
      m_programFolder(QCoreApplication::applicationDirPath())
{
}

PlayerCore::~PlayerCore()
{
    // At exit nothing is left to defer to: the channel goes with the core,
    // and its engine has ended when the deletion returns.
    delete m_cm.release();
    restoreDesktopAfterRun();
}

void PlayerCore::restoreDesktopAfterRun()
{
    if (!m_desktopRun)
        return;
    m_desktopRun = false;
    m_services->restoreDesktopWindow();
}

bool PlayerCore::dvdMode() const
{
    const QString media = m_state.value(Field::mediaPathField);
    return media.startsWith(QLatin1String("dvd")) && !isRegularFileName(media);
}

void PlayerCore::setVideoWindow(std::function<QString()> windowForRun, const QString &colourKey)
{
    m_windowForRun = std::move(windowForRun);
    m_colourKey = colourKey;
}

QString PlayerCore::subtitleStylePath() const
{
    return m_services->writableFolder(m_programFolder) + QStringLiteral("/setting/subtitle.ass");
}

LaunchEnvironment PlayerCore::launchEnvironment() const
{
    const QString media = m_state.value(Field::mediaPathField);
    LaunchEnvironment environment;
    environment.enginePath = locateEngine(m_programFolder);
    environment.windowId = m_windowId;
    environment.colourKey = m_colourKey;
    environment.desktopWindowId = m_services->desktopWindowId();
    environment.subtitleStylePath = subtitleStylePath();
    environment.processorCount = QString::number(m_services->processorCount());
    // The medium's folder is listed once for both questions about it.
    const QFileInfoList beside = filesBeside(media);
    environment.subtitleCodePage = subtitleCodePageFor(media, beside);
    environment.noSubtitleAutoload = sideFileWouldHoldEngine(media, beside);
    environment.mediaIsExistingFile = isRegularFileName(media);
    environment.opticalDrives = Startup::listedDrives(m_options);
    return environment;
}

void PlayerCore::writeSubtitleStyleFile()
{
    const QString path = subtitleStylePath();
    QFile::remove(path);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(subtitleStyleText(m_state).toUtf8());
    else
        qCWarning(lcEngine) << "cannot write" << path << file.errorString();
}

void PlayerCore::applyBackground(const QString &value)
{
    m_state.setValue(Field::backgroundPositionField, value);
    m_services->wallpaper().apply(m_state.value(Field::backgroundPositionField));
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

    if (isZeroValue(m_state.value(Field::useDefaultSubtitleSettingsField)))
        Q_EMIT fontCacheNoticeRequested(!QFileInfo(m_services->fontCacheFolder()).isDir());

    writeSubtitleStyleFile();
    // On the desktop the engine draws into the root window and leaves the
    // video window unused.
    if (m_windowForRun && !m_options.isChecked(Menu::desktopModeMenu))
        m_windowId = m_windowForRun();
    const EngineLaunch launch = buildEngineLaunch(m_state, m_options, launchEnvironment());
    m_state.setValue(Field::savedSecondsField, QString());
    applyBackground(m_options.isChecked(Menu::desktopModeMenu) ? QStringLiteral("0") : QString());

    m_state.setValue(Field::engineOutputBox, launch.displayText);
    m_desktopRun = m_options.isChecked(Menu::desktopModeMenu);
    m_cm->ExecuteCommand(launch);
    enterPlayingState();
    m_state.setValue(Field::engineOutputBox,
                     m_state.value(Field::engineOutputBox) + QStringLiteral("\r\n"));

    if (!m_options.isChecked(Menu::showSubtitlesMenu))
        sendCommand(EngineCommand::subVisibilityOff);
    if (!isZeroValue(m_state.value(Field::gammaField)))
        sendCommand(EngineCommand::gamma(m_state.value(Field::gammaField)));
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
    // Whatever ended the run (quit, stop, the end of the medium, a crash):
    // the engine has gone, so the root cannot be changed behind our back.
    restoreDesktopAfterRun();
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
    applyBackground(QString());
}
