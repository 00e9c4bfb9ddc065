#include "optionstore.h"

#include <initializer_list>

namespace {

const char *const menuNames[] = {
#define TAVRIN_MENU_NAME(name) #name,
    TAVRIN_MENUS(TAVRIN_MENU_NAME)
#undef TAVRIN_MENU_NAME
};
static_assert(sizeof(menuNames) / sizeof(menuNames[0]) == menuCount);

struct ArrayDefinition
{
    Menu menu;
    std::initializer_list<const char *> captions;
    int initiallyChecked; // -1: none
};

// Video drivers: the same eight roles as on Windows, with the drivers X11
// has. The text in parentheses is what goes after "-vo".
const ArrayDefinition arrays[] = {
    {Menu::videoOutputMenu,
     {"X Video (xv)", "X11 (x11)", "VDPAU (vdpau)", "OpenGL (gl)",
      "OpenGL YUV (gl:yuv=4:force-pbo:ati-hack)", "OpenGL multiple textures version (gl_tiled)",
      "MatrixView (matrixview)", "Colour AsCii Art library (caca)"},
     -1},
    {Menu::deinterlaceMenu,
     {"사용 안 함", "linear blend deinterlacer (lb)", "linear interpolating deinterlace (li)",
      "cubic interpolating deinterlacer (ci)", "median deinterlacer (md)",
      "ffmpeg deinterlacer (fd)", "FIR lowpass deinterlacer (l5)",
      "YADIF (Yet another deinterlacing filter)", "Donald Graft's adaptive kernel deinterlacer"},
     0},
    {Menu::scalerMenu,
     {"fast bilinear", "bilinear", "bicubic (good quality) (default)", "experimental",
      "nearest neighbor (bad quality)", "area", "luma bicubic／chroma bilinear", "gauss", "sincR",
      "lanczos", "natural bicubic spline"},
     2},
    {Menu::sampleRateMenu,
     {"변경 안 함", "8000 Hz", "11025 Hz", "12000 Hz", "16000 Hz", "22050 Hz", "24000 Hz",
      "32000 Hz", "44100 Hz", "48000 Hz", "96000 Hz", "128000 Hz", "192000 Hz"},
     0},
    {Menu::channelsMenu, {"2ch (stereo)", "4ch (surround)", "6ch (full 5.1)"}, 0},
    {Menu::stereoModeMenu, {"스테레오", "좌측 채널", "우측 채널"}, 0},
    {Menu::decodingThreadsMenu, {"자동", "1", "2", "3", "4", "5", "6", "7", "8"}, 0},
    {Menu::aspectMenu,
     {"원본 비율로 유지", "4 : 3 비율로 유지 (TV)", "16 : 9 비율로 유지 (HDTV)",
      "1.85 : 1 비율로 유지 (Wide TV)", "2.35 : 1 비율로 유지 (시네마스코프)", "비율 유지 안 함"},
     0},
    {Menu::alwaysOnTopMenu, {"사용", "재생시만 사용", "사용 안 함"}, 1},
    {Menu::cpuPriorityMenu,
     {"실시간", "높음", "높은 우선 순위", "보통", "낮은 우선 순위", "낮음"},
     -1},
    {Menu::deblockingMenu,
     {"horizontal deblocking filter (hb)", "vertical deblocking filter (vb)",
      "accurate horizontal deblocking filter (ha)", "accurate vertical deblocking filter (va)",
      "experimental horizontal deblocking filter (h1)",
      "experimental vertical deblocking filter (v1)"},
     -1},
};

struct SingleDefinition
{
    Menu menu;
    const char *caption;
    bool checked;
    bool enabled;
};

const SingleDefinition singles[] = {
    {Menu::postProcessingMenu, "후처리 (PostProcessing)", false, true},
    {Menu::blurMenu, "부드럽게 (Blur)", false, true},
    {Menu::sharpenMenu, "선명하게 (Sharpen)", false, true},
    {Menu::denoiseMenu, "3D 노이즈 제거 (hqdn3d)", false, true},
    {Menu::deringMenu, "링잉 제거 (deringing)", false, true},
    {Menu::autoLevelsMenu, "자동으로 밝기／대비 조정 (autolevels)", false, true},
    {Menu::pitchCorrectionMenu, "피치 보정", true, true},
    {Menu::extraStereoMenu, "엑스트라 스테레오", false, true},
    {Menu::voiceRemovalMenu, "목소리 제거", false, true},
    {Menu::normalizerMenu, "노멀라이저", false, true},
    // This engine's decoder library has no motion-vector drawing any more
    // ("Unknown suboption vismv"): the entry is shown, and cannot be chosen.
    {Menu::motionVectorsMenu, "Visualize motion vectors", false, false},
    {Menu::desktopModeMenu, "바탕화면으로 보기", false, true},
    {Menu::showSubtitlesMenu, "자막 보이기", true, true},
    {Menu::showBarsMenu, "상태, 하단 표시줄 보이기", false, true},
    {Menu::muteMenu, "음소거", false, true},
    // Jumps and "none" only make sense while an engine runs.
    {Menu::back10Menu, "10초 뒤로", false, false},
    {Menu::forward10Menu, "10초 앞으로", false, false},
    {Menu::back60Menu, "1분 뒤로", false, false},
    {Menu::forward60Menu, "1분 앞으로", false, false},
    {Menu::back600Menu, "10분 뒤로", false, false},
    {Menu::forward600Menu, "10분 앞으로", false, false},
    {Menu::subtitleNoneMenu, "없음", true, false},
};

} // namespace

OptionStore::OptionStore(QObject *parent) : QObject(parent)
{
    for (const ArrayDefinition &def : arrays) {
        int i = 0;
        for (const char *caption : def.captions) {
            MenuEntry e;
            e.caption = QString::fromUtf8(caption);
            e.checked = (i == def.initiallyChecked);
            items(def.menu)[i++] = e;
        }
    }
    for (const SingleDefinition &def : singles)
        items(def.menu)[0] = MenuEntry{QString::fromUtf8(def.caption), def.checked, def.enabled, true};

    // The run-time lists start with their placeholder; the drive and audio
    // lists show it, the two subtitle lists keep it hidden.
    items(Menu::dvdDriveMenu)[0] = MenuEntry{emptyListCaption, false, false, true};
    items(Menu::audioTrackMenu)[0] = MenuEntry{emptyListCaption, false, false, true};
    items(Menu::subtitleFileMenu)[0] = MenuEntry{emptyListCaption, false, false, false};
    items(Menu::embeddedSubtitleMenu)[0] = MenuEntry{emptyListCaption, false, false, false};
}

std::optional<int> OptionStore::checkedItem(Menu menu) const
{
    for (const auto &[index, e] : items(menu)) {
        if (e.checked)
            return index;
    }
    return std::nullopt;
}

bool OptionStore::isChecked(Menu menu, int index) const
{
    return entry(menu, index).checked;
}

bool OptionStore::hasItem(Menu menu, int index) const
{
    return items(menu).count(index) != 0;
}

MenuEntry OptionStore::entry(Menu menu, int index) const
{
    const auto &list = items(menu);
    const auto it = list.find(index);
    if (it == list.end())
        return MenuEntry{QString(), false, false, false};
    return it->second;
}

MenuEntry *OptionStore::find(Menu menu, int index)
{
    auto &list = items(menu);
    const auto it = list.find(index);
    return it == list.end() ? nullptr : &it->second;
}

void OptionStore::setChecked(Menu menu, int index, bool checked)
{
    MenuEntry *e = find(menu, index);
    if (!e || e->checked == checked)
        return;
    e->checked = checked;
    Q_EMIT entryChanged(menu, index);
}

void OptionStore::setEnabled(Menu menu, int index, bool enabled)
{
    MenuEntry *e = find(menu, index);
    if (!e || e->enabled == enabled)
        return;
    e->enabled = enabled;
    Q_EMIT entryChanged(menu, index);
}

void OptionStore::setVisible(Menu menu, int index, bool visible)
{
    MenuEntry *e = find(menu, index);
    if (!e || e->visible == visible)
        return;
    e->visible = visible;
    Q_EMIT entryChanged(menu, index);
}

void OptionStore::setCaption(Menu menu, int index, const QString &caption)
{
    MenuEntry *e = find(menu, index);
    if (!e || e->caption == caption)
        return;
    e->caption = caption;
    Q_EMIT entryChanged(menu, index);
}

int OptionStore::itemCount(Menu menu) const
{
    return static_cast<int>(items(menu).size());
}

QList<int> OptionStore::indices(Menu menu) const
{
    QList<int> result;
    for (const auto &item : items(menu))
        result.append(item.first);
    return result;
}

int OptionStore::loadItem(Menu menu)
{
    auto &list = items(menu);
    const int index = list.empty() ? 0 : list.rbegin()->first + 1;
    list[index] = MenuEntry{};
    Q_EMIT itemsChanged(menu);
    return index;
}

bool OptionStore::loadItemAt(Menu menu, int index)
{
    if (index < 0)
        return false;
    auto &list = items(menu);
    if (list.count(index) == 0) {
        list[index] = MenuEntry{};
        Q_EMIT itemsChanged(menu);
    }
    return true;
}

bool OptionStore::unloadItem(Menu menu, int index)
{
    if (index == 0 || items(menu).erase(index) == 0)
        return false;
    Q_EMIT itemsChanged(menu);
    return true;
}

void OptionStore::choose(Menu menu, int index)
{
    for (auto &[i, e] : items(menu)) {
        if (e.checked && i != index) {
            e.checked = false;
            Q_EMIT entryChanged(menu, i);
        }
    }
    setChecked(menu, index, true);
}

void OptionStore::resetList(Menu menu, bool placeholderVisible)
{
    auto &list = items(menu);
    if (list.size() > 1) {
        list.erase(std::next(list.begin()), list.end());
        Q_EMIT itemsChanged(menu);
    }
    setCaption(menu, 0, emptyListCaption);
    setEnabled(menu, 0, false);
    setChecked(menu, 0, false);
    setVisible(menu, 0, placeholderVisible);
}

QString OptionStore::nameOf(Menu menu)
{
    return QString::fromLatin1(menuNames[static_cast<int>(menu)]);
}
