// SPDX-License-Identifier: MIT
// Speed of the windows, on the X display the benchmark runs on:
// - start-up, from process start to the main window's first paint, beside an empty Qt Widgets window of
//   the same size started the same way, alternately, in one run; and again beside that window showing a
//   line of text;
// - a Calculate click until every caption is set and the window has repainted;
// - Copy Results to the clipboard, and Save as PDF to a file, from the context menu's entries;
// - the Shop Sheet window from its menu entry to its first paint, and its Save PDF;
// - the longest the event loop waits while an antenna check runs.
#include "gui/runtime/cupsprinter.h"
#include "gui/runtime/messagebox.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/check/antennacheckwindow.h"
#include "gui/windows/main/form1.h"
#include "gui/windows/sheet/shopsheetwindow.h"

#include <QApplication>
#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

struct ProbeRun
{
    double firstPaintMs = -1;
    long idleKiB = -1;
};

// Starts a probe with the current steady-clock time and reads what it reports.
ProbeRun runProbe(const char *path)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::string started = std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    char *argv[] = {const_cast<char *>(path), started.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    ProbeRun run;
    if (spawned == 0) {
        std::string report;
        char chunk[256];
        for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
            report.append(chunk, static_cast<std::size_t>(got));
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            std::sscanf(report.c_str(), "first_paint_ms %lf idle_rss_kib %ld", &run.firstPaintMs, &run.idleKiB);
    }
    close(pipeEnds[0]);
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Time to the first paint and resident memory half a second later, each beside a plain Qt Widgets window of
// the same size started alternately in the same run. Medians, as a start-up now and then waits for the virtual
// display or the other core and would pull a mean with it.
void startUpBeside(benchmark::State &state, const char *baselinePath, const std::string &baseline)
{
    std::vector<double> tarvelinMs, baselineMs, tarvelinKiB, baselineKiB;
    for (auto _ : state) {
        const ProbeRun other = runProbe(baselinePath);
        const ProbeRun tarvelin = runProbe(TARVELIN_PROBE_PATH);
        if (other.firstPaintMs < 0 || tarvelin.firstPaintMs < 0 || other.idleKiB < 0 || tarvelin.idleKiB < 0) {
            state.SkipWithError("a start-up probe failed (is there a display?)");
            return;
        }
        baselineMs.push_back(other.firstPaintMs);
        tarvelinMs.push_back(tarvelin.firstPaintMs);
        baselineKiB.push_back(static_cast<double>(other.idleKiB));
        tarvelinKiB.push_back(static_cast<double>(tarvelin.idleKiB));
    }
    state.counters["tarvelin_ms"] = median(tarvelinMs);
    state.counters[baseline + "_ms"] = median(baselineMs);
    state.counters["time_ratio"] = median(tarvelinMs) / median(baselineMs);
    state.counters["tarvelin_KiB"] = median(tarvelinKiB);
    state.counters[baseline + "_KiB"] = median(baselineKiB);
    state.counters["memory_ratio"] = median(tarvelinKiB) / median(baselineKiB);
}

// Beside an empty window.
void startUpToFirstPaint(benchmark::State &state)
{
    startUpBeside(state, TARVELIN_PROBE_EMPTY_PATH, "empty_window");
}
BENCHMARK(startUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20)->Repetitions(3);

// The empty window never asks for a font, so it never reads the system's font configuration, which any window
// that shows text must. Beside the same window with one line of text, the ratio shows what Tarvelin's own
// start-up adds to that of a window that shows text.
void startUpBesideATextWindow(benchmark::State &state)
{
    startUpBeside(state, TARVELIN_PROBE_TEXT_PATH, "text_window");
}
BENCHMARK(startUpBesideATextWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20)->Repetitions(3);

class SilentMessages final : public tarvelin::MessageBoxService
{
public:
    int MessageBox(const tarvelin::MessageBoxRequest &) override { return tarvelin::answer::kOk; }
};

// Two frequencies in turn, so that every caption really changes and is repainted on every click.
void calculateClickAndRepaint(benchmark::State &state)
{
    SilentMessages messages;
    tarvelin::CupsPrinterService printer{messages}; // never asked: no Print is pressed
    tarvelin::Form1 form(messages, printer);
    form.show();
    QApplication::processEvents();
    const QString frequencies[] = {QStringLiteral("28.5"), QStringLiteral("14.2")};
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        form.frequencyBox()->setText(frequencies[turn++ % 2]);
        state.ResumeTiming();
        form.calculateButton()->click();
        form.repaint();
    }
}
BENCHMARK(calculateClickAndRepaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The results of 14.2 MHz onto the clipboard, as the menu entry and Ctrl+C do it.
void copyResults(benchmark::State &state)
{
    SilentMessages messages;
    tarvelin::CupsPrinterService printer{messages};
    tarvelin::Form1 form(messages, printer);
    form.show();
    form.frequencyBox()->setText(QStringLiteral("14.2"));
    form.calculateButton()->click();
    QApplication::processEvents();
    for (auto _ : state)
        form.copyResultsAction()->trigger();
}
BENCHMARK(copyResults)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Save as PDF without the file dialog: print layout, the vector page, the screen layout, the file renamed
// into place.
void saveAsPdf(benchmark::State &state)
{
    SilentMessages messages;
    tarvelin::CupsPrinterService printer{messages};
    tarvelin::Form1 form(messages, printer);
    form.show();
    form.frequencyBox()->setText(QStringLiteral("28.5"));
    form.calculateButton()->click();
    QApplication::processEvents();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("quad.pdf"));
    for (auto _ : state)
        form.saveAsPdf(path);
}
BENCHMARK(saveAsPdf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Quits the benchmark's wait at the first paint of the watched window.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
    bool painted = false;
};

// From the menu entry to the Shop Sheet window's first paint, a new window each time.
void shopSheetToFirstPaint(benchmark::State &state)
{
    SilentMessages messages;
    tarvelin::CupsPrinterService printer{messages};
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<tarvelin::Form1>(messages, printer);
        form->show();
        form->frequencyBox()->setText(QStringLiteral("14.2"));
        form->calculateButton()->click();
        QApplication::processEvents();
        FirstPaint paint;
        state.ResumeTiming();
        form->shopSheetAction()->trigger();
        form->shopSheet()->installEventFilter(&paint);
        while (!paint.painted)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(shopSheetToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

void shopSheetSavePdf(benchmark::State &state)
{
    SilentMessages messages;
    tarvelin::CupsPrinterService printer{messages};
    tarvelin::Form1 form(messages, printer);
    form.frequencyBox()->setText(QStringLiteral("14.2"));
    form.calculateButton()->click();
    form.openShopSheet();
    QApplication::processEvents();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("sheet.pdf"));
    for (auto _ : state) {
        const bool saved = form.shopSheet()->savePdf(path);
        benchmark::DoNotOptimize(saved);
    }
}
BENCHMARK(shopSheetSavePdf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// While the engine runs, a 1 ms timer shows how long the event loop is ever kept from handling events.
void antennaCheckEventLoopGap(benchmark::State &state)
{
    SilentMessages messages;
    tarvelin::CupsPrinterService printer{messages};
    tarvelin::Form1 form(messages, printer);
    form.frequencyBox()->setText(QStringLiteral("14.2"));
    form.calculateButton()->click();
    form.openAntennaCheck();
    QApplication::processEvents();
    double longestGapMs = 0;
    for (auto _ : state) {
        tarvelin::AntennaCheckWindow *check = form.antennaCheck();
        QTimer tick;
        tick.setInterval(1);
        auto last = std::chrono::steady_clock::now();
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const auto now = std::chrono::steady_clock::now();
            longestGapMs = std::max(longestGapMs, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        });
        tick.start();
        check->run();
        while (check->running())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!check->summary()) {
            state.SkipWithError("the check gave no figures (is nec2c installed?)");
            return;
        }
    }
    state.counters["longest_gap_ms"] = longestGapMs;
}
BENCHMARK(antennaCheckEventLoopGap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tarvelin::loadBundledFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
