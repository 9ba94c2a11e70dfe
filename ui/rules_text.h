// The line format of the rules text: every line ends with '\n', and a line
// that starts with "<b>" is a heading, shown in bold without the marker.
#pragma once

#include <string>
#include <vector>

struct RulesLine {
    std::string text;  // with its line break, without the marker
    bool heading = false;
};

std::vector<RulesLine> rulesLines(const std::string& text);
