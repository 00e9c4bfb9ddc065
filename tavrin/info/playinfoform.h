#pragma once

#include "cpuload.h"
#include "playinfotexts.h"

#include <QWidget>
#include <map>

class PlayerCore;
class QAbstractButton;
class QLabel;
class QPushButton;
class QTimer;

// "재생 정보": what the engine reported about the media, read from the state
// record, and in a panel that unfolds to the right the processor, its load
// per core and the graphics adapter. It only reads; the owner keeps one.
class playinfoform : public QWidget
{
    Q_OBJECT
public:
    // Widths of the folded window (the system panel beyond its right edge)
    // and the unfolded one: 6705 and 11865 twips.
    static constexpr int foldedWidth = 447;
    static constexpr int unfoldedWidth = 791;

    playinfoform(PlayerCore &core, QWidget *owner);

    bool isUnfolded() const { return m_unfolded; }
    QPushButton *systemInfoButton() const { return m_systemInfoButton; }
    // The label (or decoder button) that shows the value.
    QWidget *valueWidget(PlayInfo::Value value) const { return m_values.at(value); }
    QLabel *playingFrameLabel() const { return m_playingFrame; }
    QLabel *cpuNameLabel() const { return m_cpuName; }
    QLabel *processorCountLabel() const { return m_processorCount; }
    QLabel *perCoreLoadLabel() const { return m_perCoreLoad; }
    QLabel *averageLoadLabel() const { return m_averageLoad; }
    QTimer *cpuLoadTimer() const { return m_cpuLoadTimer; }

    // "시스템 정보 보기": unfold a folded window, fold an unfolded one.
    void toggleSystemInfo();

private:
    QWidget *buildContent();
    void applySize();
    void refreshMediaValues();
    // Back to the first texts, decoder buttons disabled.
    void clearMediaValues();
    void refreshPlayingFrame();
    void sampleCpuLoad();
    // The system panel's counters; false, after telling the user, when they
    // cannot be read at all.
    bool openCounters();

    PlayerCore &m_core;
    CpuLoadMeter m_meter;
    bool m_unfolded = false;
    QWidget *m_content = nullptr;
    std::map<PlayInfo::Value, QWidget *> m_values;
    QPushButton *m_videoDecoder = nullptr;
    QPushButton *m_audioDecoder = nullptr;
    QLabel *m_playingFrame = nullptr;
    QLabel *m_cpuName = nullptr;
    QLabel *m_processorCount = nullptr;
    QLabel *m_perCoreLoad = nullptr;
    QLabel *m_averageLoad = nullptr;
    QPushButton *m_systemInfoButton = nullptr;
    QTimer *m_cpuLoadTimer = nullptr;
};
