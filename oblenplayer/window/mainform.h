#pragma once

#include "core/playercore.h"

#include <QWidget>

#include <array>

class ControlBar;
class FilterMenu;
class PopupMenu;
class QLabel;
class QStatusBar;

// OblenPlayer's main window: the video area with its cover, the control bar
// and the five-panel status bar. It lays out and wires; the graph, the state
// fields and the procedures live in the core.
class mainform : public QWidget
{
    Q_OBJECT
public:
    // The file dialog's filter: supported, video, audio and all files.
    static QString openDialogFilter();

    explicit mainform(GraphFactory factory = {}, QWidget *parent = nullptr);
    ~mainform() override;

    PlayerCore &core() { return m_core; }
    QWidget *picVideoWindow() const { return m_picVideoWindow; }
    QWidget *videoCover() const { return m_videoCover; }
    ControlBar *controlBar() const { return m_controlBar; }
    QStatusBar *statusBar() const { return m_statusBar; }
    QLabel *statusPanel(int number) const { return m_panels.at(size_t(number - 1)); }
    // The "필터" submenu of the popup menu, kept in step with the graph.
    FilterMenu *filterMenu() const { return m_filterMenu; }
    PopupMenu *popupMenu() const { return m_popupMenu; }

    void openFile();
    // Opens the medium of the program's command-line text, if it names one.
    void openFromCommandLine(const ProgramCommandLine &commandLine);
    // Takes a drop of exactly one local file; anything else is ignored.
    bool openDropped(const QList<QUrl> &urls);
    // Closes the window as asked from outside the program (a signal): no
    // question is asked; false when the close has to wait for a dialog.
    bool endOnRequest();
    void originalSize();
    // The modal property window of filter-list line `index`.
    void showFilterProperties(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void wireControls();
    void showControls();
    void layoutWindow();
    void refreshStatus();
    void showRendererMessage(const QString &text);
    VideoArea videoArea() const;

    PlayerCore m_core;
    QWidget *m_picVideoWindow = nullptr;
    QWidget *m_videoCover = nullptr;
    ControlBar *m_controlBar = nullptr;
    QStatusBar *m_statusBar = nullptr;
    std::array<QLabel *, 5> m_panels{};
    FilterMenu *m_filterMenu = nullptr;
    PopupMenu *m_popupMenu = nullptr;
    bool m_quitPending = false;
    bool m_endRequested = false;
};
