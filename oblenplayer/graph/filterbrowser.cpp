#include "filterbrowser.h"

#include <utility>

namespace {
const QString crlf = QStringLiteral("\r\n");
}

FilterBrowser::FilterBrowser(QObject *parent) : QObject(parent) {}

void FilterBrowser::setGraph(FilgraphManager *graph)
{
    m_graph = graph;
}

void FilterBrowser::refreshRegisteredFilters()
{
    m_listRegFilters.clear();
    m_regFilterLine = -1;
    m_registeredFilters =
        m_graph ? m_graph->RegFilterCollection() : std::vector<std::shared_ptr<IRegFilterInfo>>();
    for (const auto &filter : m_registeredFilters)
        m_listRegFilters << filter->Name();
    if (!m_listRegFilters.isEmpty())
        m_regFilterLine = 0;
    Q_EMIT registeredFiltersChanged();
}

bool FilterBrowser::setRegisteredFilterText(const QString &name)
{
    const int line = int(m_listRegFilters.indexOf(name));
    if (line < 0)
        return false;
    m_regFilterLine = line;
    Q_EMIT registeredFiltersChanged();
    return true;
}

void FilterBrowser::RefreshFilters()
{
    m_listFilters.clear();
    m_filterLine = -1;
    if (m_graph) {
        for (const auto &filter : m_graph->FilterCollection())
            m_listFilters << filter->Name();
    }
    Q_EMIT filtersRefreshed(m_listFilters);
    if (!m_listFilters.isEmpty())
        selectFilter(0);
}

void FilterBrowser::selectFilter(int line)
{
    if (!m_graph || line < 0 || line >= m_listFilters.size())
        return;
    m_filterLine = line;
    const QString name = m_listFilters.at(line);
    // Names may repeat: the last filter of that name in the collection wins.
    for (const auto &filter : m_graph->FilterCollection()) {
        if (filter->Name() != name)
            continue;
        m_selectedFilter = filter;
        m_lblFilterName = filter->Name();
        m_lblVendorInfo = filter->VendorInfo();
        m_listPins.clear();
        m_pinLine = -1;
        for (const auto &pin : filter->Pins())
            m_listPins << pin->Name();
    }
    Q_EMIT selectionChanged();
    selectPin(0);
}

void FilterBrowser::selectPin(int line)
{
    if (!m_selectedFilter || line < 0 || line >= m_listPins.size())
        return;
    m_pinLine = line;
    const QString name = m_listPins.at(line);
    for (const auto &pin : m_selectedFilter->Pins()) {
        if (pin->Name() != name)
            continue;
        m_selectedPin = pin;
        m_txtPinInfo = describePin(*pin);
        break;
    }
    Q_EMIT selectionChanged();
}

QString FilterBrowser::describePin(const IPinInfo &pin)
{
    QString text;
    if (const std::shared_ptr<IPinInfo> peer = pin.ConnectedTo()) {
        const std::shared_ptr<IFilterInfo> peerFilter = peer->FilterInfo();
        text = QStringLiteral("연결된핀: ") + peer->Name() + QLatin1Char(' ') + crlf +
               QStringLiteral("필터: ") + (peerFilter ? peerFilter->Name() : QString()) +
               QLatin1Char(' ') + crlf + QStringLiteral("미디어 종류: ") +
               pin.ConnectionMediaType().value_or(QString());
    }
    text += QLatin1Char(' ') + crlf +
            (pin.Direction() == IPinInfo::Input ? QStringLiteral("방향: 입력")
                                                : QStringLiteral("방향: 출력"));
    return text;
}

void FilterBrowser::adopt(FilterBrowser &other)
{
    m_graph = std::exchange(other.m_graph, nullptr);
    m_registeredFilters = std::exchange(other.m_registeredFilters, {});
    m_listRegFilters = std::exchange(other.m_listRegFilters, {});
    m_regFilterLine = std::exchange(other.m_regFilterLine, -1);
    m_listFilters = std::exchange(other.m_listFilters, {});
    m_filterLine = std::exchange(other.m_filterLine, -1);
    m_listPins = std::exchange(other.m_listPins, {});
    m_pinLine = std::exchange(other.m_pinLine, -1);
    m_selectedFilter = std::exchange(other.m_selectedFilter, nullptr);
    m_selectedPin = std::exchange(other.m_selectedPin, nullptr);
    m_lblFilterName = std::exchange(other.m_lblFilterName, {});
    m_lblVendorInfo = std::exchange(other.m_lblVendorInfo, {});
    m_txtPinInfo = std::exchange(other.m_txtPinInfo, {});
    Q_EMIT registeredFiltersChanged();
    Q_EMIT filtersRefreshed(m_listFilters);
    Q_EMIT selectionChanged();
}

void FilterBrowser::clear()
{
    m_registeredFilters.clear();
    m_selectedFilter.reset();
    m_selectedPin.reset();
    m_graph = nullptr;
    m_listRegFilters.clear();
    m_listFilters.clear();
    m_listPins.clear();
    m_regFilterLine = m_filterLine = m_pinLine = -1;
    m_lblFilterName.clear();
    m_lblVendorInfo.clear();
    m_txtPinInfo.clear();
    Q_EMIT registeredFiltersChanged();
    Q_EMIT filtersRefreshed(m_listFilters);
    Q_EMIT selectionChanged();
}
