// SPDX-License-Identifier: MIT
// Speed of the whole tarvelin-calc process, from start to exit: in batch mode, 10,000 frequency texts on
// standard input in each output format and a million in JSON; one fraction; and the antenna check at its
// defaults beside one nec2c process over the same deck with the whole sweep, measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

std::string writeFrequencies(int count)
{
    std::string path = "/tmp/tarvelin-bench-XXXXXX";
    const int fd = mkstemp(path.data());
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += std::to_string(1.8 + (i % 4000) * 0.01) + (i % 3 == 0 ? " MHz\n" : "\n");
    if (fd < 0 || write(fd, lines.data(), lines.size()) != static_cast<ssize_t>(lines.size()))
        std::abort();
    close(fd);
    return path;
}

// Runs tarvelin-calc (or another program given) over a file of frequencies in the given format, output to
// /dev/null; gives the exit status and, when asked, the child's peak memory in KiB.
int runOnce(const std::string &inputPath, const char *outputFormat, long *peakKiB = nullptr,
            const char *path = TARVELIN_CALC_PATH)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = path;
    std::string option = "--format";
    std::string format = outputFormat;
    char *argv[] = {program.data(), option.data(), format.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
        std::abort();
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (!peakKiB) {
        waitpid(pid, &status, 0);
        return status;
    }
    // The child's own high-water mark, read while it runs: the kernel's figure at exit would also count the
    // address space it was spawned from, which is this benchmark's.
    *peakKiB = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        std::ifstream statusFile("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(statusFile, line);)
            if (line.rfind("VmHWM:", 0) == 0)
                *peakKiB = std::max(*peakKiB, std::atol(line.c_str() + 6));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return status;
}

// 10,000 lines in each output format, whole process; the formats should cost about the same.
void batchOf10000(benchmark::State &state, const char *format)
{
    const std::string input = writeFrequencies(10000);
    for (auto _ : state) {
        const int status = runOnce(input, format);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("tarvelin-calc failed");
    }
    std::remove(input.c_str());
}
BENCHMARK_CAPTURE(batchOf10000, json, "json")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(3);
BENCHMARK_CAPTURE(batchOf10000, csv, "csv")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(3);
BENCHMARK_CAPTURE(batchOf10000, table, "table")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(3);

// The JSON batch beside a program that does the same calculation and writes the same JSON straight out,
// taken in turn in the same run; "times_straight_line" is how many times as long tarvelin-calc takes.
void jsonBatchBesideAStraightLine(benchmark::State &state)
{
    const std::string input = writeFrequencies(100000);
    std::chrono::duration<double> ours{};
    std::chrono::duration<double> floor{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (runOnce(input, "json") != 0)
            state.SkipWithError("tarvelin-calc failed");
        const auto middle = std::chrono::steady_clock::now();
        if (runOnce(input, "json", nullptr, TARVELIN_STRAIGHT_JSON_PATH) != 0)
            state.SkipWithError("the straight-line program failed");
        ours += middle - start;
        floor += std::chrono::steady_clock::now() - middle;
    }
    state.counters["times_straight_line"] = ours / floor;
    std::remove(input.c_str());
}
BENCHMARK(jsonBatchBesideAStraightLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);

// A million lines of JSON, with the peak memory beside the 10,000-line run's: a batch streams, so memory
// must not grow with its length.
void jsonBatchOfAMillion(benchmark::State &state)
{
    const std::string small = writeFrequencies(10000);
    const std::string large = writeFrequencies(1000000);
    long smallPeak = 0, largePeak = 0;
    for (auto _ : state) {
        const int status = runOnce(large, "json", &largePeak);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("tarvelin-calc failed");
    }
    runOnce(small, "json", &smallPeak);
    state.counters["peak_KiB"] = static_cast<double>(largePeak);
    state.counters["peak_KiB_10000"] = static_cast<double>(smallPeak);
    std::remove(small.c_str());
    std::remove(large.c_str());
}
BENCHMARK(jsonBatchOfAMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

// Runs a program to its end with stdout to a file (or /dev/null) and stderr to /dev/null; gives the exit
// status.
int runProgram(std::vector<std::string> arguments, const char *outputPath = "/dev/null", bool searchPath = false)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = searchPath ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                                   : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// One fraction, whole process: a long search, the hardest met so far, and one that ends in overflow.
void fractionProcess(benchmark::State &state, const char *value)
{
    for (auto _ : state) {
        const int status = runProgram({TARVELIN_CALC_PATH, "--fraction", value});
        if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
            state.SkipWithError("tarvelin-calc failed");
    }
}
BENCHMARK_CAPTURE(fractionProcess, 0.123456789, "0.123456789")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(fractionProcess, near_halves, "-0.66526518338830198")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(fractionProcess, overflow_tiny, "1e-300")->Unit(benchmark::kMillisecond)->UseRealTime();

// The check at its defaults, 13 frequencies and the azimuth cut, split over one nec2c per core, against one
// nec2c over the deck with the whole sweep, alternately in the same run. ratio = check / single engine.
void antennaCheckBesideOneEngine(benchmark::State &state)
{
    const std::string deck = "/tmp/tarvelin-bench-deck.nec";
    if (runProgram({TARVELIN_CALC_PATH, "--nec", "14.2"}, deck.c_str()) != 0) {
        state.SkipWithError("cannot write the deck");
        return;
    }
    double checkTotal = 0, engineTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const int engine = runProgram({"nec2c", "-i" + deck, "-o/tmp/tarvelin-bench-deck.out"}, "/dev/null", true);
        engineTotal += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        const int check = runProgram({TARVELIN_CALC_PATH, "--analyse", "--format", "json", "14.2"});
        checkTotal += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (engine != 0 || check != 0) {
            state.SkipWithError("nec2c or the check failed (is nec2c installed?)");
            return;
        }
    }
    state.counters["check_ms"] = checkTotal / static_cast<double>(state.iterations());
    state.counters["one_engine_ms"] = engineTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = checkTotal / engineTotal;
    std::remove(deck.c_str());
    std::remove("/tmp/tarvelin-bench-deck.out");
}
BENCHMARK(antennaCheckBesideOneEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10)->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
