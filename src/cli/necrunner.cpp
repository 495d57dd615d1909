// SPDX-License-Identifier: MIT
#include "cli/necrunner.h"

#include "core/nec/enginejob.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvelin::cli {

namespace {

constexpr std::array<int, 3> kStopSignals{SIGTERM, SIGHUP, SIGINT};

volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void noteStopSignal(int signal)
{
    g_stopSignal = signal;
}

// While the engine runs, a stop signal is only noted, so the run can stop its children and remove its folder
// before the program ends of that same signal.
class StopSignals
{
public:
    StopSignals()
    {
        g_stopSignal = 0;
        struct sigaction note
        {
        };
        note.sa_handler = noteStopSignal;
        sigemptyset(&note.sa_mask);
        for (std::size_t i = 0; i < kStopSignals.size(); ++i)
            sigaction(kStopSignals[i], &note, &m_previous[i]);
    }
    ~StopSignals() { restore(); }
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    void restore()
    {
        for (std::size_t i = 0; i < kStopSignals.size(); ++i)
            sigaction(kStopSignals[i], &m_previous[i], nullptr);
    }

private:
    std::array<struct sigaction, kStopSignals.size()> m_previous{};
};

struct Started
{
    pid_t child = 0;
    int error = 0;
};

// Starts one engine in the job's folder, its output to a messages file, dying with this process. Gives the
// child, or why it could not be started (the errno of exec, passed back through a pipe closed by exec).
Started startEngine(const std::string &program, const nec::EngineJob &job, std::size_t deck)
{
    const std::vector<std::string> arguments = job.arguments(deck);
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const std::string messages = job.folder() + "/" + nec::EngineJob::messagesFile(deck);

    std::array<int, 2> report{};
    if (pipe2(report.data(), O_CLOEXEC) != 0)
        return {0, errno};
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return {0, error};
    }
    if (child == 0) {
        // Only async-signal-safe calls from here to exec.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int input = open("/dev/null", O_RDONLY);
        const int output = open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (input < 0 || output < 0 || dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 ||
            dup2(output, STDERR_FILENO) < 0 || chdir(job.folder().c_str()) != 0) {
            const int error = errno;
            (void)!write(report[1], &error, sizeof error);
            _exit(127);
        }
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        signal(SIGHUP, SIG_DFL);
        execv(program.c_str(), argv.data());
        const int error = errno;
        (void)!write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int error = 0;
    ssize_t got = 0;
    do
        got = read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == sizeof error) {
        waitpid(child, nullptr, 0);
        return {0, error};
    }
    return {child, 0};
}

} // namespace

std::variant<std::vector<std::string>, EngineFailure> runEngine(const std::vector<std::string> &decks,
                                                                std::chrono::seconds limit)
{
    const std::optional<std::string> program = nec::findEngine();
    if (!program)
        return EngineFailure{nec::engineMissingMessage()};
    StopSignals stopSignals;
    auto prepared = nec::EngineJob::prepare(decks);
    if (const auto *message = std::get_if<std::string>(&prepared))
        return EngineFailure{*message};
    nec::EngineJob &job = *std::get<std::unique_ptr<nec::EngineJob>>(prepared);

    std::vector<pid_t> children;
    const auto stopAll = [&] {
        for (pid_t &child : children)
            if (child > 0) {
                kill(child, SIGKILL);
                waitpid(child, nullptr, 0);
                child = 0;
            }
    };

    std::vector<nec::ProcessEnd> ends(decks.size());
    for (std::size_t i = 0; i < decks.size(); ++i) {
        const Started started = startEngine(*program, job, i);
        if (started.child == 0) {
            stopAll();
            return EngineFailure{nec::engineCannotStartMessage(*program, std::strerror(started.error))};
        }
        children.push_back(started.child);
    }

    // Wait for every child, as long as the limit allows.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::size_t running = children.size();
    while (running > 0) {
        for (std::size_t i = 0; i < children.size(); ++i) {
            int status = 0;
            if (children[i] > 0 && waitpid(children[i], &status, WNOHANG) == children[i]) {
                ends[i] = WIFSIGNALED(status) ? nec::ProcessEnd{nec::ProcessEnd::Kind::Signalled, WTERMSIG(status), {}}
                                              : nec::ProcessEnd{nec::ProcessEnd::Kind::Exited, WEXITSTATUS(status), {}};
                children[i] = 0;
                --running;
            }
        }
        if (g_stopSignal != 0) {
            const int signal = g_stopSignal;
            stopAll();
            job.remove();
            stopSignals.restore();
            std::raise(signal);
            return EngineFailure{"stopped by signal " + std::to_string(signal)};
        }
        if (running == 0)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            stopAll();
            return EngineFailure{nec::engineTimeLimitMessage(static_cast<int>(limit.count()))};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    for (std::size_t i = 0; i < decks.size(); ++i) {
        std::FILE *said = std::fopen((job.folder() + "/" + nec::EngineJob::messagesFile(i)).c_str(), "re");
        if (said) {
            std::array<char, 4096> text{};
            ends[i].said.assign(text.data(), std::fread(text.data(), 1, text.size(), said));
            std::fclose(said);
        }
    }
    auto collected = job.collect(ends);
    if (auto *message = std::get_if<std::string>(&collected))
        return EngineFailure{std::move(*message)};
    return std::get<std::vector<std::string>>(std::move(collected));
}

} // namespace tarvelin::cli
