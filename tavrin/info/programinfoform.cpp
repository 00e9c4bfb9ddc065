#include "programinfoform.h"

#include "engine/playercore.h"
#include "info/engineversion.h"
#include "info/smallwindow.h"
#include "info/versioninfo.h"
#include "platform/engineprogram.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString credits = QStringLiteral(
    "MPlayer는 MPlayer Team의 저작물이며 GNU 일반 공중 사용 허가서(GPL)에 따라 배포됩니다.\n"
    "자막 글꼴의 저작권은 그 글꼴의 저작권자에게 있으며, 글꼴의 사용 허가서에 따라 "
    "함께 배포됩니다.\n"
    "\n"
    "프로그래밍: Tavrin 개발자\n"
    "아이콘: Tavrin 디자이너\n"
    "베타 테스트: Tavrin 사용자 여러분\n"
    "\n"
    "이 프로그램은 개인, 회사, 학교, 관공서 어디에서나 자유롭게 사용할 수 있습니다.");

// A label shows each CR LF of a text as one line break.
QString forDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

programinfoform::programinfoform(PlayerCore &core, EngineVersion &engineVersion, QWidget *owner)
    : QWidget(owner), m_engineVersion(engineVersion), m_versionCaptionLabel(new QLabel(this)),
      m_engineVersionLabel(new QLabel(this)), m_VerT(new QPlainTextEdit(this)),
      m_FileVerT(new QLineEdit(this)), m_ProductVerT(new QLineEdit(this)),
      m_homePageButton(new QPushButton(QStringLiteral("홈페이지"), this)),
      m_okButton(new QPushButton(QStringLiteral("확인"), this))
{
    prepareSmallWindow(this, core);
    setWindowTitle(QStringLiteral("Tavrin 정보"));

    // The version texts are where the load's steps keep their results; the
    // user sees the label made of them.
    m_VerT->hide();
    m_FileVerT->hide();
    m_ProductVerT->hide();

    auto *creditsFrame = new QGroupBox(QStringLiteral("정보"), this);
    auto *creditsBox = new QPlainTextEdit(credits, creditsFrame);
    creditsBox->setReadOnly(true);
    auto *frameLayout = new QVBoxLayout(creditsFrame);
    frameLayout->addWidget(creditsBox);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_homePageButton);
    buttons->addStretch();
    buttons->addWidget(m_okButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_versionCaptionLabel);
    layout->addWidget(m_engineVersionLabel);
    layout->addWidget(creditsFrame);
    layout->addLayout(buttons);
    resize(420, 320);

    connect(m_homePageButton, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(homePageAddress)); });
    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);

    m_versionCaptionLabel->setText(VersionInfo::programVersionCaption(
        TAVRIN_VERSION_MAJOR, TAVRIN_VERSION_MINOR, TAVRIN_VERSION_PATCH));
    showEngineVersion();
    if (!m_engineVersion.isKnown()) {
        connect(&m_engineVersion, &EngineVersion::known, this, &programinfoform::showEngineVersion);
        m_engineVersion.request(locateEngine(core.programFolder()));
    }
}

void programinfoform::showEngineVersion()
{
    VerGET();
    FileVerGET();
    ProductVerGET();
    m_engineVersionLabel->setText(
        forDisplay(VersionInfo::engineVersionLabel(m_FileVerT->text(), m_ProductVerT->text())));
}

void programinfoform::VerGET()
{
    m_VerT->setPlainText(VersionInfo::versionText(m_engineVersion.fields()));
}

void programinfoform::FileVerGET()
{
    m_FileVerT->setText(VersionInfo::fieldFromText(
        m_VerT->toPlainText(), QStringLiteral("FileVersion"), m_FileVerT->text()));
}

void programinfoform::ProductVerGET()
{
    m_ProductVerT->setText(VersionInfo::fieldFromText(
        m_VerT->toPlainText(), QStringLiteral("ProductVersion"), m_ProductVerT->text()));
}
