#pragma once

#include "engine/playercore.h"

#include <QWidget>

class QPlainTextEdit;
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

    PlayerCore m_core;
    QWidget *m_videoFrame = nullptr;
    VideoWindow *m_videoWindow = nullptr;
    QPlainTextEdit *m_engineOutputBox = nullptr;
};
