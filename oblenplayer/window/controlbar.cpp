#include "controlbar.h"

#include "core/playercore.h"
#include "core/transport.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int sliderHeight = 22;
constexpr int sideTop = sliderHeight + 2;

QPushButton *button(const QString &caption, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    // Keys belong to the main window, never to a button.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    // As wide as the caption needs, not a fixed button width.
    const int textWidth = b->fontMetrics().horizontalAdvance(caption);
    b->setFixedWidth(std::max(28, textWidth + 16));
    return b;
}

QSlider *slider(int minimum, int maximum, const char *name, QWidget *parent)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(minimum, maximum);
    s->setFocusPolicy(Qt::NoFocus);
    return s;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(2);
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    return layout;
}

} // namespace

SeekSlider::SeekSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void SeekSlider::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mousePressed();
    QSlider::mousePressEvent(event);
}

void SeekSlider::mouseMoveEvent(QMouseEvent *event)
{
    QSlider::mouseMoveEvent(event);
    Q_EMIT mouseMoved(event->position().toPoint().x(), event->buttons() & Qt::LeftButton);
}

void SeekSlider::mouseReleaseEvent(QMouseEvent *event)
{
    QSlider::mouseReleaseEvent(event);
    Q_EMIT mouseReleased();
}

ControlBar::ControlBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ControlBar"));
    positionBar = new SeekSlider(this);
    positionBar->setObjectName(QStringLiteral("positionBar"));
    positionBar->setRange(0, 0);
    positionBar->setEnabled(false);

    // CSide1: the transport in two rows, the renderer choice under it.
    CSide1 = new QWidget(this);
    CSide1->setObjectName(QStringLiteral("CSide1"));
    openButton = button(QStringLiteral("열기"), "openButton", CSide1);
    playButton = button(QStringLiteral("재생"), "playButton", CSide1);
    pauseButton = button(QStringLiteral("일시정지"), "pauseButton", CSide1);
    stopButton = button(QStringLiteral("정지"), "stopButton", CSide1);
    originalSizeButton = button(QStringLiteral("원본크기"), "originalSizeButton", CSide1);
    backButton = button(QStringLiteral("<"), "backButton", CSide1);
    forwardButton = button(QStringLiteral(">"), "forwardButton", CSide1);
    slowerButton = button(QStringLiteral("배속－"), "slowerButton", CSide1);
    fasterButton = button(QStringLiteral("배속＋"), "fasterButton", CSide1);
    auto *left = new QVBoxLayout(CSide1);
    left->setContentsMargins(2, 0, 2, 0);
    left->setSpacing(2);
    left->addLayout(row({openButton, playButton, pauseButton, stopButton, originalSizeButton}));
    left->addLayout(row({backButton, forwardButton, slowerButton, fasterButton}));
    rendererOption = new QButtonGroup(this);
    rendererOption->setObjectName(QStringLiteral("rendererOption"));
    auto *renderers = new QGridLayout;
    renderers->setSpacing(0);
    renderers->setHorizontalSpacing(6);
    for (int i = 0; i < PlayerCore::rendererCount; ++i) {
        auto *option = new QRadioButton(PlayerCore::rendererCaption(i), CSide1);
        option->setObjectName(QStringLiteral("rendererOption%1").arg(i));
        option->setFocusPolicy(Qt::NoFocus);
        rendererOption->addButton(option, i);
        renderers->addWidget(option, i / 2, i % 2);
    }
    left->addLayout(renderers);

    // CSide2: volume and balance.
    CSide2 = new QWidget(this);
    CSide2->setObjectName(QStringLiteral("CSide2"));
    volumeLabel = new QLabel(CSide2);
    volumeLabel->setObjectName(QStringLiteral("volumeLabel"));
    volumeLabel->setFixedWidth(40);
    volumeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    volumeBar = slider(Transport::volumeMinimum, Transport::volumeMaximum, "volumeBar", CSide2);
    volumeBar->setPageStep(Transport::volumeStep);
    volumeBar->setSingleStep(500);
    volumeBar->setFixedWidth(100);
    volumeDownButton = button(QStringLiteral("볼륨감소"), "volumeDownButton", CSide2);
    volumeUpButton = button(QStringLiteral("볼륨증가"), "volumeUpButton", CSide2);
    auto *balanceCaption = new QLabel(QStringLiteral("밸런스"), CSide2);
    balanceCaption->setFixedWidth(40);
    balanceCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    balanceBar = slider(Transport::balanceMinimum, Transport::balanceMaximum, "balanceBar", CSide2);
    balanceBar->setPageStep(1000);
    balanceBar->setSingleStep(500);
    balanceBar->setFixedWidth(100);
    balanceLeftButton = button(QStringLiteral("좌"), "balanceLeftButton", CSide2);
    balanceCenterButton = button(QStringLiteral("중앙"), "balanceCenterButton", CSide2);
    balanceRightButton = button(QStringLiteral("우"), "balanceRightButton", CSide2);
    auto *right = new QVBoxLayout(CSide2);
    right->setContentsMargins(2, 0, 2, 0);
    right->setSpacing(2);
    right->addLayout(row({volumeLabel, volumeBar, volumeDownButton, volumeUpButton}));
    right->addLayout(row(
        {balanceCaption, balanceBar, balanceLeftButton, balanceCenterButton, balanceRightButton}));
    right->addStretch();

    CSide1->adjustSize();
    CSide2->adjustSize();
    setFixedHeight(sideTop + std::max(CSide1->sizeHint().height(), CSide2->sizeHint().height()));
}

void ControlBar::layoutSides()
{
    positionBar->setGeometry(0, 0, width(), sliderHeight);
    CSide1->setGeometry(0, sideTop, CSide1->sizeHint().width(), CSide1->sizeHint().height());
    const int side2Width = CSide2->sizeHint().width();
    const int side2Left = width() - side2Width;
    CSide2->setGeometry(side2Left, sideTop, side2Width, CSide2->sizeHint().height());
    CSide2->setVisible(side2Left >= CSide1->width());
}

int ControlBar::widthForBothSides() const
{
    return CSide1->sizeHint().width() + CSide2->sizeHint().width();
}

void ControlBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSides();
}
