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

QString chooseSweepPath(QWidget *parent, const QString &title)
{
    return QFileDialog::getOpenFileName(parent, title, SettingsStore().saveFolder(),
                                        QStringLiteral("Analyser sweeps (*.s1p *.s2p *.ts *.S1P *.S2P);;All files (*)"));
}

std::optional<touchstone::Sweep> readSweepFile(MessageBoxService &messages, const QString &path)
{
    // An analyser's sweep is a few thousand lines at most: a file far larger is not one.
    constexpr qint64 kLargestSweepBytes = 64 * 1024 * 1024;
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    std::variant<touchstone::Sweep, std::string> read = std::string();
    if (!file.open(QIODevice::ReadOnly))
        read = "The sweep could not be read from " + path.toStdString() + ": " + file.errorString().toStdString() + ".";
    else if (file.size() > kLargestSweepBytes)
        read = name.toStdString() + " is larger than 64 MiB, which no analyser's sweep is.";
    else
        read = touchstone::readSweep(file.readAll().toStdString(), name.toStdString());
    if (const auto *refusal = std::get_if<std::string>(&read)) {
        MessageBoxRequest request;
        request.prompt = "The measured sweep was not loaded. " + *refusal;
        request.buttons = buttons::kWarning;
        request.title = kApplicationTitle;
        messages.MessageBox(request);
        return std::nullopt;
    }
    return std::get<touchstone::Sweep>(std::move(read));
}

} // namespace tarvelin
