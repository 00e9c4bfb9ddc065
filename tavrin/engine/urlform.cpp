#include "urlform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

urlform::urlform(bool alwaysOnTop, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("urlform"));
    setWindowTitle(QStringLiteral("URL 열기"));
    setWindowFlag(Qt::WindowStaysOnTopHint, alwaysOnTop);

    auto *label = new QLabel(QStringLiteral("주소"), this);
    m_urlInputBox = new QLineEdit(this);
    m_urlInputBox->setObjectName(QStringLiteral("urlInputBox"));
    m_urlInputBox->setMinimumWidth(360);
    auto *open = new QPushButton(QStringLiteral("URL 열기"), this);
    open->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("취소"), this);
    // "URL 열기" keeps the typed address; "취소" discards it.
    connect(open, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &urlform::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_urlInputBox, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(open);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void urlform::reject()
{
    m_urlInputBox->clear();
    QDialog::reject();
}
