#include "comdlgcls.h"

#include "common/filename.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QUrl>
#include <QStringList>

QString comdlgcls::dialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            continue;
        const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString comdlgcls::ShowOpen(QWidget *owner, const QString &title, const QString &initialFolder,
                            const QString &filter, int)
{
    // The dialog only lets an existing file be chosen. Its answer is read
    // as an address, which keeps the bytes of a name that is not UTF-8.
    const QString path = fileNameFromUrl(QFileDialog::getOpenFileUrl(
        owner, title, QUrl::fromLocalFile(initialFolder), dialogFilter(filter)));
    return path.trimmed().isEmpty() ? QString() : path;
}

void comdlgcls::ShowColor()
{
    const QColor chosen = QColorDialog::getColor(colourOf(RGBResult), hOwner);
    if (chosen.isValid())
        RGBResult = colorrefOf(chosen);
}

QColor comdlgcls::colourOf(quint32 colorref)
{
    return QColor(colorref & 0xff, (colorref >> 8) & 0xff, (colorref >> 16) & 0xff);
}

quint32 comdlgcls::colorrefOf(const QColor &colour)
{
    return quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
}
