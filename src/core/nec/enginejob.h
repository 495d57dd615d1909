// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::nec {

// How one engine process ended, as its launcher saw it.
struct ProcessEnd
{
    enum class Kind
    {
        Exited,    // `code` is the exit status
        Signalled, // `code` is the signal
    };
    Kind kind = Kind::Exited;
    int code = 0;
    std::string said; // what it wrote on its standard output and error
};

// One antenna check's run of the engine, whoever launches the processes: a private folder under TMPDIR (or
// /tmp) with one deck per process in it, the arguments each process gets (file names relative to the folder,
// which is the process's working directory, since nec2c cuts long names short), and the outputs read back
// with a message that names the cause when anything failed. The folder is locked while the job lives and
// removed when it ends; a folder whose run was killed is found by its unlocked lock and removed by the next
// job.
class EngineJob
{
public:
    ~EngineJob();
    EngineJob(const EngineJob &) = delete;
    EngineJob &operator=(const EngineJob &) = delete;

    // Makes the folder and writes the decks into it; gives the message for the user when that fails.
    [[nodiscard]] static std::variant<std::unique_ptr<EngineJob>, std::string>
    prepare(const std::vector<std::string> &decks);

    [[nodiscard]] const std::string &folder() const { return m_folder; }
    [[nodiscard]] std::size_t deckCount() const { return m_decks; }
    // The engine's arguments for one deck, its program name first.
    [[nodiscard]] std::vector<std::string> arguments(std::size_t deck) const;
    // Where a launcher that has no pipes of its own sends a process's messages, relative to the folder.
    [[nodiscard]] static std::string messagesFile(std::size_t deck);

    // Frequencies finished so far by all the processes: a frequency is done once its feed impedance is written.
    [[nodiscard]] int frequenciesDone() const;

    // Once every process has ended: each output in deck order, or why there are none.
    [[nodiscard]] std::variant<std::vector<std::string>, std::string>
    collect(const std::vector<ProcessEnd> &ends) const;

    // Removes the folder now; the destructor does it otherwise.
    void remove();

private:
    EngineJob() = default;

    std::string m_folder;
    std::size_t m_decks = 0;
    int m_lock = -1;
};

// Why there is no engine to run, for the user: not installed, or there but not executable, with the Debian
// package and how to install it.
struct EngineMissing
{
    std::string message;
};

// The engine's program on the PATH as an absolute path, whatever folder the engine then runs in; or why
// there is none.
[[nodiscard]] std::variant<std::string, EngineMissing> findEngine();
// When nec2c is there but could not be started.
[[nodiscard]] std::string engineCannotStartMessage(const std::string &program, const std::string &reason);
// When the run outlasted its limit and was stopped.
[[nodiscard]] std::string engineTimeLimitMessage(int seconds);

// Removes the folders of runs that were killed before they could clean up: this user's tarvelin-nec-*
// folders in `base` whose lock nobody holds. Gives how many were removed.
int removeStaleFolders(const std::string &base);

// The folder engine runs are made in: TMPDIR, or /tmp.
[[nodiscard]] std::string temporaryBase();

} // namespace tarvelin::nec
