// SPDX-License-Identifier: MIT
#include "gui/runtime/qtmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QShortcut>
#include <QPushButton>

#include <memory>
#include <utility>
#include <vector>

namespace tarvelin {

namespace {

// Buttons values: the low three bits choose the set of buttons, the next three the icon, the two above those
// the default button.
constexpr int kButtonSetMask = 0x7;
constexpr int kIconMask = 0x70;
constexpr int kDefaultButtonShift = 8;
constexpr int kDefaultButtonMask = 0x3;

struct Choice
{
    QMessageBox::StandardButton button;
    int code;
};

std::vector<Choice> choicesFor(int buttonsValue)
{
    constexpr int kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5;
    switch (buttonsValue & kButtonSetMask) {
    case 1:
        return {{QMessageBox::Ok, answer::kOk}, {QMessageBox::Cancel, kCancel}};
    case 2:
        return {{QMessageBox::Abort, kAbort}, {QMessageBox::Retry, kRetry}, {QMessageBox::Ignore, kIgnore}};
    case 3:
        return {{QMessageBox::Yes, answer::kYes}, {QMessageBox::No, answer::kNo}, {QMessageBox::Cancel, kCancel}};
    case 4:
        return {{QMessageBox::Yes, answer::kYes}, {QMessageBox::No, answer::kNo}};
    case 5:
        return {{QMessageBox::Retry, kRetry}, {QMessageBox::Cancel, kCancel}};
    default:
        return {{QMessageBox::Ok, answer::kOk}};
    }
}

QMessageBox::Icon iconFor(int buttonsValue)
{
    switch (buttonsValue & kIconMask) {
    case 16:
        return QMessageBox::Critical;
    case buttons::kQuestionIcon:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case buttons::kInformationIcon:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

namespace {

// A box for the request, its buttons with their codes; the Help button, when the request names help.
struct Box
{
    QMessageBox *box = nullptr;
    std::vector<std::pair<QAbstractButton *, int>> codes;
    QAbstractButton *help = nullptr;

    // Closed without a button (the window's close box or Escape): the box's escape answer, as the platform
    // chose it, or the last button.
    [[nodiscard]] int answer() const
    {
        for (const auto &[button, code] : codes)
            if (box->clickedButton() == button)
                return code;
        return codes.back().second;
    }

    [[nodiscard]] bool askedForHelp() const { return help && box->clickedButton() == help; }

    // No help file is installed, so asking for help says so, in a box of its own over the question.
    [[nodiscard]] QMessageBox *helpBox(const MessageBoxRequest &request) const
    {
        auto *said = new QMessageBox(QMessageBox::Information, box->windowTitle(),
                                     QStringLiteral("No help is installed for this question (%1, topic %2).")
                                         .arg(QString::fromStdString(request.helpFile.value_or(std::string())))
                                         .arg(request.helpContext.value_or(0)),
                                     QMessageBox::Ok, box);
        said->setAttribute(Qt::WA_DeleteOnClose);
        return said;
    }
};

Box boxFor(const MessageBoxRequest &request)
{
    Box made;
    const std::vector<Choice> choices = choicesFor(request.buttons);
    made.box =
        new QMessageBox(iconFor(request.buttons), QString::fromStdString(request.title.value_or(kApplicationTitle)),
                        QString::fromStdString(request.prompt), QMessageBox::NoButton, QApplication::activeWindow());
    made.box->setTextFormat(Qt::PlainText);
    for (const Choice &choice : choices)
        made.codes.emplace_back(made.box->addButton(choice.button), choice.code);
    const auto defaultIndex =
        std::min<std::size_t>((request.buttons >> kDefaultButtonShift) & kDefaultButtonMask, choices.size() - 1);
    made.box->setDefaultButton(qobject_cast<QPushButton *>(made.codes[defaultIndex].first));
    if (request.helpFile)
        made.help = made.box->addButton(QMessageBox::Help);
    // The desktop's close keys (Ctrl+W) close the box as its close box and Esc do.
    QObject::connect(new QShortcut(QKeySequence::Close, made.box), &QShortcut::activated, made.box,
                     &QMessageBox::reject);
    return made;
}

} // namespace

int QtMessageBoxService::MessageBox(const MessageBoxRequest &request)
{
    const Box made = boxFor(request);
    const std::unique_ptr<QMessageBox> owner(made.box);
    // A question asked as the user acts waits for its answer; help returns to it.
    for (made.box->exec(); made.askedForHelp(); made.box->exec())
        made.helpBox(request)->exec();
    return made.answer();
}

void QtMessageBoxService::show(const MessageBoxRequest &request, std::function<void(int)> answered)
{
    const Box made = boxFor(request);
    made.box->setWindowModality(Qt::ApplicationModal);
    // Nothing here waits: help is a box of its own, and its end opens the question again.
    QObject::connect(made.box, &QMessageBox::finished, made.box, [made, request, answered = std::move(answered)] {
        if (made.askedForHelp()) {
            QMessageBox *help = made.helpBox(request);
            help->setWindowModality(Qt::ApplicationModal);
            QObject::connect(help, &QMessageBox::finished, made.box, [box = made.box] { box->open(); });
            help->open();
            return;
        }
        made.box->deleteLater();
        if (answered)
            answered(made.answer());
    });
    made.box->open();
}

} // namespace tarvelin
