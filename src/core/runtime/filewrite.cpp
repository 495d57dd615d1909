// SPDX-License-Identifier: MIT
#include "core/runtime/filewrite.h"

#include "core/runtime/systemerror.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvelin {

namespace {

// A reader at the far end of a FIFO that takes nothing for this long has gone away in all but name.
constexpr int kWriterPatienceMs = 10'000;
// Links followed before giving up, as the kernel does.
constexpr int kMostLinks = 40;

std::string systemReason(int error)
{
    return error != 0 ? systemErrorText(error) : std::string("write error");
}

// The mode a new file gets: what open(2) would give with 0666, less the umask. The kernel tells the umask
// without changing it; setting it to read it would race with other threads creating files.
mode_t newFileMode()
{
    mode_t mask = 022;
    if (std::FILE *status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, "Umask:", 6) == 0) {
                mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8));
                break;
            }
        std::fclose(status);
    }
    return 0666 & ~mask;
}

// Writes everything, waiting a while for a slow reader where the descriptor does not block.
bool writeAll(int fd, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                pollfd ready{fd, POLLOUT, 0};
                const int polled = ::poll(&ready, 1, kWriterPatienceMs);
                if (polled > 0 || (polled < 0 && errno == EINTR))
                    continue;
                errno = polled == 0 ? ETIMEDOUT : errno;
            }
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// What a link names, made a path from where the link is.
std::string linkText(const std::string &link)
{
    std::string text(PATH_MAX, '\0');
    const ssize_t length = ::readlink(link.c_str(), text.data(), text.size());
    if (length < 0)
        return link;
    text.resize(static_cast<std::size_t>(length));
    if (text.starts_with('/'))
        return text;
    const std::size_t slash = link.rfind('/');
    return slash == std::string::npos ? text : link.substr(0, slash + 1) + text;
}

// The file a path names through its links, even one that does not exist yet: a new file is made where a
// dangling link points, and the link stays a link. `procfs` tells whether a link on the way goes through
// /proc, as /dev/stdout and /dev/fd/N do: such a link names an open file, which is written where it is.
std::string followedLinks(std::string path, bool &procfs)
{
    procfs = path.starts_with("/proc/");
    struct stat about
    {
    };
    for (int i = 0; i < kMostLinks && ::lstat(path.c_str(), &about) == 0 && S_ISLNK(about.st_mode); ++i) {
        path = linkText(path);
        procfs = procfs || path.starts_with("/proc/");
    }
    return path;
}

// Writes over what is there: a device, a FIFO or a terminal takes the bytes as they come, and a file is
// overwritten and cut to its new length. A FIFO with no reader is refused rather than waited on.
std::optional<std::string> writeInPlace(const std::string &path, std::string_view contents, bool regular)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (regular ? 0 : O_NONBLOCK));
    if (fd < 0)
        return systemReason(errno);
    if (regular) {
        // The room first, so a full disk is found before a byte of the old file is overwritten.
        if (::fallocate(fd, 0, 0, static_cast<off_t>(contents.size())) != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
            const int error = errno;
            ::close(fd);
            return systemReason(error);
        }
    }
    int error = 0;
    if (!writeAll(fd, contents))
        error = errno;
    else if (regular && (::ftruncate(fd, static_cast<off_t>(contents.size())) != 0 || ::fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error != 0 ? std::optional(systemReason(error)) : std::nullopt;
}

} // namespace

std::optional<std::string> writeWholeFile(const std::string &path, std::string_view contents)
{
    if (path.empty())
        return systemReason(ENOENT);
    struct stat existing
    {
    };
    bool exists = ::stat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return systemReason(errno);
    if (exists && S_ISDIR(existing.st_mode))
        return systemReason(EISDIR);
    // A device, a FIFO or a socket is no file to replace: it is written, or refuses with its own reason.
    if (exists && !S_ISREG(existing.st_mode))
        return writeInPlace(path, contents, false);
    bool procfs = false;
    const std::string target = followedLinks(path, procfs);
    if (exists && procfs)
        return writeInPlace(path, contents, true);

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return systemReason(errno);

    const auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return systemReason(error);
    };
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Another user's file this program may write but not give back to its owner: it is written where it
        // is, so it stays theirs.
        ::close(fd);
        ::unlink(temporary.c_str());
        return writeInPlace(target, contents, true);
    }
    // After the owner, which clears the set-user and set-group bits.
    const mode_t mode = exists ? (existing.st_mode & 07777) : newFileMode();
    if (::fchmod(fd, mode) != 0)
        return abandon(errno);
    if (!writeAll(fd, contents))
        return abandon(errno);
    // A file system that allocates late reports a full disk only here.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return systemReason(error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return systemReason(error);
    }
    return std::nullopt;
}

} // namespace tarvelin
