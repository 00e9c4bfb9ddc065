#pragma once

#include "settings/programsettings.h"

#include <QMenu>
#include <QTimer>

#include <array>
#include <optional>

class mainform;

// The popup menu of the video area, and the options it holds as check marks:
// the renderer device (in step with the option buttons), always on top and
// the audio of AviSynth scripts. It also reads and writes qzconfig.ini, since
// what the file keeps is mostly these check marks.
class PopupMenu : public QMenu
{
    Q_OBJECT
public:
    struct Entry
    {
        enum class Kind
        {
            Action,
            Check,
            Submenu,
            Separator
        };
        Kind kind;
        // The object name of the submenu the entry is in; empty at the top.
        const char *parent;
        const char *name;
        const char *caption; // UTF-8
    };
    // The whole tree in the order shown; the renderer entries follow the
    // renderer names of the player and are not in it.
    static const std::vector<Entry> &entries();
    static inline const QString homePage = QStringLiteral("https://oblen.example.org/");
    static inline const QString makerCredit = QStringLiteral("제작: 오블렌");

    explicit PopupMenu(mainform *owner);

    std::array<QAction *, ProgramSettings::rendererCount> rendererMenu{};
    QAction *topmostMenu = nullptr;
    QAction *avsAudioMenu = nullptr;
    QMenu *audioMenu = nullptr;
    // The window's filter menu (FilterMenu), filled with the graph's
    // filters; its entry 0 stays and reads "(비어 있음)" without a graph.
    QMenu *filterMenu = nullptr;

    // An entry or submenu by its object name.
    QAction *entry(const QString &name) const;

    void setSettingsPath(const QString &path) { m_settingsPath = path; }
    QString settingsPath() const { return m_settingsPath; }
    // At start-up: the file is read when it exists and written with the
    // window's state when not; then always-on-top is applied.
    void startUp();
    void loadSettings();
    void saveSettings();

    void chooseRenderer(int index);
    void setAlwaysOnTop(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void openAt(const QPoint &pointer);
    bool isOverPicture(const QPoint &pointer) const;
    void build();
    void wire();
    ProgramSettings currentSettings() const;
    void followRendererOption();
    void placeFrame();

    // How long the window manager may take to frame the new window: 1.5 s
    // of quick looks, then up to 10 s more of slow ones.
    static constexpr int frameWaitQuickTicks = 100;
    static constexpr int frameWaitSlowInterval = 250;
    static constexpr int frameWaitLimit = frameWaitQuickTicks + 40;

    mainform *m_owner;
    QString m_settingsPath;
    std::optional<QPoint> m_framePosition;
    // The frame's thickness at the top left while the window was last
    // neither maximized nor minimized: what it is restored with.
    std::optional<QPoint> m_normalFrameOffset;
    // Always on top and the frame's place wait for the window to be shown.
    bool m_showPending = false;
    QTimer m_frameWait;
    int m_frameWaitTicks = 0;
    // Where the pointer was when the menu last opened, and whether it has
    // stayed there since (within the drag distance).
    QPoint m_openedAt;
    bool m_pointerStill = false;
    // A right press the menu took as a click on the picture: its release
    // places the menu, and must not reach QMenu, which would close the menu
    // or trigger the entry under the pointer.
    bool m_rightPressTaken = false;
};
