#pragma once

#include "engine/playercore.h"

#include <QWidget>
#include <memory>

class BottomToolbar;
class PlaybackTracker;
class QMenu;
class QPlainTextEdit;
class StatusToolbar;
class Transport;
class VideoWindow;

// Tavrin's main window: the video area the engine draws into, and the
// procedures other windows trigger. The state and the engine live in the core.
class mainform : public QWidget
{
    Q_OBJECT
public:
    static inline const QString titleSuffix = QStringLiteral(" - Tavrin v1.0.53");
    static inline const QString plainTitle = QStringLiteral("Tavrin v1.0.53");

    explicit mainform(QWidget *parent = nullptr);
    ~mainform() override;

    PlayerCore &core() { return m_core; }
    VideoWindow *videoWindow() const { return m_videoWindow; }
    QWidget *videoFrame() const { return m_videoFrame; }
    QPlainTextEdit *engineOutputBox() const { return m_engineOutputBox; }
    Transport &transport() { return *m_transport; }
    PlaybackTracker &tracker() { return *m_tracker; }
    StatusToolbar *statusToolbar() const { return m_statusToolbar; }
    BottomToolbar *bottomToolbar() const { return m_bottomToolbar; }
    QMenu *popupMenu() const { return m_popupMenu; }

    // Sizes the picture inside the video frame for the source and the
    // chosen ratio, centred.
    void applyAspect();

    void launchEngine();
    void sendCommand(const QString &text) { m_core.sendCommand(text); }
    // Opens the medium named by "/open" and a quoted path in the program's
    // command-line text; any other text does nothing.
    void openCommandLineMedia(const QString &commandLine);

Q_SIGNALS:
    void keyPressed(int key);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setMediaTitle(const QString &path);
    void layoutVideo();
    void openMediaFile();
    // The bars, the transport and the engine-output timers (mainformbars.cpp).
    void setUpTransportBars();
    void fitToVideo();

    PlayerCore m_core;
    QWidget *m_videoFrame = nullptr;
    VideoWindow *m_videoWindow = nullptr;
    QPlainTextEdit *m_engineOutputBox = nullptr;
    std::unique_ptr<PlaybackTracker> m_tracker;
    std::unique_ptr<Transport> m_transport;
    StatusToolbar *m_statusToolbar = nullptr;
    BottomToolbar *m_bottomToolbar = nullptr;
    QMenu *m_popupMenu = nullptr;
};
