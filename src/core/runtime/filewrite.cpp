// SPDX-License-Identifier: MIT
#include "core/runtime/filewrite.h"

#include "core/runtime/systemerror.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvelin {

namespace {

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

bool writeAll(int fd, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
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

} // namespace

std::optional<std::string> writeWholeFile(const std::string &path, std::string_view contents)
{
    if (path.empty())
        return systemReason(ENOENT);
    // Through a link to the file it names, as an editor saves it, so the link stays a link.
    std::string target = path;
    struct stat existing
    {
    };
    bool exists = false;
    if (::lstat(path.c_str(), &existing) == 0) {
        if (S_ISLNK(existing.st_mode)) {
            char *resolved = ::realpath(path.c_str(), nullptr);
            if (resolved) {
                target = resolved;
                std::free(resolved);
            }
        }
        exists = ::stat(target.c_str(), &existing) == 0;
        if (exists && S_ISDIR(existing.st_mode))
            return systemReason(EISDIR);
    }

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
    const mode_t mode = exists && S_ISREG(existing.st_mode) ? (existing.st_mode & 07777) : newFileMode();
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
