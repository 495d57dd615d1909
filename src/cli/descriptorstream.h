// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <streambuf>

namespace tarvelin::cli {

// Standard input or output as a stream buffer straight over its file descriptor, with a 64 KiB buffer.
//
// Reading gives whatever one read() returns, so a pipe fed a line at a time is answered a line at a time,
// and in_avail() tells exactly what is already here; writing goes out only when the buffer is full or the
// stream is flushed. A failed read throws, which the stream turns into badbit, and a failed write leaves
// errno as the system set it, so that the caller can tell which failure it was.
class DescriptorBuffer final : public std::streambuf
{
public:
    explicit DescriptorBuffer(int descriptor);
    ~DescriptorBuffer() override;

    DescriptorBuffer(const DescriptorBuffer &) = delete;
    DescriptorBuffer &operator=(const DescriptorBuffer &) = delete;

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *text, std::streamsize count) override;
    int sync() override;

private:
    bool writeAll(const char *text, std::size_t count);
    bool drain();

    int m_descriptor;
    std::array<char, 1 << 16> m_buffer{};
};

} // namespace tarvelin::cli
