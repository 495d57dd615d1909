// SPDX-License-Identifier: MIT
#include "ui/wholefile.h"

#include "runtime/messagebox.h"
#include "runtime/qtmessagebox.h"

#include <QByteArray>
#include <QSaveFile>

namespace tarvelin {

bool saveWholeFile(MessageBoxService &messages, const QString &path, const QByteArray &contents, const QString &what,
                   const QString &whyEmpty)
{
    QSaveFile file(path);
    if (!contents.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() &&
        file.commit())
        return true;
    MessageBoxRequest request;
    request.prompt = QStringLiteral("The %1 could not be saved: %2\n\nNothing was written.")
                         .arg(what, contents.isEmpty() ? whyEmpty : file.errorString())
                         .toStdString();
    request.buttons = buttons::kWarning;
    request.title = kApplicationTitle;
    messages.MessageBox(request);
    return false;
}

} // namespace tarvelin
