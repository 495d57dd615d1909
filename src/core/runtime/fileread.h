// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <variant>

namespace tarvelin {

// The files the programs read back (an analyser's sweep, a tuned design) are small: a few thousand lines at
// the most. Anything larger is not one, and is not read into memory to find that out.
inline constexpr std::size_t kLargestReadBytes = 64 * 1024 * 1024;

// Why a file was not read, for the caller to word: the system's reason, a file beyond kLargestReadBytes, or,
// where only files are read, what it is instead ("a FIFO", "a device").
struct ReadRefusal
{
    enum class Kind
    {
        System,
        TooLarge,
        NotAFile,
    };
    Kind kind = Kind::System;
    std::string reason;
};

// Whether a stream (a FIFO, a device, standard input by its name) is read to its end, or refused at once:
// a window reads only files, so that no writer that never comes can hold it up.
enum class Streams
{
    Read,
    Refused,
};

// Reads a whole file of at most kLargestReadBytes, counting the bytes read, never the size the file reports:
// /dev/zero says it is empty and never ends.
[[nodiscard]] std::variant<std::string, ReadRefusal> readWholeFile(const std::string &path, Streams streams);

} // namespace tarvelin
