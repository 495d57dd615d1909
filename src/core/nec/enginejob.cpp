// SPDX-License-Identifier: MIT
#include "core/nec/enginejob.h"

#include "core/runtime/systemerror.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tarvelin::nec {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFolderPrefix = "tarvelin-nec-";
constexpr const char *kLockName = "lock";
constexpr const char *kEngine = "nec2c";
// A folder with less room than this after a run was full while the engine wrote.
constexpr unsigned long long kFullBelowBytes = 64 * 1024;
// A folder younger than this may belong to a job that has made it but not yet locked it.
constexpr auto kStaleAfter = std::chrono::seconds(30);

std::string deckName(std::size_t deck)
{
    return "deck" + std::to_string(deck) + ".nec";
}

std::string outputName(std::size_t deck)
{
    return "deck" + std::to_string(deck) + ".out";
}

std::optional<std::string> contentsOf(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() &&
           (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// The engine states why it gave up as the last line it writes.
std::string lastLine(std::string_view text)
{
    text = trimmed(text);
    const std::size_t end = text.rfind('\n');
    return std::string(trimmed(end == std::string_view::npos ? text : text.substr(end + 1)));
}

bool nearlyFull(const std::string &folder)
{
    struct statvfs room
    {
    };
    if (::statvfs(folder.c_str(), &room) != 0)
        return false;
    return static_cast<unsigned long long>(room.f_bavail) * room.f_frsize < kFullBelowBytes;
}

std::string fullFolderMessage(const std::string &base)
{
    return "The temporary folder " + base +
           " is full (no space left on device), so nec2c could not write its results. Free some space there, or "
           "set TMPDIR to a folder with room, and run the check again.";
}

bool writeDeck(const std::string &path, const std::string &deck)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::string_view rest(deck);
    while (!rest.empty()) {
        const ssize_t written = ::write(fd, rest.data(), rest.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            const int error = errno;
            ::close(fd);
            errno = error;
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::close(fd) == 0;
}

} // namespace

std::string temporaryBase()
{
    const char *base = std::getenv("TMPDIR");
    std::string path = base && *base ? std::string(base) : std::string("/tmp");
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

namespace {

// Only what a run puts in its folder: the lock, and each deck with its output and the engine's messages.
bool madeByARun(std::string_view name)
{
    if (name == "." || name == ".." || name == kLockName)
        return true;
    if (!name.starts_with("deck"))
        return false;
    name.remove_prefix(4);
    std::size_t digits = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9')
        ++digits;
    const std::string_view ending = name.substr(digits);
    return digits > 0 && (ending == ".nec" || ending == ".out" || ending == ".err");
}

// A run's folder holds our lock file, holding nothing or the process that took it, and only the files a run
// makes. Anything else is someone's own folder that merely looks like ours, and is never touched.
bool looksLikeARunsFolder(const std::string &path)
{
    DIR *folder = ::opendir(path.c_str());
    if (!folder)
        return false;
    bool hasLock = false;
    bool onlyOurs = true;
    while (const dirent *entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        hasLock = hasLock || name == kLockName;
        onlyOurs = onlyOurs && madeByARun(name);
    }
    ::closedir(folder);
    if (!hasLock || !onlyOurs)
        return false;
    const std::optional<std::string> owner = contentsOf(path + "/" + kLockName);
    if (!owner || owner->size() > 16)
        return false;
    const std::string_view pid = trimmed(*owner);
    return std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

int removeStaleFolders(const std::string &base)
{
    DIR *folder = ::opendir(base.c_str());
    if (!folder)
        return 0;
    int removed = 0;
    const auto now = fs::file_time_type::clock::now();
    while (const dirent *entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(kFolderPrefix) || name.size() != kFolderPrefix.size() + 6)
            continue;
        const std::string path = base + "/" + std::string(name);
        struct stat about
        {
        };
        if (::lstat(path.c_str(), &about) != 0 || !S_ISDIR(about.st_mode) || about.st_uid != ::getuid())
            continue;
        if (!looksLikeARunsFolder(path))
            continue;
        std::error_code error;
        const auto changed = fs::last_write_time(path, error);
        if (error)
            continue;
        // A live job holds its lock, and writes its process into the lock file once it holds it. A killed
        // job's lock is free; a lock never written to is left a while, since its job may be taking it now.
        const int lock = ::open((path + "/" + kLockName).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (lock < 0)
            continue;
        struct stat lockFile
        {
        };
        const bool taken = ::fstat(lock, &lockFile) == 0 && S_ISREG(lockFile.st_mode) && lockFile.st_size > 0;
        const bool stale = ::flock(lock, LOCK_EX | LOCK_NB) == 0 && (taken || now - changed > kStaleAfter);
        ::close(lock);
        if (stale && fs::remove_all(path, error) > 0 && !error)
            ++removed;
    }
    ::closedir(folder);
    return removed;
}

std::variant<std::unique_ptr<EngineJob>, std::string> EngineJob::prepare(const std::vector<std::string> &decks)
{
    const std::string base = temporaryBase();
    removeStaleFolders(base);
    std::unique_ptr<EngineJob> job(new EngineJob);
    std::string pattern = base + "/" + std::string(kFolderPrefix) + "XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        const int error = errno;
        if (error == ENOSPC)
            return fullFolderMessage(base);
        return "Cannot make a folder for nec2c in " + base + ": " + systemErrorText(error) + ".";
    }
    job->m_folder = pattern;
    job->m_lock = ::open((pattern + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const std::string owner = std::to_string(::getpid()) + "\n";
    if (job->m_lock < 0 || ::flock(job->m_lock, LOCK_EX) != 0 ||
        ::write(job->m_lock, owner.data(), owner.size()) != static_cast<ssize_t>(owner.size())) {
        const int error = errno;
        if (error == ENOSPC)
            return fullFolderMessage(base);
        return "Cannot make a folder for nec2c in " + base + ": " + systemErrorText(error) + ".";
    }
    for (std::size_t i = 0; i < decks.size(); ++i)
        if (!writeDeck(pattern + "/" + deckName(i), decks[i])) {
            const int error = errno;
            if (error == ENOSPC || error == EDQUOT)
                return fullFolderMessage(base);
            return "Cannot write the deck for nec2c in " + pattern + ": " + systemErrorText(error) + ".";
        }
    job->m_decks = decks.size();
    return job;
}

EngineJob::~EngineJob()
{
    remove();
}

void EngineJob::remove()
{
    if (!m_folder.empty()) {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
        m_folder.clear();
    }
    if (m_lock >= 0) {
        ::close(m_lock);
        m_lock = -1;
    }
}

std::vector<std::string> EngineJob::arguments(std::size_t deck) const
{
    return {kEngine, "-i" + deckName(deck), "-o" + outputName(deck)};
}

std::string EngineJob::messagesFile(std::size_t deck)
{
    return "deck" + std::to_string(deck) + ".err";
}

int EngineJob::frequenciesDone() const
{
    int done = 0;
    for (std::size_t i = 0; i < m_decks; ++i) {
        const std::optional<std::string> output = contentsOf(m_folder + "/" + outputName(i));
        if (!output)
            continue;
        // Once per frequency, after its solution, whatever pattern cards follow.
        for (std::size_t at = output->find("ANTENNA INPUT PARAMETERS"); at != std::string::npos;
             at = output->find("ANTENNA INPUT PARAMETERS", at + 1))
            ++done;
    }
    return done;
}

std::variant<std::vector<std::string>, std::string> EngineJob::collect(const std::vector<ProcessEnd> &ends) const
{
    if (ends.size() != m_decks)
        return "nec2c failed: " + std::to_string(ends.size()) + " processes ended for " + std::to_string(m_decks) +
               " decks.";
    std::vector<std::string> outputs;
    const bool full = nearlyFull(m_folder);
    for (std::size_t i = 0; i < m_decks; ++i) {
        const ProcessEnd &end = ends[i];
        if (end.kind == ProcessEnd::Kind::Signalled)
            return "nec2c was stopped by signal " + std::to_string(end.code) + " (" + ::strsignal(end.code) +
                   ") before it finished.";
        const std::optional<std::string> output = contentsOf(m_folder + "/" + outputName(i));
        const bool complete = output && output->find("RUN TIME") != std::string::npos;
        if (end.code == 0 && complete) {
            outputs.push_back(*output);
            continue;
        }
        if (full)
            return fullFolderMessage(temporaryBase());
        if (end.code == 0 && !output)
            return "nec2c wrote no output.";
        std::string reason = output ? lastLine(*output) : std::string();
        if (reason.empty())
            reason = lastLine(end.said);
        if (reason.empty() && end.code != 0)
            reason = "it exited with status " + std::to_string(end.code);
        if (reason.empty())
            reason = "its output ends before the results";
        return "nec2c failed: " + reason;
    }
    return outputs;
}

std::variant<std::string, EngineMissing> findEngine()
{
    const char *path = std::getenv("PATH");
    std::string_view folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::optional<std::string> notExecutable;
    while (true) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        // An empty entry is the current folder, as for the shell. The engine runs in its own folder, so a
        // relative entry is made absolute here, while it still means what the user meant.
        std::error_code error;
        const fs::path candidate = fs::absolute(fs::path(folder.empty() ? "." : folder) / kEngine, error);
        struct stat about
        {
        };
        if (!error && ::stat(candidate.c_str(), &about) == 0 && S_ISREG(about.st_mode)) {
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate.lexically_normal().string();
            if (!notExecutable)
                notExecutable = candidate.lexically_normal().string();
        }
        if (colon == std::string_view::npos)
            break;
        folders.remove_prefix(colon + 1);
    }
    if (notExecutable)
        return EngineMissing{"The antenna check needs the NEC-2 engine nec2c. " + *notExecutable +
                             " is there but may not be run (it is not executable): make it executable, or install "
                             "the Debian package nec2c: sudo apt install nec2c"};
    return EngineMissing{"The antenna check needs the NEC-2 engine nec2c, which is not installed. Install the "
                         "Debian package nec2c: sudo apt install nec2c"};
}

std::string engineCannotStartMessage(const std::string &program, const std::string &reason)
{
    return "nec2c is installed as " + program + " but cannot be started: " + reason +
           ". Its program, or a library or interpreter it needs, may be damaged or missing; reinstalling the "
           "nec2c package may help.";
}

std::string engineTimeLimitMessage(int seconds)
{
    return "nec2c did not finish within " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
           " and was stopped.";
}

} // namespace tarvelin::nec
