#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <map>
#include <optional>

// The player's options are the check marks of popup-menu entries. A menu is
// an array of entries told apart by an index from 0; item 0 always exists,
// and only the run-time lists get further items while the program runs.
#define TAVRIN_MENUS(X)                                                                            \
    /* one-of-many option arrays */                                                                \
    X(videoOutputMenu)                                                                             \
    X(deinterlaceMenu)                                                                             \
    X(scalerMenu)                                                                                  \
    X(sampleRateMenu)                                                                              \
    X(channelsMenu)                                                                                \
    X(stereoModeMenu)                                                                              \
    X(decodingThreadsMenu)                                                                         \
    X(aspectMenu)                                                                                  \
    X(alwaysOnTopMenu)                                                                             \
    X(cpuPriorityMenu)                                                                             \
    /* any subset */                                                                               \
    X(deblockingMenu)                                                                              \
    /* on/off entries */                                                                           \
    X(postProcessingMenu)                                                                          \
    X(blurMenu)                                                                                    \
    X(sharpenMenu)                                                                                 \
    X(denoiseMenu)                                                                                 \
    X(deringMenu)                                                                                  \
    X(autoLevelsMenu)                                                                              \
    X(pitchCorrectionMenu)                                                                         \
    X(extraStereoMenu)                                                                             \
    X(voiceRemovalMenu)                                                                            \
    X(normalizerMenu)                                                                              \
    X(motionVectorsMenu)                                                                           \
    X(desktopModeMenu)                                                                             \
    X(showSubtitlesMenu)                                                                           \
    X(showBarsMenu)                                                                                \
    X(muteMenu)                                                                                    \
    /* entries that are enabled only while an engine runs */                                       \
    X(back10Menu)                                                                                  \
    X(forward10Menu)                                                                               \
    X(back60Menu)                                                                                  \
    X(forward60Menu)                                                                               \
    X(back600Menu)                                                                                 \
    X(forward600Menu)                                                                              \
    X(subtitleNoneMenu)                                                                            \
    /* run-time lists with a "(비어 있음)" placeholder as item 0 */                                \
    X(dvdDriveMenu)                                                                                \
    X(audioTrackMenu)                                                                              \
    X(subtitleFileMenu)                                                                            \
    X(embeddedSubtitleMenu)

enum class Menu {
#define TAVRIN_MENU_ENUM(name) name,
    TAVRIN_MENUS(TAVRIN_MENU_ENUM)
#undef TAVRIN_MENU_ENUM
        Count
};

constexpr int menuCount = static_cast<int>(Menu::Count);

// The caption of a run-time list's placeholder item.
inline const QString emptyListCaption = QStringLiteral("(비어 있음)");

struct MenuEntry
{
    QString caption;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
};

class OptionStore : public QObject
{
    Q_OBJECT
public:
    explicit OptionStore(QObject *parent = nullptr);

    // The first checked item in index order, or none.
    std::optional<int> checkedItem(Menu menu) const;
    // Item 0 of a single entry, or any item of an array. A missing item reads
    // as unchecked, disabled and hidden with an empty caption.
    bool isChecked(Menu menu, int index = 0) const;
    bool hasItem(Menu menu, int index) const;
    MenuEntry entry(Menu menu, int index = 0) const;
    QString caption(Menu menu, int index = 0) const { return entry(menu, index).caption; }

    // Setters on a missing item do nothing.
    void setChecked(Menu menu, int index, bool checked);
    void setChecked(Menu menu, bool checked) { setChecked(menu, 0, checked); }
    void setEnabled(Menu menu, int index, bool enabled);
    void setEnabled(Menu menu, bool enabled) { setEnabled(menu, 0, enabled); }
    void setVisible(Menu menu, int index, bool visible);
    void setCaption(Menu menu, int index, const QString &caption);

    int itemCount(Menu menu) const;
    QList<int> indices(Menu menu) const;
    // Adds an item with the next index (one past the highest) and returns that
    // index; the caller sets its caption and marks.
    int loadItem(Menu menu);
    // Adds the item with that index when it does not exist yet; an existing
    // item is kept as it is. Returns whether the item exists afterwards.
    bool loadItemAt(Menu menu, int index);
    // Removes an item; item 0 can never be removed.
    bool unloadItem(Menu menu, int index);

    // One-of-many choice: uncheck every item, then check the chosen one.
    void choose(Menu menu, int index);

    // Unloads every item but the placeholder, which is captioned "(비어 있음)",
    // unchecked and disabled; `placeholderVisible` says whether it shows.
    void resetList(Menu menu, bool placeholderVisible);

    static QString nameOf(Menu menu);

Q_SIGNALS:
    void entryChanged(Menu menu, int index);
    void itemsChanged(Menu menu);

private:
    MenuEntry *find(Menu menu, int index);
    std::map<int, MenuEntry> &items(Menu menu) { return m_menus[static_cast<int>(menu)]; }
    const std::map<int, MenuEntry> &items(Menu menu) const
    {
        return m_menus[static_cast<int>(menu)];
    }

    std::map<int, MenuEntry> m_menus[menuCount];
};
