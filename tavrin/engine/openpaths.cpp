#include "openpaths.h"

#include "commands.h"
#include "playercore.h"
#include "startup.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include "common/filename.h"
#include <QLoggingCategory>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcEngine)

MediaOpener::MediaOpener(PlayerCore &core, QObject *parent) : QObject(parent), m_core(core)
{
    // The scripts' template is part of the state record; it starts filled.
    if (m_core.state().value(Field::scriptTemplateBox).isEmpty())
        m_core.state().setValue(Field::scriptTemplateBox, aviSynthTemplate());
}

QString MediaOpener::aviSynthTemplate()
{
    return QStringLiteral(
        "DirectShowSource(\"%원본위치%\", convertfps=true)\r\nConvertToYV12()\r\n");
}

QString MediaOpener::displayNameOf(const QString &path)
{
    return fileNameForDisplay(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

QString MediaOpener::trackNumberOf(const QString &caption)
{
    const qsizetype dash = caption.indexOf(QLatin1Char('-'));
    QString number = dash < 0 ? caption : caption.left(dash);
    return number.remove(QLatin1Char(' '));
}

void MediaOpener::setTitle(const QString &title)
{
    if (m_title == title)
        return;
    m_title = title;
    Q_EMIT windowTitleChanged(m_title);
}

bool MediaOpener::waitWhileRunning(int ms)
{
    if (!m_core.isEngineRunning())
        return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&m_core, &PlayerCore::engineRunningChanged, &loop, [&loop](bool running) {
        if (!running)
            loop.quit();
    });
    timeout.start(ms);
    loop.exec();
    return !m_core.isEngineRunning();
}

bool MediaOpener::waitForEngineEnd()
{
    if (waitWhileRunning(quitWaitMs))
        return true;
    // The engine ignored "quit ": it must not hold the window hostage.
    qCWarning(lcEngine) << "engine did not quit; terminating it";
    if (m_core.cm())
        m_core.cm()->Terminate();
    if (waitWhileRunning(terminateWaitMs))
        return true;
    if (m_core.cm())
        m_core.cm()->Kill();
    return waitWhileRunning(terminateWaitMs);
}

void MediaOpener::openAndPlay(const QString &medium, const QString &displayName)
{
    // A second open while the first still waits for the old engine would
    // start two runs; the first one wins.
    if (m_opening)
        return;
    m_opening = true;
    // A restart still pending for the old medium must not start an engine
    // behind this open's back, nor hand its position and audio track to the
    // new medium.
    m_core.state().setValue(Field::restartFlag, QStringLiteral("0"));
    m_core.state().setValue(Field::savedSecondsField, QString());
    m_core.state().setValue(Field::audioStreamBackupField, QString());
    m_core.state().setValue(Field::mediaPathField, medium);
    setTitle(displayName + titleSuffix);
    closeEngine();
    waitForEngineEnd();
    m_opening = false;
    if (!m_core.isEngineRunning())
        m_core.launchEngine();
}

QString MediaOpener::singleDroppedFile(const QStringList &files)
{
    // A folder or anything else that is not a file would stop the medium
    // and leave the engine nothing to play.
    return files.size() == 1 && isRegularFileName(files.first()) ? files.first() : QString();
}

void MediaOpener::openCommandLineMedia(const ProgramCommandLine &commandLine)
{
    if (commandLine.text.isEmpty())
        return;
    PlayerState &state = m_core.state();
    state.setValue(Field::parameterOpenedField, QStringLiteral("1"));
    state.setValue(Field::parameterInfoField, commandLine.text);
    const QString &path = commandLine.openPath;
    if (path.isEmpty())
        return;
    setTitle(displayNameOf(path) + titleSuffix);
    state.setValue(Field::mediaPathField, path);
    m_core.launchEngine();
}

void MediaOpener::playDvdDrive(const QString &caption)
{
    m_core.state().setValue(Field::mediaPathField, caption);
    const QString device = Startup::driveOfCaption(caption);
    const qsizetype labelAt = caption.indexOf(QStringLiteral(": "));
    const QString label = labelAt < 0 ? QString() : caption.mid(labelAt + 2);
    openAndPlay(QStringLiteral("dvdnav:// -dvd-device ") + device, label);
}

QString MediaOpener::aviSynthScriptPath() const
{
    return m_core.services().writableFolder(m_core.programFolder()) +
           QStringLiteral("/setting/AviSynthScript_preview.avs");
}

void MediaOpener::openWithAviSynth(const QString &sourcePath)
{
    PlayerState &state = m_core.state();
    const QString script = aviSynthScriptPath();
    QFile::remove(script);
    state.setValue(Field::secondPathField, sourcePath);
    if (sourcePath.isEmpty())
        return;
    QString text = state.value(Field::scriptTemplateBox);
    text.replace(QStringLiteral("%원본위치%"), state.value(Field::secondPathField));
    state.setValue(Field::scriptEditorBox, text);
    QDir().mkpath(QFileInfo(script).path());
    QFile file(script);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write((state.value(Field::scriptEditorBox) + QStringLiteral("\r\n")).toUtf8());
    openAndPlay(script, displayNameOf(sourcePath));
}

void MediaOpener::restartAtPosition()
{
    if (!m_core.isEngineRunning())
        return;
    PlayerState &state = m_core.state();
    const OptionStore &options = m_core.options();
    state.setValue(Field::savedSecondsField, state.value(Field::currentSecondsField));
    const auto track = options.checkedItem(Menu::audioTrackMenu);
    state.setValue(Field::audioStreamBackupField,
                   track ? QStringLiteral(" -aid ") +
                               trackNumberOf(options.caption(Menu::audioTrackMenu, *track))
                         : QString());
    state.setValue(Field::restartFlag, QStringLiteral("1"));
    if (m_core.cm())
        m_core.cm()->WriteData(EngineCommand::quit);
    state.setValue(Field::playStateField, PlayState::playing);
}

void MediaOpener::closeEngine()
{
    m_core.sendCommand(EngineCommand::quit);
}

void MediaOpener::closeCurrentMedia()
{
    closeEngine();
    waitForEngineEnd();
    PlayerState &state = m_core.state();
    setTitle(plainTitle);
    state.setValue(Field::mediaPathField, QString());
    state.setValue(Field::currentSecondsField, QString());
    state.setValue(Field::totalSecondsField, QString());
    state.setValue(Field::currentTimeLabel, QStringLiteral("00:00:00.0"));
    state.setValue(Field::totalTimeLabel, QStringLiteral("00:00:00.0"));
}
