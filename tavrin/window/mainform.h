#pragma once

#include "engine/openactions.h"
#include "engine/openpaths.h"
#include "engine/playercore.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QLabel;
class audioeq;
class videoeq;
class BottomToolbar;
class KeyboardInput;
class EngineVersion;
class mplayerlogform;
class programinfoform;
class PlaybackTracker;
class playinfoform;
class PointerInput;
class QMenu;
class menuform;
class ScreenModes;
class QPlainTextEdit;
class StatusToolbar;
class subtitleform;
class Transport;
class VideoWindow;

// Tavrin's main window: the video area the engine draws into, and the
// procedures other windows trigger. The state and the engine live in the core.
class mainform : public QWidget
{
    Q_OBJECT
public:
    // The services default to the real machine's.
    explicit mainform(SystemServices *services = nullptr, QWidget *parent = nullptr);
    ~mainform() override;

    PlayerCore &core() { return m_core; }
    MediaOpener &opener() { return m_opener; }
    OpenActions &openActions() { return m_openActions; }
    VideoWindow *videoWindow() const { return m_videoWindow; }
    QWidget *videoFrame() const { return m_videoFrame; }
    QPlainTextEdit *engineOutputBox();
    QLabel *fontCacheNotice() const { return m_fontCacheNotice; }
    QString widthProbe() const { return m_widthProbe; }
    Transport &transport() { return *m_transport; }
    PlaybackTracker &tracker() { return *m_tracker; }
    StatusToolbar *statusToolbar() const { return m_statusToolbar; }
    BottomToolbar *bottomToolbar() const { return m_bottomToolbar; }
    QMenu *popupMenu() const { return m_popupMenu; }
    menuform *menuForm() const { return m_menuForm; }
    ScreenModes &screenModes() { return *m_modes; }
    PointerInput &pointerInput() { return *m_pointer; }
    KeyboardInput &keyboardInput() { return *m_keyboard; }

    // Opens the subtitle settings window, made anew (with the state's values)
    // unless it is open already: then it only comes to the front.
    void showSubtitleSettings();
    // The subtitle settings window while it is open, else null.
    subtitleform *subtitleSettingsWindow() const;

    // Sizes the picture inside the video frame for the source and the
    // chosen ratio, centred.
    void applyAspect();

    void launchEngine();
    void sendCommand(const QString &text) { m_core.sendCommand(text); }
    // Opens the medium named by "/open" on the program's command line; a
    // command line without one does nothing.
    void openCommandLineMedia(const ProgramCommandLine &commandLine);
    // Start-up after the window is shown: the machine's defaults, the mode,
    // the medium of the command line. False, after telling the user, when
    // the program does not run on this system and must end.
    bool start(const ProgramCommandLine &commandLine);

    // The display modes (see ScreenModes).
    void normalMode();
    void minimalMode();
    void toggleFullScreen();
    void externalFullScreen();
    void externalFillScreen();
    // False when the source size is unknown: the calling key does no more.
    bool setWindowSizeFactor(double factor);

    // The adjustment windows (mainformadjust.cpp). Each open makes the
    // window anew, so it sends its values again; a window already open is
    // only raised. Null while closed.
    void showAudioEqualizer();
    void showVideoEqualizer();
    audioeq *audioEqualizer() const;
    videoeq *videoEqualizer() const;
    // The information windows (mainforminfo.cpp): each opens without
    // blocking, once; opening it again brings the open one forward.
    void showProgramInfo();
    void showEngineLog();
    programinfoform *programInfoWindow() const;
    mplayerlogform *engineLogWindow() const;
    // The engine's version, read at most once per run.
    EngineVersion &engineVersion();
    // "재생 정보", opened once and raised when open already (mainforminfo.cpp).
    void showPlaybackInfo();
    playinfoform *playbackInfoWindow() const;

Q_SIGNALS:
    // A key press the window took (Qt's key), whichever widget had the focus.
    void keyPressed(int key);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showFontCacheNotice(bool show);
    bool overVideo(const QPoint &position) const;
    // The bars, the transport and the engine-output timers (mainformbars.cpp).
    void setUpTransportBars();
    // The modes and the mouse (mainformbars.cpp).
    void setUpScreen();
    // Whether a secondary window opens on top of all others now.
    bool secondaryWindowOnTop() const;
    // Asks the engine program for its commands, once: when the equalizer
    // first opens, so that no start-up runs a second engine process.
    void askEngineCommands();

    PlayerCore m_core;
    MediaOpener m_opener;
    OpenActions m_openActions;
    QWidget *m_videoFrame = nullptr;
    VideoWindow *m_videoWindow = nullptr;
    QPlainTextEdit *m_engineOutputBox = nullptr;
    QLabel *m_fontCacheNotice = nullptr;
    QString m_widthProbe;
    std::unique_ptr<PlaybackTracker> m_tracker;
    std::unique_ptr<Transport> m_transport;
    StatusToolbar *m_statusToolbar = nullptr;
    BottomToolbar *m_bottomToolbar = nullptr;
    menuform *m_menuForm = nullptr;
    QMenu *m_popupMenu = nullptr;
    ScreenModes *m_modes = nullptr;
    PointerInput *m_pointer = nullptr;
    QPointer<subtitleform> m_subtitleForm;
    QPointer<audioeq> m_audioEqualizer;
    QPointer<videoeq> m_videoEqualizer;
    KeyboardInput *m_keyboard = nullptr;
    QPointer<programinfoform> m_programInfo;
    QPointer<mplayerlogform> m_engineLog;
    EngineVersion *m_engineVersion = nullptr;
    QPointer<playinfoform> m_playInfo;
};
