// SPDX-License-Identifier: MIT
#include "gui/windows/wholefile.h"

#include "core/runtime/filewrite.h"
#include "core/runtime/messagebox.h"
#include "gui/runtime/qtmessagebox.h"

#include <QByteArray>
#include <QFile>

namespace tarvelin {

bool saveWholeFile(MessageBoxService &messages, const QString &path, const QByteArray &contents, const QString &what,
                   const QString &whyEmpty)
{
    std::optional<std::string> failure;
    if (contents.isEmpty())
        failure = whyEmpty.toStdString();
    else
        failure = writeWholeFile(QFile::encodeName(path).toStdString(),
                                 std::string_view(contents.constData(), static_cast<std::size_t>(contents.size())));
    if (!failure)
        return true;
    MessageBoxRequest request;
    request.prompt = QStringLiteral("The %1 could not be saved to %2: %3.\n\nNothing was written; a file that was "
                                    "there is as it was.")
                         .arg(what, path, QString::fromStdString(*failure))
                         .toStdString();
    request.buttons = buttons::kWarning;
    request.title = kApplicationTitle;
    messages.MessageBox(request);
    return false;
}

} // namespace tarvelin
