#include "subtitleform.h"

#include "engine/comdlgcls.h"
#include "engine/openpaths.h"
#include "engine/playercore.h"
#include "window/windowrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValidator>

namespace {
const QStringList fontSizes = {
    QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"),
    QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"),
    QStringLiteral("20"), QStringLiteral("22"), QStringLiteral("24"), QStringLiteral("26"),
    QStringLiteral("28"), QStringLiteral("36"), QStringLiteral("48"), QStringLiteral("72")};

const QString styledNote =
    QStringLiteral("기본 자막 설정 사용을 해제하시면 ASS 자막으로 바뀝니다.\n"
                   "ASS 자막을 사용하면 폰트 선택및 컬러 설정등등의 기능이 "
                   "있습니다.\n"
                   "다만 아래 글을 참고하시고 설정을 해제하시기 바랍니다.");
const QString boxesNote = QStringLiteral(
    "기본 자막 설정 사용에 체크해제하면 자막이 네모로 나오는 이유는 아래와 같습니다.\n"
    "윈도우XP 에서 사용자 계정이 한글이름일경우 fontconfig 폴더를 생성을 "
    "못합니다.\n"
    "생성하게 하려면 사용자 계정을 영문명으로 만들어야합니다.\n"
    "영문명으로 만든 뒤 한글로 이름 바꾸셔도 됩니다.\n"
    "다만, 이미 한글이름일경우 영문으로 이름변경하여도 \n"
    "계정폴더 자체는 한글이므로 fontconfig 폴더를 생성할 수 없습니다.\n"
    "*비스타 이후 운영체제에서는 한글이름을 사용해도 상관 없음");

// A box whose text goes onto the engine's command line takes only what the
// engine takes: a key that would make it unreadable is refused.
class EngineNumberValidator : public QValidator
{
public:
    EngineNumberValidator(const SubtitleNumbers::Rule &rule, QObject *parent)
        : QValidator(parent), m_rule(rule)
    {
    }
    State validate(QString &input, int &) const override
    {
        switch (SubtitleNumbers::judge(input, m_rule)) {
        case SubtitleNumbers::Verdict::acceptable:
            return Acceptable;
        case SubtitleNumbers::Verdict::unfinished:
            return Intermediate;
        default:
            return Invalid;
        }
    }

private:
    SubtitleNumbers::Rule m_rule;
};

QLineEdit *textBox(const QString &name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFixedWidth(64);
    return box;
}

// The selection follows the text: the last equal entry, or none for a name
// the list does not hold (the box is editable and keeps it).
void selectText(QComboBox *combo, const QString &text)
{
    int found = -1;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == text)
            found = i;
    }
    combo->setCurrentIndex(found);
    combo->setEditText(text);
}
} // namespace

subtitleform::subtitleform(PlayerCore &core, MediaOpener &opener, QWidget *owner)
    : QDialog(owner), m_core(core), m_opener(opener)
{
    setObjectName(QStringLiteral("subtitleform"));
    setWindowTitle(QStringLiteral("자막 설정"));
    setModal(false);
    // A transient dialog of the main window: it stacks above it, and above
    // every other window too when the always-on-top choice wants it.
    const std::optional<bool> onTop =
        WindowRules::alwaysOnTopWanted(core.options().checkedItem(Menu::alwaysOnTopMenu),
                                       core.state().value(Field::playStateField));
    if (onTop)
        setWindowFlag(Qt::WindowStaysOnTopHint, *onTop);

    m_useDefault =
        new QCheckBox(QStringLiteral("기본 자막 설정 사용(자막이 네모로 나온다면 체크)"), this);
    m_useDefault->setObjectName(QStringLiteral("subUseDefaultCheck"));

    auto *apply = new QPushButton(QStringLiteral("적용"), this);
    apply->setObjectName(QStringLiteral("subApplyButton"));
    auto *close = new QPushButton(QStringLiteral("닫기"), this);
    close->setObjectName(QStringLiteral("subCloseButton"));
    m_problemLabel = new QLabel(this);
    m_problemLabel->setObjectName(QStringLiteral("subProblemLabel"));
    m_problemLabel->setStyleSheet(QStringLiteral("QLabel { color: #c00000; }"));
    // The window keeps its size whatever the label says.
    m_problemLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_problemLabel, 1);
    buttons->addWidget(apply);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_useDefault);
    layout->addWidget(buildPlainPanel());
    layout->addWidget(buildStylePanel());
    layout->addLayout(buttons);

    // The panel's place stays when it is hidden: the window keeps one size
    // instead of jumping under the pointer at every click of the box.
    QSizePolicy panelPolicy = m_plainPanel->sizePolicy();
    panelPolicy.setRetainSizeWhenHidden(true);
    m_plainPanel->setSizePolicy(panelPolicy);
    connect(m_useDefault, &QCheckBox::toggled, m_plainPanel, &QWidget::setVisible);
    connect(apply, &QPushButton::clicked, this, &subtitleform::apply);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    load();
}

QWidget *subtitleform::buildPlainPanel()
{
    m_plainPanel = new QFrame(this);
    m_plainPanel->setObjectName(QStringLiteral("subPlainPanel"));
    m_plainSize = textBox(QStringLiteral("subPlainSizeBox"), m_plainPanel);
    m_plainMargin = textBox(QStringLiteral("subPlainMarginBox"), m_plainPanel);
    m_plainOutline = textBox(QStringLiteral("subPlainOutlineBox"), m_plainPanel);
    m_plainBlur = textBox(QStringLiteral("subPlainBlurBox"), m_plainPanel);
    m_fontPath = new QLineEdit(m_plainPanel);
    m_fontPath->setObjectName(QStringLiteral("subFontPathBox"));

    auto *boxes = new QHBoxLayout;
    const std::tuple<const char *, QLineEdit *, SubtitleNumbers::Rule> rows[] = {
        {"크기", m_plainSize, SubtitleNumbers::textScale},
        {"수직 여백", m_plainMargin, SubtitleNumbers::position},
        {"외곽선 두께", m_plainOutline, SubtitleNumbers::outline},
        {"블러", m_plainBlur, SubtitleNumbers::blur}};
    for (const auto &[caption, box, rule] : rows) {
        const QString name = QString::fromUtf8(caption);
        boxes->addWidget(new QLabel(name, m_plainPanel));
        boxes->addWidget(box);
        const QString need = name + QStringLiteral(": ") + SubtitleNumbers::need(rule) +
                             QStringLiteral("를 넣으세요.");
        box->setValidator(new EngineNumberValidator(rule, box));
        box->setToolTip(need);
        box->installEventFilter(this);
        m_engineNumberBoxes.append({box, need});
        connect(box, &QLineEdit::inputRejected, this, [this, box, need] { tellNeed(box, need); });
        connect(box, &QLineEdit::textChanged, this, [this, box] {
            if (box->hasAcceptableInput() && m_problemBox == box)
                clearNeed();
        });
    }
    boxes->addStretch(1);
    auto *path = new QHBoxLayout;
    path->addWidget(new QLabel(QStringLiteral("폰트 경로:"), m_plainPanel));
    path->addWidget(m_fontPath, 1);

    auto *layout = new QVBoxLayout(m_plainPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(boxes);
    layout->addLayout(path);
    layout->addWidget(new QLabel(styledNote, m_plainPanel));
    layout->addWidget(new QLabel(boxesNote, m_plainPanel));
    return m_plainPanel;
}

QWidget *subtitleform::buildStylePanel()
{
    auto *panel = new QWidget(this);
    m_fontCombo = new QComboBox(panel);
    m_fontCombo->setObjectName(QStringLiteral("subFontCombo"));
    // Editable: the chosen family may not be installed here ("Arial"), and
    // it is still shown and handed to the engine as it is.
    m_fontCombo->setEditable(true);
    m_fontCombo->setInsertPolicy(QComboBox::NoInsert);
    m_fontCombo->setMinimumWidth(220);
    m_sizeCombo = new QComboBox(panel);
    m_sizeCombo->setObjectName(QStringLiteral("subSizeCombo"));
    m_sizeCombo->setEditable(true);
    m_sizeCombo->setInsertPolicy(QComboBox::NoInsert);
    m_sizeCombo->addItems(fontSizes);
    m_bold = new QCheckBox(QStringLiteral("굵게"), panel);
    m_bold->setObjectName(QStringLiteral("subBoldCheck"));
    m_italic = new QCheckBox(QStringLiteral("기울임"), panel);
    m_italic->setObjectName(QStringLiteral("subItalicCheck"));
    m_marginV = textBox(QStringLiteral("subMarginVBox"), panel);
    m_outline = textBox(QStringLiteral("subOutlineBox"), panel);
    m_shadow = textBox(QStringLiteral("subShadowBox"), panel);

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("폰트"), panel), 0, 0);
    grid->addWidget(m_fontCombo, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("크기"), panel), 0, 4);
    grid->addWidget(m_sizeCombo, 0, 5);
    grid->addWidget(m_bold, 1, 1);
    grid->addWidget(m_italic, 1, 2);
    const std::pair<const char *, QLineEdit *> boxes[] = {
        {"수직 여백", m_marginV}, {"외곽선 두께", m_outline}, {"그림자 깊이", m_shadow}};
    int row = 2;
    for (const auto &[caption, box] : boxes) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption), panel), row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }

    const char *swatchNames[] = {"subTextColourSwatch", "subOutlineColourSwatch",
                                 "subShadowColourSwatch"};
    const char *buttonNames[] = {"subTextColourButton", "subOutlineColourButton",
                                 "subShadowColourButton"};
    const char *captions[] = {"텍스트 색상", "외곽선 색상", "그림자 색상"};
    for (int i = 0; i < 3; ++i) {
        m_swatches[i] = new QLabel(panel);
        m_swatches[i]->setObjectName(QLatin1String(swatchNames[i]));
        m_swatches[i]->setFixedSize(24, 24);
        m_swatches[i]->setFrameShape(QFrame::Box);
        m_swatches[i]->setAutoFillBackground(true);
        auto *button = new QPushButton(QString::fromUtf8(captions[i]), panel);
        button->setObjectName(QLatin1String(buttonNames[i]));
        connect(button, &QPushButton::clicked, this, [this, i] { chooseColour(i); });
        grid->addWidget(m_swatches[i], 2 + i, 3);
        grid->addWidget(button, 2 + i, 4, 1, 2);
        setColour(i, 0);
    }

    grid->addWidget(new QLabel(QStringLiteral("미리보기"), panel), 5, 0);
    m_previewLabel = new QLabel(panel);
    m_previewLabel->setObjectName(QStringLiteral("subPreviewLabel"));
    // A fixed place: a large size clips the sample instead of growing the window.
    m_previewLabel->setFixedSize(360, 72);
    m_previewLabel->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(m_previewLabel, 6, 0, 1, 6);
    auto *previewButton = new QPushButton(QStringLiteral("미리보기적용"), panel);
    previewButton->setObjectName(QStringLiteral("subPreviewButton"));
    grid->addWidget(previewButton, 5, 4, 1, 2);

    connect(previewButton, &QPushButton::clicked, this, &subtitleform::preview);
    connect(m_fontCombo, &QComboBox::currentTextChanged, this, &subtitleform::preview);
    connect(m_sizeCombo, &QComboBox::currentTextChanged, this, &subtitleform::preview);
    connect(m_bold, &QCheckBox::clicked, this, &subtitleform::preview);
    connect(m_italic, &QCheckBox::clicked, this, &subtitleform::preview);
    return panel;
}

void subtitleform::load()
{
    m_fontCombo->addItems(SubtitleFonts::engineFamilies(QFontDatabase::families()));

    const SubtitleSettings s = SubtitleSettings::fromState(m_core.state(), currentSettings());
    m_sizeCombo->setEditText(s.fontSize);
    m_bold->setChecked(s.bold);
    m_italic->setChecked(s.italic);
    m_marginV->setText(s.marginV);
    m_outline->setText(s.outline);
    m_shadow->setText(s.shadow);
    setColour(0, s.textColour);
    setColour(1, s.outlineColour);
    setColour(2, s.shadowColour);
    m_useDefault->setChecked(s.useDefault);
    m_plainPanel->setVisible(s.useDefault);
    m_fontPath->setText(s.fontPath);
    m_plainSize->setText(s.plainScale);
    m_plainMargin->setText(s.plainPosition);
    m_plainOutline->setText(s.plainOutline);
    m_plainBlur->setText(s.plainBlur);
    selectText(m_sizeCombo, s.fontSize);
    selectText(m_fontCombo, s.fontName);
    preview();
}

SubtitleSettings subtitleform::currentSettings() const
{
    SubtitleSettings s;
    s.fontName = m_fontCombo->currentText();
    s.fontSize = m_sizeCombo->currentText();
    s.bold = m_bold->isChecked();
    s.italic = m_italic->isChecked();
    s.marginV = m_marginV->text();
    s.outline = m_outline->text();
    s.shadow = m_shadow->text();
    s.textColour = m_colours[0];
    s.outlineColour = m_colours[1];
    s.shadowColour = m_colours[2];
    s.useDefault = m_useDefault->isChecked();
    s.fontPath = m_fontPath->text();
    s.plainScale = m_plainSize->text();
    s.plainPosition = m_plainMargin->text();
    s.plainOutline = m_plainOutline->text();
    s.plainBlur = m_plainBlur->text();
    return s;
}

void subtitleform::preview()
{
    QFont font = m_previewLabel->font();
    font.setFamily(m_fontCombo->currentText());
    if (const std::optional<double> size =
            SubtitleFonts::previewPointSize(m_sizeCombo->currentText()))
        font.setPointSizeF(*size);
    font.setBold(m_bold->isChecked());
    font.setItalic(m_italic->isChecked());
    m_previewLabel->setFont(font);
    m_previewLabel->setText(m_fontCombo->currentText());
}

void subtitleform::apply()
{
    // A value the engine cannot take would stop this run and every later
    // one: nothing is written until each box holds one it takes.
    for (const auto &[box, need] : std::as_const(m_engineNumberBoxes)) {
        if (!box->hasAcceptableInput()) {
            box->setFocus(Qt::OtherFocusReason);
            box->selectAll();
            tellNeed(box, need);
            return;
        }
    }
    clearNeed();
    currentSettings().writeTo(m_core.state());
    // Nothing runs: the values wait for the next start.
    m_opener.restartAtPosition();
}

void subtitleform::chooseColour(int swatch)
{
    comdlgcls dialog;
    dialog.hOwner = this;
    dialog.RGBResult = m_colours[swatch];
    dialog.ShowColor();
    setColour(swatch, dialog.RGBResult);
}

void subtitleform::setColour(int swatch, quint32 colorref)
{
    m_colours[swatch] = colorref;
    QPalette palette = m_swatches[swatch]->palette();
    palette.setColor(QPalette::Window, comdlgcls::colourOf(colorref));
    m_swatches[swatch]->setPalette(palette);
}

void subtitleform::tellNeed(QLineEdit *box, const QString &need)
{
    m_problemBox = box;
    m_problemLabel->setText(need);
    if (box->isVisible())
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), need, box);
}

void subtitleform::clearNeed()
{
    m_problemBox = nullptr;
    m_problemLabel->clear();
}

bool subtitleform::eventFilter(QObject *watched, QEvent *event)
{
    // A box left with a text the engine cannot take (emptied, or given one
    // from outside) keeps the focus until it holds one. Leaving the window
    // is no leaving of the box.
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        for (const auto &[box, need] : std::as_const(m_engineNumberBoxes)) {
            if (box != watched || box->hasAcceptableInput() || !box->isVisible() ||
                reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                continue;
            QTimer::singleShot(0, box, [box = box] { box->setFocus(Qt::OtherFocusReason); });
            tellNeed(box, need);
        }
    }
    return QDialog::eventFilter(watched, event);
}
