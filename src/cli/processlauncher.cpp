// SPDX-License-Identifier: MIT
#include "cli/processlauncher.h"

#include "core/nec/enginejob.h"
#include "core/nec/enginechild.h"
#include "core/runtime/signalpipe.h"
#include "core/runtime/systemerror.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvelin::cli {

using nec::EngineJob;
using nec::ProcessEnd;
using study::EngineFailure;
using study::EngineOutputs;
using study::EngineRound;

namespace {

struct Started
{
    pid_t child = 0;
    int error = 0;
};

// Starts one engine in the job's folder, its messages to a file, leading a process group of its own and
// dying with this process. Gives the child, or why it could not be started (exec's errno, passed back through
// a pipe that exec closes).
Started startEngine(const std::string &program, const EngineJob &job, std::size_t deck)
{
    const std::vector<std::string> arguments = job.arguments(deck);
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const std::string messages = job.folder() + "/" + EngineJob::messagesFile(deck);

    std::array<int, 2> report{};
    if (::pipe2(report.data(), O_CLOEXEC) != 0)
        return {0, errno};
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return {0, error};
    }
    if (child == 0) {
        // Only async-signal-safe calls from here to exec.
        nec::becomeEngineChild(parent);
        const int input = ::open("/dev/null", O_RDONLY);
        const int output = ::open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (input < 0 || output < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0 ||
            ::dup2(output, STDERR_FILENO) < 0 || ::chdir(job.folder().c_str()) != 0) {
            const int error = errno;
            (void)!::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::execv(program.c_str(), argv.data());
        const int error = errno;
        (void)!::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    // Both sides set the group, so it is there whichever runs first.
    ::setpgid(child, child);
    ::close(report[1]);
    int error = 0;
    ssize_t got = 0;
    do
        got = ::read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == sizeof error) {
        ::waitpid(child, nullptr, 0);
        return {0, error};
    }
    return {child, 0};
}

// Every engine of the round, stopped with whatever it started, and reaped.
void stopAll(std::vector<pid_t> &children)
{
    for (pid_t &child : children)
        if (child > 0) {
            ::kill(-child, SIGKILL);
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            child = 0;
        }
}

std::string messagesOf(const EngineJob &job, std::size_t deck)
{
    std::string said;
    if (std::FILE *file = std::fopen((job.folder() + "/" + EngineJob::messagesFile(deck)).c_str(), "re")) {
        std::array<char, 4096> text{};
        said.assign(text.data(), std::fread(text.data(), 1, text.size(), file));
        std::fclose(file);
    }
    return said;
}

} // namespace

void ProcessLauncher::start(const EngineRound &round, std::function<void(EngineOutputs)> done)
{
    done(run(round));
}

EngineOutputs ProcessLauncher::run(const EngineRound &round)
{
    const auto found = nec::findEngine();
    if (const auto *missing = std::get_if<nec::EngineMissing>(&found))
        return EngineFailure{missing->message};
    const std::string *program = std::get_if<std::string>(&found);
    SignalPipe armed(SignalPipe::Children::Noted);
    if (!armed.ready())
        return EngineFailure{"Cannot wait for nec2c: " + systemErrorText(errno) + "."};
    auto prepared = EngineJob::prepare(round.decks);
    if (const auto *message = std::get_if<std::string>(&prepared))
        return EngineFailure{*message};
    EngineJob &job = *std::get<std::unique_ptr<EngineJob>>(prepared);

    std::vector<pid_t> children;
    for (std::size_t i = 0; i < round.decks.size(); ++i) {
        const Started started = startEngine(*program, job, i);
        if (started.child == 0) {
            stopAll(children);
            return EngineFailure{nec::engineCannotStartMessage(*program, systemErrorText(started.error))};
        }
        children.push_back(started.child);
    }

    // Wait for every child, as long as the limit allows, waking for each signal.
    std::vector<ProcessEnd> ends(round.decks.size());
    const auto deadline = std::chrono::steady_clock::now() + round.timeLimit;
    std::size_t running = children.size();
    while (true) {
        for (std::size_t i = 0; i < children.size(); ++i) {
            siginfo_t ended{};
            if (children[i] <= 0 ||
                ::waitid(P_PID, static_cast<id_t>(children[i]), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 ||
                ended.si_pid != children[i])
                continue;
            // What the engine started dies with it, while its group is still its own: before it is reaped.
            ::kill(-children[i], SIGKILL);
            int status = 0;
            ::waitpid(children[i], &status, 0);
            ends[i] = WIFSIGNALED(status) ? ProcessEnd{ProcessEnd::Kind::Signalled, WTERMSIG(status), {}}
                                          : ProcessEnd{ProcessEnd::Kind::Exited, WEXITSTATUS(status), {}};
            children[i] = 0;
            --running;
        }
        if (running == 0)
            break;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            stopAll(children);
            return EngineFailure{nec::engineTimeLimitMessage(static_cast<int>(round.timeLimit.count())), true};
        }
        pollfd wake{armed.readEnd(), POLLIN, 0};
        if (::poll(&wake, 1, static_cast<int>(std::min<long long>(left.count() + 1, 60'000))) > 0) {
            std::array<unsigned char, 64> noted{};
            ssize_t got = 0;
            while ((got = ::read(armed.readEnd(), noted.data(), noted.size())) > 0) {
                for (ssize_t k = 0; k < got; ++k) {
                    const int signal = noted[static_cast<std::size_t>(k)];
                    if (signal == SIGCHLD)
                        continue;
                    stopAll(children);
                    job.remove();
                    armed.close();
                    m_stops.endOf(signal);
                }
            }
        }
    }

    for (std::size_t i = 0; i < round.decks.size(); ++i)
        ends[i].said = messagesOf(job, i);
    auto collected = job.collect(ends);
    if (auto *message = std::get_if<std::string>(&collected))
        return EngineFailure{std::move(*message)};
    return std::get<std::vector<std::string>>(std::move(collected));
}

} // namespace tarvelin::cli
