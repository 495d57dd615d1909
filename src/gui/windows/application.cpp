// SPDX-License-Identifier: MIT
#include "gui/windows/application.h"

#include "gui/runtime/cupsprinter.h"
#include "gui/runtime/qtmessagebox.h"
#include "gui/windows/fonts.h"
#include "gui/windows/form1.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

namespace tarvelin {

inline constexpr char kDesktopFileName[] = "org.tarvelin.Tarvelin";

namespace {

int g_signalSocket = -1;

extern "C" void forwardSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    (void)!::write(g_signalSocket, &byte, 1);
}

// A TERM or HUP is written to a socket the event loop watches, which quits the application there: a signal
// handler may do nothing more.
class QuitOnSignals
{
public:
    QuitOnSignals()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0)
            return;
        g_signalSocket = m_sockets[0];
        m_notifier = std::make_unique<QSocketNotifier>(m_sockets[1], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
            char byte = 0;
            while (::read(m_sockets[1], &byte, 1) == 1) {
            }
            QCoreApplication::quit();
        });
        struct sigaction forward
        {
        };
        forward.sa_handler = forwardSignal;
        sigemptyset(&forward.sa_mask);
        forward.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &forward, nullptr);
        sigaction(SIGHUP, &forward, nullptr);
    }
    ~QuitOnSignals()
    {
        if (m_notifier) {
            std::signal(SIGTERM, SIG_DFL);
            std::signal(SIGHUP, SIG_DFL);
            g_signalSocket = -1;
            m_notifier.reset();
            ::close(m_sockets[0]);
            ::close(m_sockets[1]);
        }
    }
    QuitOnSignals(const QuitOnSignals &) = delete;
    QuitOnSignals &operator=(const QuitOnSignals &) = delete;

private:
    int m_sockets[2]{-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace

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
    QuitOnSignals quitOnSignals;
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
