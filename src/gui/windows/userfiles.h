// SPDX-License-Identifier: MIT
#pragma once

#include "core/touchstone/touchstone.h"

#include <QString>

#include <optional>
#include <string>

class QByteArray;
class QWidget;

namespace tarvelin {

class MessageBoxService;

// Saves a file the windows produce (a sheet, a deck, a report): written beside its place and renamed into it,
// so a failure leaves no half a file, and the user is told why when it fails. Empty contents are nothing to
// save, for the reason given. Gives whether the file was saved.
bool saveWholeFile(MessageBoxService &messages, const QString &path, const QByteArray &contents, const QString &what,
                   const QString &whyEmpty);

// Asks where to save `fileName` (a file of `suffix`, "pdf", shown as `filter`), starting in the folder the last
// file was saved in, which it remembers. Gives the path with its suffix, or nothing when the user cancels.
[[nodiscard]] QString chooseSavePath(QWidget *parent, const QString &title, const QString &fileName,
                                     const QString &filter, const QString &suffix);

// Asks which analyser's sweep to open (Touchstone .s1p, .s2p), starting where files were last saved.
[[nodiscard]] QString chooseSweepPath(QWidget *parent, const QString &title);

// Reads a small file the windows open (a sweep, a tuned design) as its text, or gives why not, naming it and
// `what` it should be: only a file is read, never a FIFO or a device that could hold the window up, and never
// more than a sweep or a design can be.
struct SmallFile
{
    std::optional<std::string> text;
    std::string refusal; // without a text: why, as a sentence
};
[[nodiscard]] SmallFile readSmallFile(const QString &path, const QString &what);

// Reads an analyser's sweep from its file; a file that cannot be read, or not whole, is refused in a message
// naming it, its line and what is wrong, and gives nothing.
[[nodiscard]] std::optional<touchstone::Sweep> readSweepFile(MessageBoxService &messages, const QString &path);

} // namespace tarvelin
