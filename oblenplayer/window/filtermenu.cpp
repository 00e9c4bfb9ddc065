#include "filtermenu.h"

FilterMenu::FilterMenu(QWidget *parent) : QMenu(QStringLiteral("필터"), parent)
{
    setObjectName(QStringLiteral("filterMenu"));
    QAction *first = addAction(emptyCaption);
    connect(first, &QAction::triggered, this, [this]() { Q_EMIT filterChosen(0); });
    first->setEnabled(false);
    menuAction()->setEnabled(false);
}

QString FilterMenu::caption(const QString &filterName)
{
    QString text = filterName;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void FilterMenu::setFilters(const QStringList &names)
{
    // Entry 0 stays and is reused; the others are made again for this graph.
    // Built in one go, without letting events in between: a choice handled
    // half-way would open a filter of a list that is being replaced.
    QList<QAction *> entries = actions();
    for (qsizetype i = entries.size() - 1; i >= 1; --i) {
        removeAction(entries.at(i));
        entries.at(i)->deleteLater();
    }
    QAction *first = entries.front();
    const bool any = !names.isEmpty();
    first->setText(any ? caption(names.front()) : emptyCaption);
    first->setEnabled(any);
    menuAction()->setEnabled(any);
    for (int i = 1; i < names.size(); ++i) {
        QAction *entry = addAction(caption(names.at(i)));
        connect(entry, &QAction::triggered, this, [this, i]() { Q_EMIT filterChosen(i); });
    }
}
