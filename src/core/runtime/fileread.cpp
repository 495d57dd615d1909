// SPDX-License-Identifier: MIT
#include "core/runtime/fileread.h"

#include "core/runtime/systemerror.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvelin {

namespace {

std::string kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "not a file";
}

} // namespace

std::variant<std::string, ReadRefusal> readWholeFile(const std::string &path, Streams streams)
{
    const auto failed = [](int error) {
        return ReadRefusal{ReadRefusal::Kind::System, systemErrorText(error != 0 ? error : EIO)};
    };
    // Where streams are refused, opened without waiting, so a FIFO with no writer yet holds nothing up before
    // it is known to be one; where they are read, a FIFO is waited on as any filter waits for its input.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (streams == Streams::Refused ? O_NONBLOCK : 0));
    if (fd < 0)
        return failed(errno);
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat about
    {
    };
    if (::fstat(fd, &about) != 0)
        return failed(errno);
    if (S_ISDIR(about.st_mode))
        return failed(EISDIR);
    if (!S_ISREG(about.st_mode) && streams == Streams::Refused)
        return ReadRefusal{ReadRefusal::Kind::NotAFile, kindOf(about.st_mode)};
    std::string text;
    char block[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failed(errno);
        }
        if (got == 0)
            return text;
        if (text.size() + static_cast<std::size_t>(got) > kLargestReadBytes)
            return ReadRefusal{ReadRefusal::Kind::TooLarge, {}};
        text.append(block, static_cast<std::size_t>(got));
    }
}

} // namespace tarvelin
