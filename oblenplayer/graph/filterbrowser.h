#pragma once

#include "graph/filgraph.h"

#include <QObject>
#include <QStringList>

// The three lists that mirror the graph: the registered filters, the graph's
// filters and the pins of the selected filter, with the selected filter's
// labels and the selected pin's description. The graph builder drives them to
// insert the renderer and to pick the pin it renders; the window shows them.
class FilterBrowser : public QObject
{
    Q_OBJECT
public:
    explicit FilterBrowser(QObject *parent = nullptr);

    // The graph the lists describe; nullptr empties them.
    void setGraph(FilgraphManager *graph);
    FilgraphManager *graph() const { return m_graph; }

    // Reads the graph's registered-filter collection and refills the list.
    void refreshRegisteredFilters();
    void RefreshFilters();
    // Selecting a filter line fills the pin list and selects its line 0;
    // selecting a pin line sets the selected pin and its description.
    void selectFilter(int line);
    void selectPin(int line);
    // Makes the registered-filter line with exactly this text current;
    // false when no line has it.
    bool setRegisteredFilterText(const QString &name);
    // Releases every graph object the lists hold.
    void clear();
    // Takes over the lists of another browser (one a graph was built with
    // away from this one's thread), telling this one's listeners once;
    // the other is left empty.
    void adopt(FilterBrowser &other);

    const std::vector<std::shared_ptr<IRegFilterInfo>> &registeredFilters() const
    {
        return m_registeredFilters;
    }
    const QStringList &listRegFilters() const { return m_listRegFilters; }
    int regFilterLine() const { return m_regFilterLine; }
    const QStringList &listFilters() const { return m_listFilters; }
    int filterLine() const { return m_filterLine; }
    const QStringList &listPins() const { return m_listPins; }
    int pinLine() const { return m_pinLine; }
    const std::shared_ptr<IFilterInfo> &selectedFilter() const { return m_selectedFilter; }
    const std::shared_ptr<IPinInfo> &selectedPin() const { return m_selectedPin; }
    const QString &lblFilterName() const { return m_lblFilterName; }
    const QString &lblVendorInfo() const { return m_lblVendorInfo; }
    const QString &txtPinInfo() const { return m_txtPinInfo; }

    // The description of a pin: its connection when it has one, then its
    // direction.
    static QString describePin(const IPinInfo &pin);

Q_SIGNALS:
    void registeredFiltersChanged();
    // The filter list was refilled (the filter menu follows it).
    void filtersRefreshed(const QStringList &names);
    void selectionChanged();

private:
    FilgraphManager *m_graph = nullptr;
    std::vector<std::shared_ptr<IRegFilterInfo>> m_registeredFilters;
    QStringList m_listRegFilters;
    int m_regFilterLine = -1;
    QStringList m_listFilters;
    int m_filterLine = -1;
    QStringList m_listPins;
    int m_pinLine = -1;
    std::shared_ptr<IFilterInfo> m_selectedFilter;
    std::shared_ptr<IPinInfo> m_selectedPin;
    QString m_lblFilterName;
    QString m_lblVendorInfo;
    QString m_txtPinInfo;
};
