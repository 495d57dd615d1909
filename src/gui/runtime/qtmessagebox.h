// SPDX-License-Identifier: MIT
#pragma once

#include "gui/runtime/messagebox.h"

#include <QString>

class QWidget;

namespace tarvelin {

// The application's title: what a message box without a title of its own carries.
inline constexpr char kApplicationTitle[] = "Tarvelin";

// The message box of the windows: a modal QMessageBox over the active window, with the buttons, icon and
// default button its buttons value asks for.
class QtMessageBoxService final : public MessageBoxService
{
public:
    int MessageBox(const MessageBoxRequest &request) override;
    void show(const MessageBoxRequest &request, std::function<void(int)> answered = {}) override;
};

} // namespace tarvelin
