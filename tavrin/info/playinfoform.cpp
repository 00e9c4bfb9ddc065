#include "playinfoform.h"

#include "engine/playercore.h"
#include "window/windowrules.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Half a second between readings of the processor counters: short enough to
// follow the load, long enough for the counters to move.
constexpr int cpuLoadInterval = 500;

QLabel *valueLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Codec descriptions run long; they wrap rather than lose their end.
    label->setWordWrap(true);
    return label;
}

void setTextIfChanged(QWidget *widget, const QString &text)
{
    // Unchanged values are not written again: no redraw on every change of
    // the state record.
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (label->text() != text)
            label->setText(text);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        if (button->text() != text)
            button->setText(text);
    }
}
} // namespace

playinfoform::playinfoform(PlayerCore &core, QWidget *owner)
    : QWidget(owner, Qt::Dialog), m_core(core), m_meter(core.services().processorCount())
{
    setObjectName(QStringLiteral("playinfoform"));
    setWindowTitle(QStringLiteral("재생 정보"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Owned by the main window, so it stays above it; above all others too
    // when the always-on-top choice says so now.
    const std::optional<bool> onTop =
        WindowRules::alwaysOnTopWanted(m_core.options().checkedItem(Menu::alwaysOnTopMenu),
                                       m_core.state().value(Field::playStateField));
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop.value_or(false));

    m_content = buildContent();
    m_content->setFixedWidth(unfoldedWidth);
    m_content->move(0, 0);
    applySize();

    SystemServices &services = m_core.services();
    m_cpuName->setText(services.processorName());
    m_processorCount->setText(QString::number(services.processorCount()));

    m_cpuLoadTimer = new QTimer(this);
    m_cpuLoadTimer->setInterval(cpuLoadInterval);
    connect(m_cpuLoadTimer, &QTimer::timeout, this, &playinfoform::sampleCpuLoad);
    if (openCounters())
        m_cpuLoadTimer->start();

    connect(&m_core.state(), &PlayerState::changed, this, [this](Field field, const QString &) {
        if (field == Field::playingFrameField)
            refreshPlayingFrame();
        else if (PlayInfo::feedsWindow(field))
            refreshMediaValues();
    });
    // A new run is a new medium (or the same one again): what the last one
    // reported and this one may not (a medium without sound) must not stay.
    connect(&m_core, &PlayerCore::engineRunningChanged, this, [this](bool running) {
        if (running)
            clearMediaValues();
    });
    refreshMediaValues();
    refreshPlayingFrame();
}

void playinfoform::clearMediaValues()
{
    for (PlayInfo::Value value : PlayInfo::values) {
        if (value != PlayInfo::Value::gpuName)
            setTextIfChanged(m_values.at(value), QString());
    }
    m_videoDecoder->setEnabled(false);
    m_audioDecoder->setEnabled(false);
    applySize();
}

QWidget *playinfoform::buildContent()
{
    auto *content = new QWidget(this);
    auto *columns = new QHBoxLayout(content);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    auto *left = new QWidget(content);
    left->setFixedWidth(foldedWidth);
    auto *leftColumn = new QVBoxLayout(left);

    auto addRow = [this](QFormLayout *form, const char *caption, PlayInfo::Value value) {
        auto *label = valueLabel(PlayInfo::objectName(value), form->parentWidget());
        m_values[value] = label;
        form->addRow(QString::fromUtf8(caption), label);
    };
    auto decoderButton = [this](QFormLayout *form, PlayInfo::Value value) {
        auto *button = new QPushButton(form->parentWidget());
        button->setObjectName(PlayInfo::objectName(value));
        button->setEnabled(false);
        m_values[value] = button;
        form->addRow(QStringLiteral("디코더:"), button);
        return button;
    };

    using PlayInfo::Value;
    auto *video = new QGroupBox(QStringLiteral("비디오 정보"), left);
    auto *videoForm = new QFormLayout(video);
    m_videoDecoder = decoderButton(videoForm, Value::videoDecoder);
    addRow(videoForm, "비디오 코덱:", Value::videoCodec);
    addRow(videoForm, "비디오 포맷:", Value::videoFormat);
    addRow(videoForm, "색 공간:", Value::colourSpace);
    addRow(videoForm, "출력 크기:", Value::outputSize);
    addRow(videoForm, "원본 크기:", Value::sourceSize);
    addRow(videoForm, "프레임 레이트:", Value::frameRate);
    addRow(videoForm, "비트 레이트:", Value::videoBitrate);
    m_playingFrame = valueLabel(QStringLiteral("playingFrameLabel"), video);
    videoForm->addRow(QStringLiteral("재생 프레임:"), m_playingFrame);

    auto *audio = new QGroupBox(QStringLiteral("오디오 정보"), left);
    auto *audioForm = new QFormLayout(audio);
    m_audioDecoder = decoderButton(audioForm, Value::audioDecoder);
    addRow(audioForm, "오디오 코덱:", Value::audioCodec);
    addRow(audioForm, "오디오 포맷:", Value::audioFormat);
    addRow(audioForm, "샘플 레이트:", Value::sampleRate);
    addRow(audioForm, "채널:", Value::channels);
    addRow(audioForm, "비트 레이트:", Value::audioBitrate);

    m_systemInfoButton = new QPushButton(QStringLiteral("시스템 정보 보기"), left);
    m_systemInfoButton->setObjectName(QStringLiteral("systemInfoButton"));
    connect(m_systemInfoButton, &QPushButton::clicked, this, &playinfoform::toggleSystemInfo);
    auto *ok = new QPushButton(QStringLiteral("확인"), left);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_systemInfoButton);
    buttons->addWidget(ok);

    leftColumn->addWidget(video);
    leftColumn->addWidget(audio);
    leftColumn->addStretch(1);
    leftColumn->addLayout(buttons);

    auto *right = new QWidget(content);
    right->setFixedWidth(unfoldedWidth - foldedWidth);
    auto *rightColumn = new QVBoxLayout(right);
    auto *system = new QGroupBox(QStringLiteral("CPU/GPU"), right);
    auto *systemForm = new QFormLayout(system);
    m_cpuName = valueLabel(QStringLiteral("cpuNameLabel"), system);
    systemForm->addRow(QStringLiteral("CPU 이름:"), m_cpuName);
    addRow(systemForm, "GPU 이름:", Value::gpuName);
    m_processorCount = valueLabel(QStringLiteral("processorCountLabel"), system);
    systemForm->addRow(QStringLiteral("CPU 프로세서:"), m_processorCount);
    m_averageLoad = valueLabel(QStringLiteral("averageLoadLabel"), system);
    systemForm->addRow(QStringLiteral("CPU 사용 내용:"), m_averageLoad);
    // The per-core text grows with the cores: it gets the group's whole width.
    m_perCoreLoad = valueLabel(QStringLiteral("perCoreLoadLabel"), system);
    m_perCoreLoad->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    systemForm->addRow(m_perCoreLoad);
    rightColumn->addWidget(system, 1);

    columns->addWidget(left);
    columns->addWidget(right);
    return content;
}

void playinfoform::toggleSystemInfo()
{
    // The flag, not the width the window has now, decides: a window manager
    // may have given the window a width a little off either one.
    m_unfolded = !m_unfolded;
    applySize();
}

void playinfoform::applySize()
{
    // The panels are laid out at the unfolded width; folding only narrows
    // the window over them. The height follows the wrapped values.
    m_content->adjustSize();
    setFixedSize(m_unfolded ? unfoldedWidth : foldedWidth, m_content->height());
}

void playinfoform::refreshMediaValues()
{
    const PlayerState &state = m_core.state();
    for (PlayInfo::Value value : PlayInfo::values) {
        if (const std::optional<QString> text = PlayInfo::text(value, state))
            setTextIfChanged(m_values.at(value), *text);
    }
    m_videoDecoder->setEnabled(!m_videoDecoder->text().isEmpty());
    m_audioDecoder->setEnabled(!m_audioDecoder->text().isEmpty());
    applySize();
}

void playinfoform::refreshPlayingFrame()
{
    setTextIfChanged(m_playingFrame, m_core.state().value(Field::playingFrameField));
}

bool playinfoform::openCounters()
{
    const std::optional<QString> counters = m_core.services().processorCounters();
    const CpuLoad::Texts texts = m_meter.sample(counters);
    m_perCoreLoad->setText(texts.perCore);
    m_averageLoad->setText(texts.average);
    if (counters)
        return true;
    // Without counters the window still shows the media; the load stays "-".
    QMessageBox failure(QMessageBox::NoIcon, QApplication::applicationName(),
                        CpuLoad::failureMessage, QMessageBox::Ok, parentWidget());
    failure.exec();
    return false;
}

void playinfoform::sampleCpuLoad()
{
    const CpuLoad::Texts texts = m_meter.sample(m_core.services().processorCounters());
    setTextIfChanged(m_averageLoad, texts.average);
    if (m_perCoreLoad->text() == texts.perCore)
        return;
    m_perCoreLoad->setText(texts.perCore);
    // Many cores wrap onto more lines.
    applySize();
}
