// SPDX-License-Identifier: MIT
#include "core/format/document.h"

namespace tarvelin::format {

namespace {

// The title and the preface, each paragraph on a line of its own.
void appendOpening(std::string &out, const Document &document)
{
    std::size_t first = 0;
    if (document.titleRunsIn && !document.preface.empty()) {
        out += document.title + ". " + document.preface.front().text + '\n';
        first = 1;
    } else if (!document.title.empty()) {
        out += document.title + '\n';
    }
    for (std::size_t i = first; i < document.preface.size(); ++i)
        out += document.preface[i].text + '\n';
}

template <typename AppendTable>
std::string plainText(const Document &document, std::string_view factSeparator, AppendTable appendTable)
{
    std::string out;
    appendOpening(out, document);
    for (const Section &section : document.sections) {
        out += '\n';
        for (const Paragraph &paragraph : section.before)
            out += paragraph.text + '\n';
        if (section.table)
            appendTable(out, *section.table);
        for (const Paragraph &paragraph : section.after)
            out += paragraph.text + '\n';
        for (const Fact &fact : section.facts)
            out += fact.label + std::string(factSeparator) + fact.text + '\n';
    }
    return out;
}

void appendHtmlParagraph(std::string &out, const Paragraph &paragraph)
{
    out += paragraph.strong ? "<p><b>" : "<p>";
    appendHtmlEscaped(out, paragraph.text);
    out += paragraph.strong ? "</b></p>" : "</p>";
}

void appendHtmlSection(std::string &out, const Section &section)
{
    if (!section.heading.empty() || section.keepWithEnd) {
        out += "<h3>";
        if (section.keepWithEnd)
            out += std::string("<a name=\"") + kKeepWithEnd + "\"></a>";
        appendHtmlEscaped(out, section.heading);
        out += "</h3>";
    }
    for (const Paragraph &paragraph : section.before)
        appendHtmlParagraph(out, paragraph);
    if (section.table)
        out += htmlTable(*section.table);
    for (const Paragraph &paragraph : section.after)
        appendHtmlParagraph(out, paragraph);
    if (section.facts.empty())
        return;
    out += "<p>";
    for (std::size_t i = 0; i < section.facts.size(); ++i) {
        if (i > 0)
            out += "<br>";
        appendHtmlEscaped(out, section.facts[i].label + ": " + section.facts[i].text);
    }
    out += "</p>";
}

} // namespace

std::string documentText(const Document &document)
{
    return plainText(document, ": ", appendTerminalTable);
}

std::string documentTabSeparated(const Document &document)
{
    return plainText(document, "\t", appendTabSeparatedTable);
}

std::string documentHtml(const Document &document, std::string_view dated)
{
    std::string out = "<h2>";
    appendHtmlEscaped(out, document.title);
    out += "</h2>";
    if (!dated.empty())
        appendHtmlParagraph(out, {std::string(dated)});
    for (const Paragraph &paragraph : document.colophon)
        appendHtmlParagraph(out, paragraph);
    for (const Paragraph &paragraph : document.preface)
        appendHtmlParagraph(out, paragraph);
    for (const std::string &warning : document.warnings)
        appendHtmlParagraph(out, {warning, true});
    for (const Section &section : document.sections)
        appendHtmlSection(out, section);
    return out;
}

std::string documentProse(const Document &document)
{
    std::string out;
    const auto add = [&out](const std::string &text) {
        if (text.empty())
            return;
        if (!out.empty())
            out += ' ';
        out += text;
    };
    for (const Paragraph &paragraph : document.preface)
        add(paragraph.text);
    for (const Section &section : document.sections) {
        for (const Paragraph &paragraph : section.before)
            add(paragraph.text);
        for (const Paragraph &paragraph : section.after)
            add(paragraph.text);
        for (const Fact &fact : section.facts)
            add(fact.label + ": " + fact.text + (fact.text.ends_with('.') ? "" : "."));
    }
    return out;
}

} // namespace tarvelin::format
