#include "info.h"

#include "platform/homepage.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace oblenmediainfo {

info::info(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    setModal(true);
    resize(500, 300);

    m_textBox = new QPlainTextEdit(this);
    m_textBox->setReadOnly(true);
    m_textBox->setPlainText(aboutText());

    m_makerButton = new QPushButton(QStringLiteral("오블렌의 연구소"), this);
    m_mediaInfoButton = new QPushButton(QStringLiteral("MediaInfo 홈페이지"), this);
    m_okButton = new QPushButton(QStringLiteral("확인"), this);
    m_okButton->setDefault(true);

    connect(m_makerButton, &QPushButton::clicked, this, [] { openHomePage(makerHomePage); });
    connect(m_mediaInfoButton, &QPushButton::clicked, this,
            [] { openHomePage(mediaInfoHomePage); });
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_makerButton);
    buttons->addWidget(m_mediaInfoButton);
    buttons->addStretch();
    buttons->addWidget(m_okButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_textBox);
    layout->addLayout(buttons);
}

QString info::aboutText()
{
    return QStringLiteral(
               "오블렌 미디어 인포 (Oblen MediaInfo) v1.0.3\n"
               "만든 이: Oblen\n"
               "\n"
               "미디어 파일을 끌어다 놓거나 [열기]로 고르면, MediaInfo 라이브러리가 알려 주는 "
               "파일의 기술 정보를 보여 줍니다. 여러 파일을 한꺼번에 열 수도 있습니다.\n"
               "\n"
               "[라이선스]\n"
               "GPL과 LGPL 전문은 Oblen Encoder를 설치한 폴더의 doc/gpl.txt와 doc/lgpl.txt에 "
               "있습니다.\n"
               "이 프로그램은 MediaInfo 라이브러리(MediaInfoLib, MediaArea.net)를 씁니다. "
               "MediaInfo는 예전에 LGPL로 배포되었고, 지금 판은 BSD 2-Clause 라이선스를 "
               "따릅니다.\n"
               "MediaInfo 소스 코드: https://github.com/MediaArea/MediaInfoLib\n"
               "MediaInfo 공식 홈페이지: ") +
           mediaInfoHomePage.toString() + QLatin1Char('\n');
}

} // namespace oblenmediainfo
