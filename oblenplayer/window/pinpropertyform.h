#pragma once

#include <QDialog>

class FilterBrowser;
class QComboBox;
class QLabel;
class QPlainTextEdit;

// The property window of one filter: its pins in a drop-down list, its
// vendor and the description of the chosen pin. It works on the main
// window's lists: choosing a pin here selects it there and shows the
// description computed there.
class PinPropertyForm : public QDialog
{
    Q_OBJECT
public:
    PinPropertyForm(FilterBrowser &browser, QWidget *owner);

    // Selects filter line `filter`, copies its pins and labels and selects
    // pin 0.
    void load(int filter);

    QComboBox *listPins() const { return m_listPins; }
    QLabel *lblVendorInfo() const { return m_lblVendorInfo; }
    QPlainTextEdit *txtPinInfo() const { return m_txtPinInfo; }

private:
    void selectPin(int line);

    FilterBrowser &m_browser;
    QComboBox *m_listPins = nullptr;
    QLabel *m_lblVendorInfo = nullptr;
    QPlainTextEdit *m_txtPinInfo = nullptr;
};
