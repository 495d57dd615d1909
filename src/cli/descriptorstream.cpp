// SPDX-License-Identifier: MIT
#include "cli/descriptorstream.h"

#include <cerrno>
#include <ios>
#include <system_error>
#include <unistd.h>

namespace tarvelin::cli {

DescriptorBuffer::DescriptorBuffer(int descriptor) : m_descriptor(descriptor)
{
    setg(m_buffer.data(), m_buffer.data(), m_buffer.data());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

DescriptorBuffer::~DescriptorBuffer()
{
    // The caller flushes and reports; whatever is left here is only a last try.
    drain();
}

DescriptorBuffer::int_type DescriptorBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    for (;;) {
        const ssize_t got = ::read(m_descriptor, m_buffer.data(), m_buffer.size());
        if (got > 0) {
            setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + got);
            return traits_type::to_int_type(*gptr());
        }
        if (got == 0)
            return traits_type::eof();
        if (errno != EINTR)
            throw std::ios_base::failure("cannot read", std::error_code(errno, std::generic_category()));
    }
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c)
{
    if (!drain())
        return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize DescriptorBuffer::xsputn(const char *text, std::streamsize count)
{
    const auto room = static_cast<std::streamsize>(epptr() - pptr());
    if (count <= room) {
        std::char_traits<char>::copy(pptr(), text, static_cast<std::size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    // Larger than what is left: send what is buffered, then the text itself without copying it.
    if (!drain() || !writeAll(text, static_cast<std::size_t>(count)))
        return 0;
    return count;
}

int DescriptorBuffer::sync()
{
    return drain() ? 0 : -1;
}

bool DescriptorBuffer::drain()
{
    const auto pending = static_cast<std::size_t>(pptr() - pbase());
    const bool written = writeAll(pbase(), pending);
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return written;
}

bool DescriptorBuffer::writeAll(const char *text, std::size_t count)
{
    while (count > 0) {
        const ssize_t wrote = ::write(m_descriptor, text, count);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text += wrote;
        count -= static_cast<std::size_t>(wrote);
    }
    return true;
}

} // namespace tarvelin::cli
