// SPDX-License-Identifier: MIT
#include "gui/runtime/qtmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QShortcut>
#include <QPushButton>

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

int QtMessageBoxService::MessageBox(const MessageBoxRequest &request)
{
    const std::vector<Choice> choices = choicesFor(request.buttons);
    QMessageBox box(iconFor(request.buttons), QString::fromStdString(request.title.value_or(kApplicationTitle)),
                    QString::fromStdString(request.prompt), QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    std::vector<std::pair<QAbstractButton *, int>> codes;
    for (const Choice &choice : choices)
        codes.emplace_back(box.addButton(choice.button), choice.code);
    const auto defaultIndex =
        std::min<std::size_t>((request.buttons >> kDefaultButtonShift) & kDefaultButtonMask, choices.size() - 1);
    box.setDefaultButton(qobject_cast<QPushButton *>(codes[defaultIndex].first));

    // A help reference adds a Help button. No help file is installed, so asking for help says so and
    // returns to the question.
    QAbstractButton *help = request.helpFile ? box.addButton(QMessageBox::Help) : nullptr;
    // The desktop's close keys (Ctrl+W) close the box as its close box and Esc do.
    QObject::connect(new QShortcut(QKeySequence::Close, &box), &QShortcut::activated, &box, &QMessageBox::reject);

    for (;;) {
        box.exec();
        if (help && box.clickedButton() == help) {
            QMessageBox::information(&box, box.windowTitle(),
                                     QStringLiteral("No help is installed for this question (%1, topic %2).")
                                         .arg(QString::fromStdString(*request.helpFile))
                                         .arg(request.helpContext.value_or(0)));
            continue;
        }
        break;
    }
    for (const auto &[button, code] : codes)
        if (box.clickedButton() == button)
            return code;
    // Closed without a button (the window's close box or Escape): the box's escape answer, as the platform
    // chose it, or the last button.
    return codes.back().second;
}

} // namespace tarvelin
