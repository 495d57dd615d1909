// SPDX-License-Identifier: MIT
#include "gui/windows/application.h"

#include "gui/runtime/cupsprinter.h"
#include "gui/runtime/qtmessagebox.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace tarvelin {

inline constexpr char kDesktopFileName[] = "org.tarvelin.Tarvelin";

std::unique_ptr<QTemporaryDir> divertUnusableSettings()
{
    // The files QSettings reads, named as it names them: asking QSettings itself would read them already.
    // Beside the program's own file it reads one for the whole organisation.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString organisation = QCoreApplication::organizationName();
    for (const QString &path : {folder + QLatin1Char('/') + organisation + QLatin1Char('/') +
                                    QCoreApplication::applicationName() + QStringLiteral(".conf"),
                                folder + QLatin1Char('/') + organisation + QStringLiteral(".conf")}) {
        const QFileInfo file(path);
        if (!file.exists() || file.isFile())
            continue;
        auto diverted = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, diverted->path());
        std::fprintf(stderr,
                     "tarvelin: %s is not a regular file, so the settings are neither read nor kept this time.\n",
                     qPrintable(path));
        return diverted;
    }
    return nullptr;
}

struct Application::Parts
{
    std::unique_ptr<QTemporaryDir> divertedSettings = divertUnusableSettings();
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
