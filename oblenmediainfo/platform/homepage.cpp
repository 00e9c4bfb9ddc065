#include "homepage.h"

#include <QDesktopServices>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcHomePage, "oblenmediainfo.homepage")

void openHomePage(const QUrl &address)
{
    // No browser is not worth a message: the address is in the about text.
    if (!QDesktopServices::openUrl(address))
        qCInfo(lcHomePage) << "no browser opened" << address;
}
