#include "pinpropertyform.h"

#include "graph/filterbrowser.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

PinPropertyForm::PinPropertyForm(FilterBrowser &browser, QWidget *owner)
    : QDialog(owner), m_browser(browser)
{
    setObjectName(QStringLiteral("propertyWindow"));
    setModal(true);
    // Kept above every other window, the main window's always-on-top included.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *tabs = new QTabWidget(this);
    auto *page = new QWidget(tabs);
    m_listPins = new QComboBox(page);
    m_listPins->setObjectName(QStringLiteral("listPins"));
    m_lblVendorInfo = new QLabel(page);
    m_lblVendorInfo->setObjectName(QStringLiteral("lblVendorInfo"));
    m_lblVendorInfo->setWordWrap(true);
    m_txtPinInfo = new QPlainTextEdit(page);
    m_txtPinInfo->setObjectName(QStringLiteral("txtPinInfo"));
    m_txtPinInfo->setReadOnly(true);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(m_listPins);
    pageLayout->addWidget(m_lblVendorInfo);
    pageLayout->addWidget(m_txtPinInfo);
    tabs->addTab(page, QStringLiteral("핀 속성"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    resize(360, 260);

    connect(m_listPins, &QComboBox::activated, this, &PinPropertyForm::selectPin);
}

void PinPropertyForm::load(int filter)
{
    m_browser.selectFilter(filter);
    // A plain copy: nothing else runs while the list is filled.
    {
        const QSignalBlocker block(m_listPins);
        m_listPins->clear();
        m_listPins->addItems(m_browser.listPins());
    }
    setWindowTitle(m_browser.lblFilterName() + QStringLiteral(" 속성"));
    m_lblVendorInfo->setText(m_browser.lblVendorInfo());
    if (m_listPins->count() > 0) {
        m_listPins->setCurrentIndex(0);
        selectPin(0);
    }
}

void PinPropertyForm::selectPin(int line)
{
    m_browser.selectPin(line);
    // The description keeps its CR LF line ends; shown, each is one break.
    QString text = m_browser.txtPinInfo();
    m_txtPinInfo->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
