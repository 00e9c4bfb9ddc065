#pragma once

#include <QMenu>

// The "필터" menu: one entry per filter of the graph, in the filter list's
// order. Its first entry always exists; without filters it reads
// "(비어 있음)" and it and the menu are disabled.
class FilterMenu : public QMenu
{
    Q_OBJECT
public:
    static inline const QString emptyCaption = QStringLiteral("(비어 있음)");

    explicit FilterMenu(QWidget *parent = nullptr);

    // A filter name as a menu caption: names come from the pipeline and from
    // file paths, and a bare "&" would turn into a shortcut marker.
    static QString caption(const QString &filterName);

    void setFilters(const QStringList &names);

Q_SIGNALS:
    // Entry i of the menu, which is line i of the filter list.
    void filterChosen(int index);
};
