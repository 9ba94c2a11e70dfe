#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/rule_choices.h"
#include "info_texts.h"
#include "ui/rules_text.h"

namespace {

using Lines = std::vector<std::pair<std::string, bool>>;

Lines walk(const std::string& text)
{
    Lines lines;
    for (const RulesLine& line : rulesLines(text)) lines.emplace_back(line.text, line.heading);
    return lines;
}

TEST(RulesText, MarkerCountsOnlyAtTheVeryStartOfALine)
{
    struct Case {
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"<b>Title\nbody\n", {{"Title\n", true}, {"body\n", false}}},
        {"a <b>b\n", {{"a <b>b\n", false}}},
        {"   <b>indented\n", {{"   <b>indented\n", false}}},
        {"   - item\n<b>Next\n", {{"   - item\n", false}, {"Next\n", true}}},
        {"<b><b>twice\n", {{"<b>twice\n", true}}},
        {"<b>\n\n", {{"\n", true}, {"\n", false}}},
        {"<B>upper\n<b\n>\n", {{"<B>upper\n", false}, {"<b\n", false}, {">\n", false}}},
        {"end\n<b>cut", {{"end\n", false}, {"cut", true}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(walk(c.text), c.lines);
    }
}

TEST(RulesText, CarriedRulesHaveTheirHeadingsAndWholeLines)
{
    const std::string text = texts::rules;
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');

    std::vector<std::string> headings;
    std::string shown;
    const std::vector<RulesLine> lines = rulesLines(text);
    for (const RulesLine& line : lines) {
        ASSERT_EQ(line.text.back(), '\n');
        if (line.heading) headings.push_back(line.text.substr(0, line.text.size() - 1));
        shown += line.text;
    }
    ASSERT_TRUE(lines.front().heading);
    const std::vector<std::string> expected = {
        "Rules of Marvanto",
        "The game as Marvanto plays it, written by the Marvanto developers",
        "Players, cards and objective",
        "The deal, the turn-up and begging",
        "Play",
        "Scoring: high, low, jack and game",
        "Irregularities",
        "Misdeals",
        "Reneging",
        "Calling",
        "Additional details",
    };
    EXPECT_EQ(headings, expected);
    EXPECT_EQ(shown.size(), text.size() - 3 * headings.size());  // only the markers are dropped
}

// The list that ends the rules names every choice the rule dialog offers.
TEST(RulesText, SettingsListNamesEveryItemOfTheRuleDialog)
{
    const std::string text = texts::rules;
    const std::string settings = text.substr(text.rfind("with their defaults:"));
    const auto expectLine = [&settings](const std::string& name, auto items) {
        const std::size_t at = settings.find("\n   " + name + ": ");
        ASSERT_NE(at, std::string::npos) << name;
        const std::string line = settings.substr(at + 1, settings.find('\n', at + 1) - at);
        for (const char* item : items) EXPECT_NE(line.find(item), std::string::npos) << name << ": " << item;
    };
    expectLine("Reneed rules", RENEED_ITEMS);
    expectLine("Force follow suit", FOLLOW_ITEMS);
    expectLine("Under trump penalty", UNDER_TRUMP_ITEMS);
    expectLine("Game length", LENGTH_ITEMS);
    expectLine("Hang jack", HANG_JACK_ITEMS);
    const std::array<const char*, 0> none{};
    expectLine("No game point if reneed", none);
    expectLine("Tobago rules", none);
    expectLine("Force beg if no trumps", none);
}

TEST(HelpText, ParagraphsSeparatedByAnEmptyLine)
{
    std::string text = texts::help;
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    text.pop_back();
    std::vector<std::string> paragraphs;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find("\n\n", at), text.size());
        paragraphs.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    const char* starts[] = {"Playing: ", "Begging: ", "Duvanto: ", "Display: ", "Hint: ", "Call Reneed: ", "Keys:\n",
                            "Speed and notes: "};
    ASSERT_EQ(paragraphs.size(), std::size(starts));
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        EXPECT_EQ(paragraphs[i].rfind(starts[i], 0), 0u) << paragraphs[i];
        EXPECT_EQ(paragraphs[i].find("\n\n"), std::string::npos);
        // Only the list of keys runs over several lines.
        if (std::string(starts[i]) != "Keys:\n") {
            EXPECT_EQ(paragraphs[i].find('\n'), std::string::npos) << starts[i];
        }
    }
}

// The BEG button sits at the top left, beside the flipped card.
TEST(HelpText, SaysWhereTheBegButtonIsAndSpellsItsWords)
{
    const std::string text = texts::help;
    const struct {
        const char* wrong;
        const char* right;
    } mended[] = {
        {"in the top right hand corner", "in the top left hand corner"},
        {"in you hand", "in your hand"},
        {"put there own", "put their own"},
    };
    for (const auto& m : mended) {
        EXPECT_EQ(text.find(m.wrong), std::string::npos) << m.wrong;
        EXPECT_NE(text.find(m.right), std::string::npos) << m.right;
    }
}

}  // namespace
