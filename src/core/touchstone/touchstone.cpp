// SPDX-License-Identifier: MIT
#include "core/touchstone/touchstone.h"

#include "core/text/typedtext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

namespace tarvelin::touchstone {

namespace {

enum class Parameter
{
    S,
    Z,
    Y,
};

enum class Format
{
    RealImaginary,
    MagnitudeAngle,
    DecibelAngle,
};

enum class Matrix
{
    Full,
    Lower,
    Upper,
};

// The option line's settings; a token left out keeps its default, which the format sets as GHz, S, MA, R 50.
struct Options
{
    double toMHz = 1000.0;
    Parameter parameter = Parameter::S;
    Format format = Format::MagnitudeAngle;
    double referenceOhms = 50.0;
};

constexpr std::string_view kBlanks = " \t\v\f\r"; // a carriage return ends a line written on Windows

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string_view> fields(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(kBlanks, at)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(kBlanks, at), text.size());
        out.push_back(text.substr(at, end - at));
        at = end;
    }
    return out;
}

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return out;
}

// A field as a message quotes it: ASCII only, since comments and stray fields may be in any encoding, and
// short enough to read.
std::string quoted(std::string_view field)
{
    constexpr std::size_t kLongest = 24;
    std::string out = "'";
    for (const char c : field.substr(0, kLongest))
        out += c >= ' ' && c < 0x7f ? c : '?';
    if (field.size() > kLongest)
        out += "...";
    return out + "'";
}

// Where the impedance has no finite value (an open end), a resistance beyond any the program shows.
constexpr double kOpenOhms = 1e15;

std::complex<double> dividedSafely(std::complex<double> numerator, std::complex<double> denominator)
{
    if (std::abs(denominator) < 1e-15)
        return {kOpenOhms, 0.0};
    return numerator / denominator;
}

class Reader
{
public:
    Reader(std::string_view text, std::string_view name) : m_text(text), m_name(name)
    {
        const std::string_view extension = name.substr(std::min(name.size(), name.rfind('.') + 1));
        const std::string ending = upper(extension);
        // .s1p, .s2p, ...: the ports a version 1 file holds, when no keyword says.
        if (ending.size() >= 3 && ending.front() == 'S' && ending.back() == 'P') {
            int ports = 0;
            const auto [end, error] = std::from_chars(ending.data() + 1, ending.data() + ending.size() - 1, ports);
            if (error == std::errc() && end == ending.data() + ending.size() - 1 && ports > 0)
                m_ports = ports;
        }
    }

    std::variant<Sweep, std::string> read()
    {
        constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
        if (m_text.starts_with(kByteOrderMark))
            m_text.remove_prefix(kByteOrderMark.size());
        // A file saved as UTF-16 has a NUL beside every ASCII letter: no line of it would read.
        if (m_text.find('\0') != std::string_view::npos) {
            ++m_line;
            refuse("the file is not plain text (it holds NUL bytes, as a file saved as UTF-16 does): save it "
                   "as ASCII or UTF-8");
            return *m_problem;
        }
        std::size_t at = 0;
        while (at <= m_text.size() && !m_problem && !m_ended) {
            // A line ends with LF, CR LF, or a lone CR as older Mac programs wrote it.
            const std::size_t end = std::min(m_text.find_first_of("\r\n", at), m_text.size());
            std::string_view line = m_text.substr(at, end - at);
            at = end + 1;
            if (end < m_text.size() && m_text[end] == '\r' && at < m_text.size() && m_text[at] == '\n')
                ++at;
            ++m_line;
            if (const std::size_t comment = line.find('!'); comment != std::string_view::npos)
                line = line.substr(0, comment);
            line = trimmed(line);
            if (!line.empty())
                take(line);
            if (end == m_text.size())
                break;
        }
        if (!m_problem && !m_record.empty())
            refuseAt(m_recordLine, tooFew(m_record.size()));
        if (!m_problem && m_sweep.samples.empty())
            refuse("the file holds no data: no line gives a frequency and its values");
        if (!m_problem && m_sweep.samples.size() == 1)
            refuseAt(m_lastDataLine, "the file holds one frequency only; a sweep needs two or more");
        if (!m_problem && m_expectedFrequencies && *m_expectedFrequencies != m_sweep.samples.size())
            refuseAt(m_expectedLine, "[Number of Frequencies] gives " + std::to_string(*m_expectedFrequencies) +
                                         ", but the data hold " + std::to_string(m_sweep.samples.size()));
        if (!m_problem && std::none_of(m_sweep.samples.begin(), m_sweep.samples.end(), [this](const Sample &sample) {
                const std::complex<double> z = sample.impedanceOhms;
                const double r = m_options.referenceOhms;
                return std::abs((z - r) / (z + r)) < 1.0 - 1e-12;
            }))
            m_problem = std::string(m_name) +
                        ": every point reflects all the power sent to it or more (|S11| of 1 or more), as no antenna "
                        "does: calibrate the analyser, connect the antenna and sweep again.";
        if (m_problem)
            return *m_problem;
        m_sweep.referenceOhms = m_options.referenceOhms;
        m_sweep.ports = m_ports.value_or(1);
        return std::move(m_sweep);
    }

private:
    void take(std::string_view line)
    {
        if (m_skippingInformation) {
            m_skippingInformation = upper(line) != "[END INFORMATION]";
            return;
        }
        const std::vector<std::string_view> values = fields(line);
        if (m_referencesToCome > 0 &&
            (line.front() == '[' || line.front() == '#' || values.size() > std::size_t(m_referencesToCome))) {
            // [Reference] gives one impedance per port, on its line or the next; what follows here is no more
            // of them, so it is one short.
            const int given = m_ports.value_or(1) - m_referencesToCome;
            refuseAt(m_referenceLine, "[Reference] gives " + std::to_string(given) +
                                          (given == 1 ? " impedance for " : " impedances for ") +
                                          std::to_string(m_ports.value_or(1)) + " ports: it needs one per port");
            return;
        }
        if (line.front() == '[') {
            keyword(line);
        } else if (line.front() == '#') {
            if (!m_optionLine)
                optionLine(line.substr(1));
            m_optionLine = true; // the first counts; any later one is ignored
        } else if (m_referencesToCome > 0) {
            references(values);
        } else if (!m_noise) {
            data(line);
        } else {
            noise(values);
        }
    }

    // A noise record: the frequency, the least noise figure, the source reflection as a magnitude and an
    // angle, and the noise resistance. None of it is the antenna's; each is only checked to be one.
    void noise(const std::vector<std::string_view> &values)
    {
        constexpr std::size_t kNoiseFields = 5;
        if (values.size() != kNoiseFields)
            refuse("a noise record holds " + std::to_string(kNoiseFields) + " numbers, this one " +
                   std::to_string(values.size()) + ": the frequencies of a network's data must rise");
    }

    void keyword(std::string_view line)
    {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) {
            refuse("the keyword " + quoted(line) + " has no closing ]");
            return;
        }
        const std::string name = upper(trimmed(line.substr(1, close - 1)));
        const std::string_view argument = trimmed(line.substr(close + 1));
        if (name == "VERSION") {
            m_version2 = true;
        } else if (name == "NUMBER OF PORTS") {
            const std::optional<double> ports = decimalText(argument);
            if (!ports || *ports < 1 || *ports > 99 || *ports != std::floor(*ports)) {
                refuse("[Number of Ports] must be a whole number from 1, not " + quoted(argument));
                return;
            }
            m_ports = static_cast<int>(*ports);
        } else if (name == "NUMBER OF FREQUENCIES") {
            const std::optional<double> count = decimalText(argument);
            if (!count || *count < 1 || *count != std::floor(*count)) {
                refuse("[Number of Frequencies] must be a whole number from 1, not " + quoted(argument));
                return;
            }
            m_expectedFrequencies = static_cast<std::size_t>(*count);
            m_expectedLine = m_line;
        } else if (name == "REFERENCE") {
            m_referencesToCome = m_ports.value_or(1);
            m_referenceLine = m_line;
            references(fields(argument));
        } else if (name == "MATRIX FORMAT") {
            const std::string format = upper(argument);
            m_matrix = format == "LOWER" ? Matrix::Lower : format == "UPPER" ? Matrix::Upper : Matrix::Full;
        } else if (name == "NOISE DATA") {
            m_noise = true;
        } else if (name == "END") {
            m_ended = true;
        } else if (name == "BEGIN INFORMATION") {
            m_skippingInformation = true;
        }
        // [Network Data], [Two-Port Data Order] and the rest change nothing the first port's data need: S11
        // comes first in either order.
    }

    // The reference impedances, one per port, on the keyword's line and the lines after it.
    void references(const std::vector<std::string_view> &values)
    {
        for (const std::string_view value : values) {
            if (m_referencesToCome == 0)
                break;
            const std::optional<double> ohms = decimalText(value);
            if (!ohms || !(*ohms > 0.0)) {
                refuse("a reference impedance must be a number of ohms above 0, not " + quoted(value));
                return;
            }
            if (m_referencesToCome == m_ports.value_or(1))
                m_options.referenceOhms = *ohms;
            --m_referencesToCome;
        }
    }

    void optionLine(std::string_view line)
    {
        const std::vector<std::string_view> tokens = fields(line);
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const std::string token = upper(tokens[i]);
            if (token == "HZ" || token == "KHZ" || token == "MHZ" || token == "GHZ") {
                m_options.toMHz = token == "HZ" ? 1e-6 : token == "KHZ" ? 1e-3 : token == "MHZ" ? 1.0 : 1e3;
            } else if (token == "S" || token == "Z" || token == "Y") {
                m_options.parameter = token == "S" ? Parameter::S : token == "Z" ? Parameter::Z : Parameter::Y;
            } else if (token == "H" || token == "G") {
                refuse(token + " parameters describe a two-port's transfer, not an antenna's feed: save the "
                               "sweep as S, Z or Y");
                return;
            } else if (token == "RI" || token == "MA" || token == "DB") {
                m_options.format = token == "RI"   ? Format::RealImaginary
                                   : token == "MA" ? Format::MagnitudeAngle
                                                   : Format::DecibelAngle;
            } else if (token == "R") {
                const std::optional<double> ohms = i + 1 < tokens.size() ? decimalText(tokens[i + 1]) : std::nullopt;
                if (!ohms || !(*ohms > 0.0)) {
                    refuse("the option line's R must be followed by the reference resistance in ohms, above 0");
                    return;
                }
                m_options.referenceOhms = *ohms;
                // Some files give one resistance per port after it; the first port's is the one used.
                while (i + 1 < tokens.size() && decimalText(tokens[i + 1]))
                    ++i;
            } else {
                refuse("the option line's " + quoted(tokens[i]) +
                       " is no unit (Hz, kHz, MHz, GHz), parameter (S, Z, Y), format (RI, MA, DB) or R");
                return;
            }
        }
    }

    // The numbers one frequency's record holds: the frequency and a pair for each entry of the matrix.
    [[nodiscard]] std::size_t recordSize() const
    {
        const auto n = static_cast<std::size_t>(m_ports.value_or(1));
        const std::size_t entries = m_version2 && m_matrix != Matrix::Full ? n * (n + 1) / 2 : n * n;
        return 1 + 2 * entries;
    }

    [[nodiscard]] std::string tooFew(std::size_t found) const
    {
        return "too few fields: a frequency's record holds " + std::to_string(recordSize()) + " numbers, this one " +
               std::to_string(found);
    }

    void data(std::string_view line)
    {
        if (!m_optionLine) {
            refuse("data before the option line (such as # MHz S RI R 50), which says what the numbers are");
            return;
        }
        const std::vector<std::string_view> values = fields(line);
        if (!m_ports) {
            // Neither a keyword nor the file's ending tells; the first record does.
            if (values.size() != 3 && values.size() != 9) {
                refuse("cannot tell how many ports the file holds: name it .s1p or .s2p");
                return;
            }
            m_ports = values.size() == 3 ? 1 : 2;
        }
        if (m_ports <= 2) {
            // A version 1 two-port file's noise block begins where the frequency falls again.
            const std::optional<double> first = decimalText(values.front());
            constexpr std::size_t kNoiseFields = 5;
            if (!m_version2 && m_ports == 2 && first && !m_sweep.samples.empty() && values.size() == kNoiseFields &&
                *first * m_options.toMHz < m_sweep.samples.back().mhz) {
                m_noise = true;
                return;
            }
            m_recordLine = m_line;
            m_record.assign(values.begin(), values.end());
            if (m_record.size() < recordSize()) {
                refuse(tooFew(m_record.size()));
                return;
            }
        } else {
            // With more ports a record runs on over several lines.
            if (m_record.empty())
                m_recordLine = m_line;
            m_record.insert(m_record.end(), values.begin(), values.end());
            if (m_record.size() < recordSize())
                return;
        }
        if (m_record.size() > recordSize()) {
            refuseAt(m_recordLine, "too many fields: a frequency's record holds " + std::to_string(recordSize()) +
                                       " numbers, this one " + std::to_string(m_record.size()));
            return;
        }
        record();
        m_record.clear();
    }

    void record()
    {
        std::array<double, 3> numbers{};
        for (std::size_t i = 0; i < m_record.size(); ++i) {
            const std::optional<double> value = decimalText(m_record[i]);
            if (!value) {
                refuseAt(m_recordLine, quoted(m_record[i]) + " is not a number");
                return;
            }
            if (i < numbers.size())
                numbers[i] = *value;
        }
        if (m_options.format == Format::MagnitudeAngle && numbers[1] < 0.0) {
            refuseAt(m_recordLine, "a magnitude below 0, " + quoted(m_record[1]) + ": a magnitude is 0 or more");
            return;
        }
        const double mhz = numbers[0] * m_options.toMHz;
        if (mhz < 0.0) {
            refuseAt(m_recordLine, "a frequency below 0");
            return;
        }
        if (!m_sweep.samples.empty() && !(mhz > m_sweep.samples.back().mhz)) {
            refuseAt(m_recordLine,
                     "the frequencies must rise, but " + quoted(m_record[0]) + " is not above the line before");
            return;
        }
        const std::complex<double> z = impedance(numbers[1], numbers[2]);
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag()) || !std::isfinite(mhz)) {
            refuseAt(m_recordLine, "a value too large to be a measurement");
            return;
        }
        m_sweep.samples.push_back({mhz, z});
        m_lastDataLine = m_recordLine;
    }

    [[nodiscard]] std::complex<double> impedance(double a, double b) const
    {
        const double radians = b * std::numbers::pi / 180.0;
        const std::complex<double> value = m_options.format == Format::RealImaginary ? std::complex<double>(a, b)
                                           : m_options.format == Format::MagnitudeAngle
                                               ? std::polar(a, radians)
                                               : std::polar(std::pow(10.0, a / 20.0), radians);
        const double r = m_options.referenceOhms;
        switch (m_options.parameter) {
        case Parameter::S:
            return r * dividedSafely(1.0 + value, 1.0 - value);
        case Parameter::Z:
            // Version 1 gives Z and Y normalised to the reference; version 2 in ohms and siemens.
            return m_version2 ? value : r * value;
        case Parameter::Y:
            return m_version2 ? dividedSafely(1.0, value) : r * dividedSafely(1.0, value);
        }
        return value;
    }

    void refuse(const std::string &what) { refuseAt(m_line, what); }

    void refuseAt(int line, const std::string &what)
    {
        if (!m_problem)
            m_problem = std::string(m_name) + ", line " + std::to_string(line) + ": " + what + ".";
    }

    std::string_view m_text;
    std::string_view m_name;
    int m_line = 0;
    Options m_options;
    bool m_optionLine = false;
    bool m_version2 = false;
    bool m_noise = false;
    bool m_ended = false;
    bool m_skippingInformation = false;
    std::optional<int> m_ports;
    Matrix m_matrix = Matrix::Full;
    int m_referencesToCome = 0;
    int m_referenceLine = 0;
    std::optional<std::size_t> m_expectedFrequencies;
    int m_expectedLine = 0;
    std::vector<std::string_view> m_record;
    int m_recordLine = 0;
    int m_lastDataLine = 0;
    Sweep m_sweep;
    std::optional<std::string> m_problem;
};

void appendNumber(std::string &out, double value)
{
    // Twelve significant digits: the model's figures to far below what it can tell, in the same text in
    // any locale.
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, 12);
    out.append(text.data(), written.ptr);
}

} // namespace

std::variant<Sweep, std::string> readSweep(std::string_view text, std::string_view name)
{
    return Reader(text, name).read();
}

std::string writeSweep(std::span<const std::string> comments, std::span<const Sample> samples, double z0Ohms)
{
    std::string out;
    for (const std::string &comment : comments) {
        out += "! ";
        // One comment a line: a line break in it would start a line the reader takes for data.
        for (const char c : comment)
            out += c == '\n' || c == '\r' ? ' ' : c;
        out += '\n';
    }
    out += "# MHz S RI R ";
    appendNumber(out, z0Ohms);
    out += '\n';
    for (const Sample &sample : samples) {
        const std::complex<double> z = sample.impedanceOhms;
        const std::complex<double> reflection = (z - z0Ohms) / (z + z0Ohms);
        appendNumber(out, sample.mhz);
        out += ' ';
        appendNumber(out, reflection.real());
        out += ' ';
        appendNumber(out, reflection.imag());
        out += '\n';
    }
    return out;
}

} // namespace tarvelin::touchstone
