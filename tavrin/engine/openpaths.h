#pragma once

#include "common/commandlinetext.h"

#include <QObject>
#include <QString>

class PlayerCore;

// Every way a medium reaches the engine, without the dialogs: they all put
// the medium into mediaPathField, title the window, stop a running engine,
// wait for it to go and start the new run.
class MediaOpener : public QObject
{
    Q_OBJECT
public:
    static inline const QString titleSuffix = QStringLiteral(" - Tavrin v1.0.53");
    static inline const QString plainTitle = QStringLiteral("Tavrin v1.0.53");
    // How long an engine gets to obey "quit ", and then to obey a terminate
    // signal, before it is killed.
    static constexpr int quitWaitMs = 3000;
    static constexpr int terminateWaitMs = 1000;

    explicit MediaOpener(PlayerCore &core, QObject *parent = nullptr);

    QString windowTitle() const { return m_title; }

    // The common ending of every open path.
    void openAndPlay(const QString &medium, const QString &displayName);
    // The file to open for a dropped list: exactly one regular file (or a
    // link to one), else nothing.
    static QString singleDroppedFile(const QStringList &files);
    // The medium of the program's command line, if it names one.
    void openCommandLineMedia(const ProgramCommandLine &commandLine);
    // A dvdDriveMenu caption "/dev/sr0: Label": play that drive.
    void playDvdDrive(const QString &caption);
    // Writes the AviSynth script for a source file and opens it.
    void openWithAviSynth(const QString &sourcePath);
    // Restarts the engine at the current position with the kept audio track.
    void restartAtPosition();
    void closeEngine();
    void closeCurrentMedia();
    // Waits, keeping the window alive, until the engine has gone; an engine
    // that does not go is terminated and then killed. False when it
    // outlived even that.
    bool waitForEngineEnd();

    // The script file of the AviSynth path, and its text for a source.
    QString aviSynthScriptPath() const;
    static QString aviSynthTemplate();
    // The number of an audioTrackMenu caption: the text before the first
    // "-", blanks removed ("1 - eng" gives "1").
    static QString trackNumberOf(const QString &caption);
    // A display name: the text after the last "/".
    static QString displayNameOf(const QString &path);

Q_SIGNALS:
    void windowTitleChanged(const QString &title);

private:
    void setTitle(const QString &title);
    bool waitWhileRunning(int ms);

    PlayerCore &m_core;
    QString m_title = plainTitle;
    bool m_opening = false;
};
