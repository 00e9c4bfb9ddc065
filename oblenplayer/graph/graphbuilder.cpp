#include "graphbuilder.h"

namespace {

const QString crlf = QStringLiteral("\r\n");

// Walks the registered filters for the first one named exactly so and
// inserts it; nullptr when none is named so or it cannot be created.
std::shared_ptr<IFilterInfo> addRenderer(FilterBrowser &browser, const QString &name)
{
    for (const auto &registered : browser.registeredFilters()) {
        if (registered->Name() == name)
            return registered->StartFilter();
    }
    return nullptr;
}

// A missing filter, a failed insertion, a renderer that finds it cannot
// work here and a filter that turns out to be a file source all count as
// "cannot be inserted". Asked once the pin is rendered: a renderer finds
// out while the source's streams are being found, and the message is shown
// only when the graph is ready anyway.
bool rendererInserted(const std::shared_ptr<IFilterInfo> &renderer)
{
    return renderer && renderer->Works() && !renderer->IsFileSource();
}

void selectLastFilter(FilterBrowser &browser)
{
    browser.selectFilter(int(browser.listFilters().size()) - 1);
}

void renderSelectedPin(FilterBrowser &browser)
{
    if (browser.selectedPin())
        browser.selectedPin()->Render();
}

} // namespace

QString GraphBuilder::rendererMessage(bool twoPins)
{
    return QStringLiteral("현재 렌더러는 선택하실 수 없습니다.") + crlf + crlf +
           QStringLiteral("그래픽 드라이버가 설치되지 않았거나 Direct3D를 지원하지 않는 "
                          "그래픽카드입니다.") +
           crlf + crlf +
           (twoPins ? QStringLiteral("다른 렌더러를 선택해 주세요.")
                    : QStringLiteral("다른 렌더러를 선택해 주세요. (재생은 시스템 기본 렌더로 "
                                     "재생됩니다.)"));
}

void GraphBuilder::build(FilgraphManager &graph, FilterBrowser &browser,
                         const GraphBuildRequest &request,
                         const std::function<void(const QString &)> &showMessage)
{
    browser.setGraph(&graph);
    browser.refreshRegisteredFilters();

    graph.AddSourceFilter(request.fileOrUrl);
    // Selects line 0, the source (the only filter), and so its pins.
    browser.RefreshFilters();
    browser.setRegisteredFilterText(request.rendererName);

    const auto insertRenderer = [&]() { return addRenderer(browser, request.rendererName); };
    const auto checkRenderer = [&](const std::shared_ptr<IFilterInfo> &renderer, bool twoPins) {
        if (!rendererInserted(renderer) && showMessage)
            showMessage(rendererMessage(twoPins));
    };

    // From here on the source, added first, is the last line of the filter list.
    const qsizetype pins = browser.listPins().size();
    if (pins == 1) {
        browser.selectPin(0);
        const std::shared_ptr<IFilterInfo> renderer = insertRenderer();
        browser.RefreshFilters();
        selectLastFilter(browser);
        renderSelectedPin(browser);
        checkRenderer(renderer, false);
        browser.RefreshFilters();
    } else if (pins == 2) {
        const QString extension = request.fileOrUrl.section(QLatin1Char('.'), -1);
        const bool script =
            request.fileOrUrl.contains(QLatin1Char('.')) && extension == QLatin1String("avs");
        // The first pin of an AviSynth script is its audio: rendered only on request.
        if (!script || request.avsAudio) {
            browser.selectPin(0);
            renderSelectedPin(browser);
            browser.RefreshFilters();
            selectLastFilter(browser);
        }
        browser.selectPin(1);
        const std::shared_ptr<IFilterInfo> renderer = insertRenderer();
        browser.RefreshFilters();
        selectLastFilter(browser);
        browser.selectPin(1);
        renderSelectedPin(browser);
        checkRenderer(renderer, true);
        browser.RefreshFilters();
    }
}
