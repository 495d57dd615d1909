// SPDX-License-Identifier: MIT
#include "cli/necrunner.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace tarvelin::cli {

namespace {

namespace fs = std::filesystem;

// The private folder, gone when the run is over.
class WorkFolder
{
public:
    WorkFolder()
    {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = (base && *base ? std::string(base) : std::string("/tmp")) + "/tarvelin-nec-XXXXXX";
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~WorkFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    [[nodiscard]] const fs::path &path() const { return m_path; }

private:
    fs::path m_path;
};

std::string contentsOf(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

std::variant<std::vector<std::string>, EngineFailure> runEngine(const std::vector<std::string> &decks,
                                                                std::chrono::seconds limit)
{
    WorkFolder folder;
    if (folder.path().empty())
        return EngineFailure{std::string("cannot make a temporary folder: ") + std::strerror(errno)};

    std::vector<pid_t> children;
    const auto stopAll = [&] {
        for (const pid_t child : children)
            if (child > 0) {
                kill(child, SIGKILL);
                waitpid(child, nullptr, 0);
            }
        children.clear();
    };

    for (std::size_t i = 0; i < decks.size(); ++i) {
        const fs::path deck = folder.path() / ("deck" + std::to_string(i) + ".nec");
        std::ofstream(deck) << decks[i];
        const std::string input = "-i" + deck.string();
        const std::string output = "-o" + (folder.path() / ("deck" + std::to_string(i) + ".out")).string();
        const std::string messages = (folder.path() / ("deck" + std::to_string(i) + ".err")).string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        char *argv[] = {const_cast<char *>("nec2c"), const_cast<char *>(input.c_str()),
                        const_cast<char *>(output.c_str()), nullptr};
        pid_t child = 0;
        const int spawned = posix_spawnp(&child, "nec2c", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            stopAll();
            if (spawned == ENOENT)
                return EngineFailure{kEngineMissing};
            return EngineFailure{std::string("cannot start nec2c: ") + std::strerror(spawned)};
        }
        children.push_back(child);
    }

    // Wait for every child, as long as the limit allows.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<int> statuses(children.size(), -1);
    std::size_t running = children.size();
    while (running > 0) {
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (statuses[i] != -1)
                continue;
            int status = 0;
            if (waitpid(children[i], &status, WNOHANG) == children[i]) {
                statuses[i] = status;
                children[i] = 0;
                --running;
            }
        }
        if (running == 0)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            stopAll();
            return EngineFailure{"nec2c did not finish within " + std::to_string(limit.count()) +
                                 " seconds and was stopped."};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    std::vector<std::string> outputs;
    for (std::size_t i = 0; i < decks.size(); ++i) {
        const int status = statuses[i];
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::string said = trimmed(contentsOf(folder.path() / ("deck" + std::to_string(i) + ".err")));
            if (said.empty())
                said = WIFEXITED(status) ? "it exited with status " + std::to_string(WEXITSTATUS(status))
                                         : "it was ended by a signal";
            return EngineFailure{"nec2c failed: " + said};
        }
        outputs.push_back(contentsOf(folder.path() / ("deck" + std::to_string(i) + ".out")));
    }
    return outputs;
}

} // namespace tarvelin::cli
