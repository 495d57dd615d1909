// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/resulttable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::format {

// A result as a reader sees it, composed once where the result is made: its title, its words, its tables and
// the lines that close it. The terminal, the clipboard, the printouts and the windows lay it out as their
// medium does; none of them adds, drops or words anything of its own.
struct Paragraph
{
    std::string text;
    bool strong = false; // what must not be missed: the verdict, a measured trim
};

// A labelled line among those that close a result: "Wire in all: 103' 8-1/2\" (31.61 m)".
struct Fact
{
    std::string label;
    std::string text;
};

struct Section
{
    std::string heading;           // over it on a printed page: "Loops"; the table's first heading names it elsewhere
    std::vector<Paragraph> before; // what introduces the table
    std::optional<ResultTable> table;
    std::vector<Paragraph> after; // what the table leaves to words
    std::vector<Fact> facts;
    bool keepWithEnd = false; // a printed page keeps it on one page with all that follows
};

struct Document
{
    // What the result is: "Shop sheet for 14.2 MHz, seven elements". It runs into the first paragraph of the
    // preface, as "Shop sheet for ... . Fractions to 1/16 in ...", or stands on a line of its own.
    std::string title;
    bool titleRunsIn = false;
    std::vector<Paragraph> preface;
    // How the result was made, which a page that travels needs and a terminal, where it was just asked for,
    // leaves out: the model's settings.
    std::vector<Paragraph> colophon;
    // What went wrong on the way; a terminal gives it on the error stream, where diagnostics go.
    std::vector<std::string> warnings;
    std::vector<Section> sections;
};

// The document for a terminal: the title and preface, then each section after a blank line, its tables aligned;
// no headings, no colophon, no warnings.
[[nodiscard]] std::string documentText(const Document &document);

// The document for a spreadsheet's paste: as the terminal has it, with every table tab-separated and each fact
// as its label and its text in two cells.
[[nodiscard]] std::string documentTabSeparated(const Document &document);

// The document as HTML for a printout: the title as its heading, then `dated` (when it was printed, as the
// reader's locale writes it), the colophon, the preface and the warnings, then each section under its heading.
// A section kept with the end is marked with an anchor named kKeepWithEnd, where the page breaker looks for it.
[[nodiscard]] std::string documentHtml(const Document &document, std::string_view dated);
inline constexpr char kKeepWithEnd[] = "keep-with-end";

// The document's words without its tables, as one paragraph for a window's summary beside its tables: the
// preface, every section's paragraphs and its facts, as "Label: text.".
[[nodiscard]] std::string documentProse(const Document &document);

} // namespace tarvelin::format
