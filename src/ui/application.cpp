// SPDX-License-Identifier: MIT
#include "ui/application.h"

#include "runtime/cupsprinter.h"
#include "runtime/qtmessagebox.h"
#include "ui/fonts.h"
#include "ui/form1.h"

#include <QGuiApplication>

namespace tarvelin {

inline constexpr char kDesktopFileName[] = "org.tarvelin.Tarvelin";

struct Application::Parts
{
    QtMessageBoxService messages;
    CupsPrinterService printer{messages};
    Form1 mainWindow{messages, printer};
};

Application::Application()
{
    QGuiApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QGuiApplication::setOrganizationName(QString::fromLatin1(kApplicationTitle)); // where the settings are kept
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    loadBundledFonts();
    m_parts = std::make_unique<Parts>();
    m_parts->mainWindow.show();
}

Application::~Application() = default;

Form1 &Application::mainWindow()
{
    return m_parts->mainWindow;
}

} // namespace tarvelin
