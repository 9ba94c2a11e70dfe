#include "ui/rules_text.h"

namespace {

const std::string HEADING_MARKER = "<b>";

}  // namespace

std::vector<RulesLine> rulesLines(const std::string& text)
{
    std::vector<RulesLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        RulesLine line;
        line.heading = text.compare(start, HEADING_MARKER.size(), HEADING_MARKER) == 0;
        const std::size_t from = line.heading ? start + HEADING_MARKER.size() : start;
        line.text = text.substr(from, next - from);
        lines.push_back(std::move(line));
        start = next;
    }
    return lines;
}
