// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QByteArray;

namespace tarvelin {

class MessageBoxService;

// Saves a file the windows produce (a sheet, a deck, a report): written beside its place and renamed into it,
// so a failure leaves no half a file, and the user is told why when it fails. Empty contents are nothing to
// save, for the reason given. Gives whether the file was saved.
bool saveWholeFile(MessageBoxService &messages, const QString &path, const QByteArray &contents, const QString &what,
                   const QString &whyEmpty);

} // namespace tarvelin
