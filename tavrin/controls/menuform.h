#pragma once

#include "menuchoices.h"
#include "menutree.h"

#include <QHash>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class mainform;

// The popup menu: the menu tree turned into QMenus over the main window.
// The option store stays the one truth of every check mark, enabled state
// and run-time list; the menus only mirror it and are rebuilt or re-marked
// whenever it changes. The form itself is never shown.
class menuform : public QObject
{
    Q_OBJECT
public:
    explicit menuform(mainform &window);

    // The menu that pops up over the window.
    QMenu *popupMenu() const { return m_popupMenu; }
    // The entry or submenu entry of that name, null when there is none; the
    // items of a menu array are named after it, "deinterlaceMenu_1".
    QAction *entry(const QString &name) const;
    // The entries of a menu array, in index order.
    QList<QAction *> items(Menu menu) const;

    // Runs what a plain entry does.
    void run(MenuCommand command);

Q_SIGNALS:
    // An entry that opens one of the adjustment or information windows was
    // chosen; the window answers by showing it.
    void windowRequested(MenuCommand command);

private:
    struct Place
    {
        QMenu *menu = nullptr;
        // An invisible separator the array's items are put before.
        QAction *end = nullptr;
        QList<QAction *> items;
    };

    void build();
    void bind(QAction *action, Menu menu, int index);
    void sync(Menu menu, int index);
    void rebuildList(Menu menu);
    void chooseItem(Menu menu, int index);
    static quint64 key(Menu menu, int index)
    {
        return (quint64(static_cast<int>(menu)) << 32) | quint32(index);
    }

    mainform &m_window;
    MenuChoices m_choices;
    QMenu *m_popupMenu = nullptr;
    QHash<QString, QAction *> m_named;
    QHash<quint64, QAction *> m_bound;
    QHash<int, Place> m_lists;
};
