#pragma once

#include <QString>

// Every line Tavrin sends to the engine, written once. The literals keep
// their trailing blank: the engine receives "quit " + CR LF, not "quit".
// The one exception, "pausing_keep_force speed_set 1.0", has none.
// Values taken from state fields go in exactly as the fields hold them.
namespace EngineCommand {

inline const QString quit = QStringLiteral("quit ");
inline const QString stop = QStringLiteral("stop ");
inline const QString pause = QStringLiteral("pause ");
inline const QString frameStep = QStringLiteral("frame_step ");
inline const QString getTimePos = QStringLiteral("get_time_pos ");
inline const QString getTimePosKeepPause = QStringLiteral("pausing_keep_force get_time_pos ");
inline const QString muteOn = QStringLiteral("pausing_keep_force mute 1 ");
inline const QString muteOff = QStringLiteral("pausing_keep_force mute 0 ");
inline const QString speedReset = QStringLiteral("pausing_keep_force speed_set 1.0");
inline const QString subVisibilityOff = QStringLiteral("pausing_keep_force sub_visibility 0 ");
inline const QString subVisibilityOn = QStringLiteral("pausing_keep_force sub_visibility 1 ");
inline const QString subStepBack = QStringLiteral("pausing_keep_force sub_step -1 ");
inline const QString subStepForward = QStringLiteral("pausing_keep_force sub_step +1 ");
inline const QString subSourceNone = QStringLiteral("sub_source -1 ");
inline const QString voFullscreenOff = QStringLiteral("pausing_keep_force vo_fullscreen 0 ");
inline const QString dvdnavUp = QStringLiteral("dvdnav up ");
inline const QString dvdnavDown = QStringLiteral("dvdnav down ");
inline const QString dvdnavLeft = QStringLiteral("dvdnav left ");
inline const QString dvdnavRight = QStringLiteral("dvdnav right ");
inline const QString dvdnavSelect = QStringLiteral("dvdnav select ");
inline const QString dvdnavPrev = QStringLiteral("dvdnav prev ");
inline const QString dvdnavMouse = QStringLiteral("dvdnav mouse ");

// The answer the engine gives to a position request.
inline const QString timePositionAnswer = QStringLiteral("ANS_TIME_POSITION=");

// "seek " + N + " 0 ": N whole seconds back (negative) or forward.
QString seekRelative(int seconds);
// "seek " + S + " 2 ": S whole seconds from the start.
QString seekAbsolute(qint64 seconds);
// "pausing_keep_force volume " + V + " 1 ".
QString volumeKeepPause(const QString &volume);
// "volume " + V + " 1 ", after an audio track switch.
QString volume(const QString &volume);
QString switchAudio(const QString &track);
QString speedSet(const QString &speed);
QString audioDelay(const QString &seconds);
QString subDelay(const QString &seconds);
QString subScale(const QString &scale);
QString subFile(int index);
QString subDemux(const QString &stream);
QString gamma(const QString &value);
QString contrast(const QString &value);
QString brightness(const QString &value);
QString hue(const QString &value);
QString saturation(const QString &value);
// "pausing_keep_force af_eq_set_bands " + the ten gains joined by ":" + " ".
QString equalizerBands(const QString &bands);
// "pausing_keep_force af_cmdline equalizer " + the ten gains joined by ":" +
// " ": the same change for engines that lack af_eq_set_bands (they ignore an
// unknown command without a word). It reconfigures the equalizer that every
// command line puts into the audio chain.
QString equalizerCmdline(const QString &bands);
// The engine command that sets the ten gains: af_eq_set_bands where the
// engine lists it, otherwise the af_cmdline form.
QString equalizer(const QString &bands, bool engineHasSetBands);
// The name of the engine command a line runs: its first word after any
// "pausing…" prefix ("pausing_keep_force hue 5 1 " runs "hue").
QString commandName(const QString &line);
// "set_mouse_pos " + X + " " + Y + " ".
QString setMousePos(float x, float y);

} // namespace EngineCommand
