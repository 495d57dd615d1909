// SPDX-License-Identifier: MIT
#include "gui/windows/userfiles.h"

#include "gui/runtime/settingsstore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "core/runtime/fileread.h"
#include "core/runtime/filewrite.h"
#include "gui/runtime/messagebox.h"
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
    return QFileDialog::getOpenFileName(
        parent, title, SettingsStore().saveFolder(),
        QStringLiteral("Analyser sweeps (*.s1p *.s2p *.ts *.S1P *.S2P);;All files (*)"));
}

SmallFile readSmallFile(const QString &path, const QString &what)
{
    auto read = readWholeFile(QFile::encodeName(path).toStdString(), Streams::Refused);
    const auto *refusal = std::get_if<ReadRefusal>(&read);
    if (!refusal)
        return {std::get<std::string>(std::move(read)), {}};
    switch (refusal->kind) {
    case ReadRefusal::Kind::System:
        return {std::nullopt, path.toStdString() + " could not be read: " + refusal->reason + "."};
    case ReadRefusal::Kind::TooLarge:
        return {std::nullopt, QFileInfo(path).fileName().toStdString() + " is larger than 64 MiB, which no " +
                                  what.toStdString() + " is."};
    case ReadRefusal::Kind::NotAFile:
        break;
    }
    return {std::nullopt, path.toStdString() + " is " + refusal->reason + ", not a file: save the " +
                              what.toStdString() + " to a file and open that."};
}

std::optional<touchstone::Sweep> readSweepFile(MessageBoxService &messages, const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const SmallFile file = readSmallFile(path, QStringLiteral("analyser's sweep"));
    std::variant<touchstone::Sweep, std::string> read =
        file.text ? touchstone::readSweep(*file.text, name.toStdString()) : file.refusal;
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
