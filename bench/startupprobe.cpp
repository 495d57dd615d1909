// SPDX-License-Identifier: MIT
// Start-up probe for the benchmark: starts either Tarvelin, exactly as its main() does, or an empty Qt
// Widgets window of the same size, with or without one line of text. At the first paint it writes how long that took
// from the moment given as its argument (steady-clock nanoseconds, taken by the benchmark just before it started the
// probe); half a second later, idle, it writes its resident memory in KiB and quits.
#ifndef TARVELIN_PROBE_EMPTY
#include "gui/windows/application.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"
#endif

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(std::chrono::steady_clock::time_point started) : m_started(started) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - m_started;
            std::printf("first_paint_ms %.3f\n", took.count());
            QTimer::singleShot(500, qApp, [] {
                std::printf("idle_rss_kib %ld\n", residentKiB());
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static long residentKiB()
    {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmRSS:", 0) == 0)
                return std::atol(line.c_str() + 6);
        return -1;
    }

    std::chrono::steady_clock::time_point m_started;
    bool m_painted = false;
};

} // namespace

int main(int argc, char **argv)
{
    const std::chrono::steady_clock::time_point started{std::chrono::nanoseconds(argc > 1 ? std::atoll(argv[1]) : 0)};
#ifndef TARVELIN_PROBE_EMPTY
    tarvelin::FontConfigurationWarmUp fontConfiguration;
#endif
    QApplication app(argc, argv);
    FirstPaint quitter(started);
#ifdef TARVELIN_PROBE_EMPTY
    QWidget window;
    window.setFixedSize(730, 245);
#ifdef TARVELIN_PROBE_TEXT
    QLabel line(QStringLiteral("Seven-element cubical quad"), &window);
    line.move(20, 20);
#endif
    window.installEventFilter(&quitter);
    window.show();
#else
    fontConfiguration.wait();
    tarvelin::Application tarvelin;
    tarvelin.mainWindow().installEventFilter(&quitter);
#endif
    return QApplication::exec();
}
