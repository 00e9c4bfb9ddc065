#pragma once

#include <QColor>
#include <QString>

class QWidget;

// The open-file and colour dialogs. Callers make a fresh instance per use.
class comdlgcls
{
public:
    // Owner of the colour dialog, and its colour in and out (a COLORREF,
    // 0x00BBGGRR).
    QWidget *hOwner = nullptr;
    quint32 RGBResult = 0;

    // The chosen existing file, or empty text when cancelled. The filter is
    // written "name|*.a;*.b|name|*.c|" as everywhere in the program.
    QString ShowOpen(QWidget *owner, const QString &title, const QString &initialFolder,
                     const QString &filter, int flags = 0);
    // On confirmation RGBResult becomes the chosen colour; on cancel it stays.
    void ShowColor();

    // "name|*.a;*.b|" pairs as a file dialog's filter list, in their order.
    static QString dialogFilter(const QString &filter);
    static QColor colourOf(quint32 colorref);
    static quint32 colorrefOf(const QColor &colour);
};
