#include "menutree.h"

namespace MenuTree {

namespace {
using K = MenuNode::Kind;
using C = MenuCommand;

MenuNode sub(int depth, const char *name, const char *label)
{
    return {depth, K::submenu, name, label, "", C::none, std::nullopt};
}
MenuNode line(int depth)
{
    return {depth, K::separator, "", "-", "", C::none, std::nullopt};
}
MenuNode run(int depth, const char *name, const char *label, const char *hint, C command,
             std::optional<Menu> store = std::nullopt)
{
    return {depth, K::command, name, label, hint, command, store};
}
// An option's entry has the name of its store entry.
MenuNode option(int depth, Menu menu, const char *label)
{
    return {depth, K::option, nullptr, label, "", C::none, menu};
}
MenuNode withTip(MenuNode node, const char *tip)
{
    node.tip = tip;
    return node;
}
MenuNode list(int depth, Menu menu)
{
    return {depth, K::list, "", "", "", C::none, menu};
}
MenuNode array(int depth, const char *name, const char *label, Menu menu,
               std::vector<MenuNode> &out)
{
    out.push_back(sub(depth, name, label));
    return list(depth + 1, menu);
}

std::vector<MenuNode> build()
{
    std::vector<MenuNode> t;
    auto add = [&t](const MenuNode &node) { t.push_back(node); };

    add(run(0, "openFileMenu", "파일 열기", "F2", C::openMediaFile));
    add(run(0, "openExternalCodecMenu", "외부코덱으로 열기", "F3", C::openWithAviSynth));
    add(sub(0, "openSubmenu", "열기"));
    add(run(1, "openFileMenu2", "파일 열기", "Ctrl+O", C::openMediaFile));
    add(run(1, "openUrlMenu", "URL 열기", "Ctrl+U", C::openUrl));
    add(run(1, "openAvsMenu", "외부코덱으로 열기(AviSynth 사용)", "Ctrl+D", C::openWithAviSynth));
    add(array(1, "dvdDriveSubmenu", "DVD 드라이브 재생", Menu::dvdDriveMenu, t));
    add(run(0, "closeMenu", "닫기", "F4", C::closeCurrentMedia));
    add(line(0));

    add(sub(0, "playSubmenu", "재생"));
    add(run(1, "playPauseMenu", "재생／일시정지", "Space", C::togglePlayPause));
    add(run(1, "stopMenu", "정지", "Ctrl+Space ", C::stopPlayback));
    add(run(1, "frameStepMenu", "프레임 스텝", "F", C::frameStep));
    add(line(1));
    add(run(1, "back10Menu", "10초 뒤로", "Left", C::back10, Menu::back10Menu));
    add(run(1, "forward10Menu", "10초 앞으로", "Right", C::forward10, Menu::forward10Menu));
    add(run(1, "back60Menu", "1분 뒤로", "Ctrl+Left", C::back60, Menu::back60Menu));
    add(run(1, "forward60Menu", "1분 앞으로", "Ctrl+Right", C::forward60, Menu::forward60Menu));
    add(run(1, "back600Menu", "10분 뒤로", "Shift+Left", C::back600, Menu::back600Menu));
    add(run(1, "forward600Menu", "10분 앞으로", "Shift+Right", C::forward600,
            Menu::forward600Menu));
    add(line(1));
    add(run(1, "normalSpeedMenu", "기본 배속", "Z", C::resetSpeed));
    add(run(1, "speedDownMenu", "재생 배속 감소", "X", C::speedDown));
    add(run(1, "speedUpMenu", "재생 배속 증가", "C", C::speedUp));

    add(sub(0, "videoSubmenu", "영상"));
    add(array(1, "videoOutputSubmenu", "비디오 출력 드라이버", Menu::videoOutputMenu, t));
    add(array(1, "deinterlaceSubmenu", "디인터레이스", Menu::deinterlaceMenu, t));
    add(array(1, "scalerSubmenu", "소프트웨어 스케일러 종류", Menu::scalerMenu, t));
    add(array(1, "deblockingSubmenu", "디블럭킹 (복수선택가능)", Menu::deblockingMenu, t));
    add(line(1));
    add(option(1, Menu::postProcessingMenu, "후처리 (PostProcessing)"));
    add(option(1, Menu::blurMenu, "부드럽게 (Blur)"));
    add(option(1, Menu::sharpenMenu, "선명하게 (Sharpen)"));
    add(option(1, Menu::denoiseMenu, "3D 노이즈 제거 (hqdn3d)"));
    add(option(1, Menu::deringMenu, "링잉 제거 (deringing)"));
    add(option(1, Menu::autoLevelsMenu, "자동으로 밝기／대비 조정 (autolevels)"));
    add(line(1));
    add(run(1, "videoAdjustMenu", "영상 조절 (색조, 채도, 밝기, 대비)", "Ctrl+V",
            C::showVideoAdjust));

    add(sub(0, "audioSubmenu", "음성"));
    add(array(1, "audioSelectMenu", "음성 선택", Menu::audioTrackMenu, t));
    add(array(1, "sampleRateSubmenu", "샘플 레이트 변경", Menu::sampleRateMenu, t));
    add(array(1, "channelsSubmenu", "채널", Menu::channelsMenu, t));
    add(array(1, "stereoModeSubmenu", "스테레오 모드", Menu::stereoModeMenu, t));
    add(line(1));
    add(option(1, Menu::pitchCorrectionMenu, "피치 보정"));
    add(option(1, Menu::extraStereoMenu, "엑스트라 스테레오"));
    add(option(1, Menu::voiceRemovalMenu, "목소리 제거"));
    add(option(1, Menu::normalizerMenu, "노멀라이저"));
    add(line(1));
    add(run(1, "volumeDownMenu", "소리 줄임", "Down", C::volumeDown));
    add(run(1, "volumeUpMenu", "소리 높임", "Up", C::volumeUp));
    add(run(1, "muteMenu", "음소거", "M", C::toggleMute, Menu::muteMenu));
    add(line(1));
    add(run(1, "audioSyncResetMenu", "기본 싱크", "Shift+/", C::audioSyncReset));
    add(run(1, "audioDelayDownMenu", "0.1초 느리게", "Shift+<", C::audioDelayDown));
    add(run(1, "audioDelayUpMenu", "0.1초 빠르게", "Shift+>", C::audioDelayUp));
    add(line(1));
    add(run(1, "equalizerMenu", "이퀄라이저", "Shift+A", C::showEqualizer));

    add(sub(0, "subtitleSubmenu", "자막"));
    add(run(1, "showSubtitlesMenu", "자막 보이기", "Alt+H", C::toggleSubtitles,
            Menu::showSubtitlesMenu));
    add(sub(1, "subtitleSelectMenu", "자막 선택"));
    add(run(2, "subtitleNoneMenu", "없음", "", C::noSubtitles, Menu::subtitleNoneMenu));
    add(list(2, Menu::subtitleFileMenu));
    add(list(2, Menu::embeddedSubtitleMenu));
    add(line(1));
    add(run(1, "subSyncResetMenu", "기본 싱크", "/", C::subSyncReset));
    add(run(1, "subDelayDownMenu", "0.1초 느리게", "< or ,", C::subDelayDown));
    add(run(1, "subDelayUpMenu", "0.1초 빠르게", "> or .", C::subDelayUp));
    add(line(1));
    add(run(1, "prevSubtitleMenu", "이전 자막 보기", "[", C::previousSubtitle));
    add(run(1, "nextSubtitleMenu", "다음 자막 보기", "]", C::nextSubtitle));
    add(line(1));
    add(run(1, "subSmallerMenu", "글자 작게", "O", C::subtitleSmaller));
    add(run(1, "subLargerMenu", "글자 크게", "P", C::subtitleLarger));
    add(line(1));
    add(run(1, "subtitleSettingsMenu", "자막 설정", "Alt+S", C::showSubtitleSettings));

    add(sub(0, "analysisSubmenu", "분석"));
    add(withTip(option(1, Menu::motionVectorsMenu, "Visualize motion vectors"),
                "이 MPlayer는 움직임 벡터 표시(vismv)를 지원하지 않아 쓸 수 없습니다."));
    add(run(1, "engineLogMenu", "MPlayer 기록 보기", "", C::showEngineLog));
    add(line(0));

    add(array(0, "aspectSubmenu", "화면 비율", Menu::aspectMenu, t));
    add(sub(0, "sizeSubmenu", "화면 크기"));
    add(run(1, "halfSizeMenu", "0.5x 절반크기", "1", C::halfSize));
    add(run(1, "originalSizeMenu", "1.0x 원본크기", "2", C::originalSize));
    add(run(1, "oneAndHalfSizeMenu", "1.5x 한배반크기", "3", C::oneAndHalfSize));
    add(run(1, "doubleSizeMenu", "2.0x 두배크기", "4", C::doubleSize));
    add(line(1));
    add(run(1, "fullScreenMenu", "전체 화면", "Enter", C::fullScreen));
    add(run(1, "fillScreenMenu", "꽉찬 화면", "Ctrl+Enter", C::fillScreen));
    add(sub(0, "otherSettingsSubmenu", "기타 설정"));
    add(array(1, "alwaysOnTopSubmenu", "항상 위", Menu::alwaysOnTopMenu, t));
    add(array(1, "cpuPrioritySubmenu", "CPU 우선 순위", Menu::cpuPriorityMenu, t));
    add(array(1, "decodingThreadsSubmenu", "디코딩 스레드(MPEG-1/2, H.264 Only)",
              Menu::decodingThreadsMenu, t));
    add(run(0, "fullScreenMenu2", "전체 화면", "Enter", C::fullScreen));
    add(run(0, "fillScreenMenu2", "꽉찬 화면", "Ctrl+Enter", C::fillScreen));
    add(line(0));

    add(option(0, Menu::desktopModeMenu, "바탕화면으로 보기"));
    add(run(0, "showBarsMenu", "상태, 하단 표시줄 보이기", "", C::toggleBars, Menu::showBarsMenu));
    add(line(0));

    add(run(0, "playbackInfoMenu", "재생 정보", "Ctrl+F1", C::showPlaybackInfo));
    add(run(0, "programInfoMenu", "프로그램 정보", "F1", C::showProgramInfo));
    add(run(0, "exitMenu", "종료(&X)", "", C::exitProgram));
    return t;
}
} // namespace

const std::vector<MenuNode> &nodes()
{
    static const std::vector<MenuNode> tree = build();
    return tree;
}

QString entryText(const QString &label, const QString &hint)
{
    return hint.isEmpty() ? label : label + QLatin1Char('\t') + hint;
}

QString literalCaption(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace MenuTree
