// SPDX-License-Identifier: MIT
// Speed of the whole tarvelin-calc process in batch mode: 10,000 frequency texts on standard input,
// one JSON object per line out, from process start to exit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

int runOnce(const std::string &inputPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char program[] = TARVELIN_CALC_PATH;
    char format[] = "--format";
    char json[] = "json";
    char *argv[] = {program, format, json, nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0)
        std::abort();
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

void jsonBatchOf10000(benchmark::State &state)
{
    const std::string input = writeFrequencies(10000);
    for (auto _ : state) {
        const int status = runOnce(input);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("tarvelin-calc failed");
    }
    std::remove(input.c_str());
}
BENCHMARK(jsonBatchOf10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20)->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
