#pragma once

#include <QUrl>

// Opens a web page in the user's browser.
void openHomePage(const QUrl &address);
