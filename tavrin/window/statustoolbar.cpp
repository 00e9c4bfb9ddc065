#include "statustoolbar.h"

#include "twips.h"

#include <QLabel>

namespace {
QLabel *whiteLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

void paintBlack(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget->setPalette(palette);
}
} // namespace

StatusToolbar::StatusToolbar(QWidget *parent)
    : QWidget(parent), m_name(whiteLabel(QStringLiteral("nameLabel"), this)),
      m_right(new QWidget(this)), m_info(whiteLabel(QStringLiteral("infoLabel"), m_right))
{
    setObjectName(QStringLiteral("statusToolbar"));
    m_right->setObjectName(QStringLiteral("statusRightToolbar"));
    paintBlack(this);
    paintBlack(m_right);
    setFixedHeight(barHeight);
    m_name->move(twips(120), twips(60));
    m_right->setGeometry(twips(4800), 0, twips(3135), twips(375));
    m_info->move(0, twips(60));
}

void StatusToolbar::setName(const QString &name)
{
    if (m_name->text() == name)
        return;
    m_name->setText(name);
    m_name->adjustSize();
}

void StatusToolbar::setInfo(const QString &info)
{
    m_infoText = info;
    showRightText();
}

void StatusToolbar::setNotice(const QString &notice)
{
    m_noticeText = notice;
    showRightText();
}

void StatusToolbar::showRightText()
{
    m_info->setText(m_noticeText.isEmpty() ? m_infoText : m_noticeText);
    m_info->adjustSize();
    placeRightPart();
}

void StatusToolbar::placeRightPart()
{
    // The summary's part grows with its text and stays flush right, over the
    // name if the window is too narrow for both.
    m_right->resize(m_info->width() + twips(60), m_right->height());
    m_right->move(width() - m_right->width(), 0);
    m_right->raise();
}

void StatusToolbar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeRightPart();
}
