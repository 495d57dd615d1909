// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tarvelin {

// Buttons values of a message box: what it offers, its icon and its default button, added together.
namespace buttons {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kQuestionIcon = 32;
inline constexpr int kWarningIcon = 48;
inline constexpr int kInformationIcon = 64;
inline constexpr int kSecondButtonDefault = 256;

inline constexpr int kInformation = kOkOnly + kInformationIcon;                         // 64
inline constexpr int kWarning = kOkOnly + kWarningIcon;                                 // 48
inline constexpr int kConfirmNoDefault = kYesNo + kQuestionIcon + kSecondButtonDefault; // 292
} // namespace buttons

// The code of the button the user pressed.
namespace answer {
inline constexpr int kOk = 1;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
} // namespace answer

struct MessageBoxRequest
{
    std::string prompt;
    int buttons = buttons::kOkOnly;
    std::optional<std::string> title; // none: the box carries the application's title
    std::optional<std::string> helpFile;
    std::optional<int> helpContext;
};

// The modal message box as the program's logic sees it. The windows use a real dialog; the command-line
// companion and the tests substitute their own, so nothing blocks on a box nobody can answer.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;

    // Shows the box and waits for the answer; gives the code of the button pressed. For a handler's own
    // question, asked as the user acts.
    virtual int MessageBox(const MessageBoxRequest &request) = 0;

    // Shows the box and returns at once; `answered`, if any, hears the code of the button pressed. What a
    // background callback raises goes this way, so that no event loop waits inside the callback. A service
    // with nothing to wait for answers at once.
    virtual void show(const MessageBoxRequest &request, std::function<void(int)> answered = {})
    {
        const int code = MessageBox(request);
        if (answered)
            answered(code);
    }
};

} // namespace tarvelin
