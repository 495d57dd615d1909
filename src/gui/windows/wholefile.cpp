// SPDX-License-Identifier: MIT
#include "gui/windows/wholefile.h"

#include "gui/runtime/settingsstore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

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

QString chooseSavePath(QWidget *parent, const QString &title, const QString &fileName, const QString &filter,
                       const QString &suffix)
{
    SettingsStore settings;
    QString path = QFileDialog::getSaveFileName(parent, title, QDir(settings.saveFolder()).filePath(fileName), filter);
    if (path.isEmpty())
        return {};
    if (!path.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffix;
    settings.setSaveFolder(QFileInfo(path).absolutePath());
    return path;
}

} // namespace tarvelin
