#include "records/high_scores.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/map_store.h"

bool operator==(const HighScoreEntry& a, const HighScoreEntry& b)
{
    return a.winners == b.winners && a.losers == b.losers && a.winnerScore == b.winnerScore &&
           a.loserScore == b.loserScore;
}

void PrintTo(const HighScoreEntry& e, std::ostream* os)
{
    *os << '{' << ::testing::PrintToString(e.winners) << ", " << ::testing::PrintToString(e.losers) << ", "
        << e.winnerScore << ", " << e.loserScore << '}';
}

namespace {

const HighScoreEntry NOBODY{"Nobody", "Nobody", 0, 0};
const std::string DEFAULT_ENTRY_TEXT = "Nobody\tNobody\t0\t0";

std::string defaultText()
{
    std::string text = DEFAULT_ENTRY_TEXT;
    for (int i = 1; i < HIGH_SCORE_COUNT; ++i) text += "\t" + DEFAULT_ENTRY_TEXT;
    return text;
}

std::string scrambled(std::string text)
{
    scrambleText(text);
    return text;
}

// Entries "E1".."E10" with the given margins.
HighScoreTable tableWithMargins(std::initializer_list<int> margins)
{
    HighScoreTable table;
    int i = 0;
    for (const int margin : margins) {
        table[i] = {"E" + std::to_string(i + 1), "L", 7, 7 - margin};
        ++i;
    }
    return table;
}

class HighScoresTest : public ::testing::Test {
protected:
    // Names in seat order: 0, 1, 2, 3 with four seats; 0, 2 with two.
    void seatPlayers(std::vector<std::string> names)
    {
        const bool four = names.size() == 4;
        game.seatCount = four ? 4 : 2;
        for (int t = 0; t < 2; ++t) {
            game.teams[t].first = &game.seats[2 * t];
            game.teams[t].second = four ? &game.seats[2 * t + 1] : nullptr;
        }
        const std::vector<int> order = four ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{0, 2};
        for (std::size_t i = 0; i < names.size(); ++i) {
            game.seats[order[i]].name = names[i];
            game.seats[order[i]].named = true;
        }
    }

    void finish(int32_t score0, int32_t score1)
    {
        game.teams[0].score = score0;
        game.teams[1].score = score1;
        recordGameResult(table, game, store, level);
    }

    std::string storedPlainText() const { return scrambled(store.values.at("Scores/Data")); }

    GameState game;
    MapStore store;
    HighScoreTable table = defaultHighScores();
    std::string level = "Standard";
};

// --- Recording a finished game ---------------------------------------------

TEST_F(HighScoresTest, FirstFourSeatGameIsStoredByteExact)
{
    seatPlayers({"Fatboy", "Saucy", "Dread", "Horse"});
    finish(14, 9);

    const HighScoreEntry expected{"Fatboy && Saucy", "Dread && Horse", 14, 9};
    EXPECT_EQ(table[0], expected);
    for (int i = 1; i < HIGH_SCORE_COUNT; ++i) EXPECT_EQ(table[i], NOBODY) << i;

    std::string text = "Fatboy && Saucy\tDread && Horse\t14\t9";
    for (int i = 1; i < HIGH_SCORE_COUNT; ++i) text += "\t" + DEFAULT_ENTRY_TEXT;
    EXPECT_EQ(storedPlainText(), text);
    EXPECT_EQ(store.writes, 2) << "Data and Played";
    EXPECT_EQ(store.flushedWrites, 0);
}

TEST_F(HighScoresTest, WinnerIsTheTeamWithTheHigherScore)
{
    struct Case {
        const char* what;
        std::vector<std::string> names;
        int32_t score0, score1;
        HighScoreEntry expected;
    };
    const Case cases[] = {
        {"two seats, seat 0 wins", {"Bossman", "Horse"}, 14, 3, {"Bossman", "Horse", 14, 3}},
        {"two seats, seat 2 wins", {"Bossman", "Horse"}, 3, 14, {"Horse", "Bossman", 14, 3}},
        {"four seats, team 1 wins", {"A", "B", "C", "D"}, 9, 14, {"C && D", "A && B", 14, 9}},
        // The scores alone decide which team is written as the winner.
        {"team 0 ahead", {"A", "B", "C", "D"}, 12, 5, {"A && B", "C && D", 12, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        table = defaultHighScores();
        seatPlayers(c.names);
        finish(c.score0, c.score1);
        EXPECT_EQ(table[0], c.expected);
        EXPECT_EQ(table[1], NOBODY);
    }
}

// A bullseye or a kick can push a score past the target for a moment; the
// table gets the target, or the false margin would push honest games out.
TEST_F(HighScoresTest, ScoresAboveTheTargetAreRecordedAtTheTarget)
{
    struct Case {
        int32_t target, score0, score1;
        HighScoreEntry expected;
    };
    const Case cases[] = {
        {14, 24, 2, {"A && B", "C && D", 14, 2}},
        {7, 3, 9, {"C && D", "A && B", 7, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        table = defaultHighScores();
        seatPlayers({"A", "B", "C", "D"});
        game.rules.target = c.target;
        finish(c.score0, c.score1);
        EXPECT_EQ(table[0], c.expected);
    }
}

TEST_F(HighScoresTest, EqualScoresRecordTeamOneOnlyAboveANegativeMargin)
{
    seatPlayers({"A", "B", "C", "D"});
    finish(7, 7);
    EXPECT_EQ(table, defaultHighScores());
    EXPECT_EQ(store.writes, 0);

    table[9] = {"Late", "Early", 3, 5};
    finish(7, 7);
    EXPECT_EQ(table[9], (HighScoreEntry{"C && D", "A && B", 7, 7}));
    EXPECT_EQ(table[8], NOBODY);
    EXPECT_EQ(store.writes, 2) << "Data and Played";
}

TEST_F(HighScoresTest, NewGameGoesBelowEqualMarginsAndDropsTheLast)
{
    table = tableWithMargins({8, 5, 5, 0, 0, 0, 0, 0, 0, 0});
    const HighScoreTable before = table;
    seatPlayers({"Fatboy", "Saucy", "Dread", "Horse"});
    finish(14, 9);

    for (int i = 0; i < 3; ++i) EXPECT_EQ(table[i], before[i]) << i;
    EXPECT_EQ(table[3], (HighScoreEntry{"Fatboy && Saucy", "Dread && Horse", 14, 9}));
    for (int i = 4; i < HIGH_SCORE_COUNT; ++i) EXPECT_EQ(table[i], before[i - 1]) << i;
    EXPECT_EQ(loadHighScores(store), table);
}

TEST_F(HighScoresTest, GameNoWiderThanTheLastEntryIsNotRecorded)
{
    table = tableWithMargins({9, 8, 7, 6, 5, 4, 3, 3, 3, 3});
    const HighScoreTable before = table;
    seatPlayers({"A", "B", "C", "D"});
    finish(14, 11);
    finish(13, 14);
    EXPECT_EQ(table, before);
    EXPECT_EQ(store.writes, 0);
    EXPECT_TRUE(store.values.empty());
}

TEST(FindHighScorePosition, FirstEntryWithAStrictlyLowerMargin)
{
    const HighScoreTable table = tableWithMargins({8, 5, 5, 0, 0, 0, 0, 0, 0, -2});
    const std::pair<int, std::optional<int>> cases[] = {
        {9, 1}, {8, 2}, {6, 2}, {5, 4}, {1, 4}, {0, 10}, {-1, 10}, {-2, std::nullopt}, {-9, std::nullopt},
    };
    for (const auto& [margin, position] : cases) EXPECT_EQ(findHighScorePosition(table, margin), position) << margin;
}

// --- Text form and scrambling ------------------------------------------------

TEST(HighScoreText, DefaultTableIsTenPlainEntriesWithoutTerminator)
{
    const std::string text = highScoreText(defaultHighScores());
    EXPECT_EQ(text, defaultText());
    EXPECT_EQ(text.size(), 179u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 39);
}

TEST(HighScoreText, NamesWithoutTabOr9BAreStoredVerbatim)
{
    HighScoreTable table = defaultHighScores();
    table[0] = {"Zoë && Ñandú", "Brontë \\ \x7f && ~", -3, 2147483647};
    const std::string prefix = "Zoë && Ñandú\tBrontë \\ \x7f && ~\t-3\t2147483647\tNobody\t";
    EXPECT_EQ(highScoreText(table).substr(0, prefix.size()), prefix);
}

TEST(ScrambleText, XorsEveryByteUpToTheFirstZero)
{
    std::string text = "Nobody\t0";
    scrambleText(text);
    EXPECT_EQ(text, "\xD5\xF4\xF9\xF4\xFF\xE2\x92\xAB");
    scrambleText(text);
    EXPECT_EQ(text, "Nobody\t0");

    std::string cut("AB\0CD", 5);
    scrambleText(cut);
    EXPECT_EQ(cut, std::string("\xDA\xD9\0CD", 5));
}

TEST(SaveHighScores, StoresTheScrambledTextUnderScoresData)
{
    MapStore store;
    saveHighScores(defaultHighScores(), store);

    const std::string nobody = "\xD5\xF4\xF9\xF4\xFF\xE2";
    const std::string entry = nobody + "\x92" + nobody + "\x92\xAB\x92\xAB";
    std::string expected = entry;
    for (int i = 1; i < HIGH_SCORE_COUNT; ++i) expected += "\x92" + entry;
    ASSERT_EQ(store.values.size(), 2u);
    EXPECT_EQ(store.values.at("Scores/Data"), expected);
    EXPECT_EQ(store.values.at("Scores/Played"), "?\t?\t?\t?\t?\t?\t?\t?\t?\t?");
    EXPECT_EQ(store.flushedWrites, 0);
}

// --- Loading -----------------------------------------------------------------

TEST(LoadHighScores, MissingEntryGivesTheDefaultTable)
{
    EXPECT_EQ(loadHighScores(MapStore{}), defaultHighScores());
}

TEST(LoadHighScores, TakesTheStoredOrderAndSkipsEmptyFields)
{
    std::string text = "\t\tWide\tNarrow\t2147483647\t-2147483648\t\t\tLow\tHigh\t1\t9";
    for (int i = 2; i < HIGH_SCORE_COUNT; ++i) text += "\t" + DEFAULT_ENTRY_TEXT;
    MapStore store;
    store.values["Scores/Data"] = scrambled(text + "\t\t");

    HighScoreTable expected = defaultHighScores();
    expected[0] = {"Wide", "Narrow", INT32_MAX, INT32_MIN};
    expected[1] = {"Low", "High", 1, 9};
    HighScoreTable table = loadHighScores(store);
    EXPECT_EQ(table, expected);

    // The extreme margin must not wrap around in the comparison.
    EXPECT_EQ(findHighScorePosition(table, 5), 2);
}

TEST(LoadHighScores, MalformedValueGivesTheDefaultTable)
{
    const std::string good = defaultText();
    const std::string withoutLast = good.substr(0, good.size() - 1);
    const std::pair<const char*, std::string> cases[] = {
        {"empty value", ""},
        {"only TABs", "\t\t\t"},
        {"39 fields", good.substr(0, good.size() - 2)},
        {"41 fields", good + "\t0"},
        {"eleven entries", good + "\t" + DEFAULT_ENTRY_TEXT},
        {"missing name", "Nobody\t\t0\t0\t" + good.substr(DEFAULT_ENTRY_TEXT.size() + 1)},
        {"word score", withoutLast + "x"},
        {"trailing junk", withoutLast + "5x"},
        {"decimal point", withoutLast + "1.5"},
        {"leading plus", withoutLast + "+5"},
        {"above 32 bits", withoutLast + "2147483648"},
        {"below 32 bits", withoutLast + "-2147483649"},
        {"lone minus", withoutLast + "-"},
    };
    for (const auto& [what, text] : cases) {
        MapStore store;
        store.values["Scores/Data"] = scrambled(text);
        EXPECT_EQ(loadHighScores(store), defaultHighScores()) << what;
    }

    MapStore unscrambled;
    unscrambled.values["Scores/Data"] = good;
    EXPECT_EQ(loadHighScores(unscrambled), defaultHighScores()) << "stored unscrambled";
}

// --- Names that the text form cannot hold as they are ------------------------

TEST(HighScoreNames, EveryNameReadsBackWithTheWholeTable)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Zdeněk && Saucy", "Zdeněk && Saucy"},  // ě is C4 9B
        {"中文", "中文"},  // 中 is E4 B8 AD
        {"\x9B", "\x9B"},
        {"\x9B\x9B\xFF", "\x9B\x9B\xFF"},
        {"\xFF\x01\xFF\x03\xFF\x04", "\xFF\x01\xFF\x03\xFF\x04"},  // looks like escapes
        {"end\xFF", "end\xFF"},
        {"Tab\tName", "Tab Name"},
        {"\t", " "},
        {"", " "},
        {std::string("a\0b", 3), "a b"},
    };
    for (const auto& [name, readBack] : cases) {
        SCOPED_TRACE(::testing::PrintToString(name));
        HighScoreTable table = defaultHighScores();
        table[0] = {name, "Horse", 14, 9};
        table[1] = {"Dread", name, 14, 10};
        MapStore store;
        saveHighScores(table, store);
        // Neither byte survives the registry.
        const std::string& stored = store.values.at("Scores/Data");
        EXPECT_EQ(stored.find_first_of(std::string("\0\x7F", 2)), std::string::npos);

        HighScoreTable expected = table;
        expected[0].winners = readBack;
        expected[1].losers = readBack;
        EXPECT_EQ(loadHighScores(store), expected);
    }
}

TEST_F(HighScoresTest, RecordedGameShowsTheNamesItWillReadBack)
{
    table = tableWithMargins({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    seatPlayers({"Zdeněk", "Sau\tcy", "Dread", "Horse"});
    finish(14, 9);
    EXPECT_EQ(table[5].winners, "Zdeněk && Sau cy");
    EXPECT_EQ(loadHighScores(store), table);
}

// --- How each game was played, kept beside the table ------------------------

std::vector<std::optional<PlayedAs>> playedOf(const HighScoreTable& table)
{
    std::vector<std::optional<PlayedAs>> played;
    for (const HighScoreEntry& entry : table) played.push_back(entry.played);
    return played;
}

TEST_F(HighScoresTest, EachGameSaysHowItWasPlayedAndReadsItBack)
{
    struct Case {
        const char* what;
        std::vector<std::string> names;
        std::vector<int> computers;  // seats this program's computers played
        PlayedAs played;
        const char* description;
    };
    const Case cases[] = {
        {"Duvanto", {"Bossman", "Horse"}, {2}, {2, 1, "Expert"}, "Duvanto, Expert computer"},
        {"alone with three computers", {"A", "B", "C", "D"}, {1, 2, 3}, {4, 3, "Standard"}, "Standard computers"},
        {"with a partner", {"A", "B", "C", "D"}, {2, 3}, {4, 2, "Expert"}, "Expert computers"},
        {"joined network game", {"A", "B", "C", "D"}, {}, {4, 0, ""}, "network game"},
        {"network Duvanto", {"A", "B"}, {}, {2, 0, ""}, "Duvanto, network game"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        table = defaultHighScores();
        for (Seat& seat : game.seats) seat = Seat{};
        seatPlayers(c.names);
        for (int seat : c.computers) game.seats[seat].kind = COMPUTER;
        level = c.played.computerLevel.empty() ? "Expert" : c.played.computerLevel;
        finish(14, 3);
        ASSERT_TRUE(table[0].played);
        EXPECT_EQ(*table[0].played, c.played);
        EXPECT_EQ(playedDescription(table[0].played), c.description);
        const HighScoreTable read = loadHighScores(store);
        EXPECT_EQ(playedOf(read), playedOf(table));
        EXPECT_TRUE(table[1].empty());
        EXPECT_FALSE(table[0].empty());
    }
    EXPECT_EQ(playedDescription(std::nullopt), "");
}

// The table's own value is what older programs read and write: it is
// written as before, and a value written by them alone reads as before.
TEST_F(HighScoresTest, OlderProgramsAndTheirTablesStillAgree)
{
    seatPlayers({"Bossman", "Horse"});
    game.seats[2].kind = COMPUTER;
    finish(14, 3);
    const std::optional<HighScoreTable> oldRead = parseHighScoreText(storedPlainText());
    ASSERT_TRUE(oldRead);
    EXPECT_EQ(*oldRead, table);

    MapStore older;
    older.values["Scores/Data"] = store.values.at("Scores/Data");
    const HighScoreTable read = loadHighScores(older);
    EXPECT_EQ(read, table);
    EXPECT_EQ(playedOf(read), std::vector<std::optional<PlayedAs>>(HIGH_SCORE_COUNT)) << "no details are made up";
}

// An older program records a game and writes only Data: the rows it moved
// keep their details, the row it wrote and the row it dropped have none.
TEST_F(HighScoresTest, RowsMovedByAProgramThatWritesOnlyDataKeepTheirDetails)
{
    table = tableWithMargins({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    for (int i = 0; i < HIGH_SCORE_COUNT; ++i) table[i].played = PlayedAs{4, 1 + i % 3, i % 2 ? "Expert" : "Standard"};
    saveHighScores(table, store);

    HighScoreTable olderWrote = table;
    std::move_backward(olderWrote.begin() + 2, olderWrote.end() - 1, olderWrote.end());
    olderWrote[2] = {"New", "Old", 14, 6, std::nullopt};
    std::string data = highScoreText(olderWrote);
    scrambleText(data);
    store.values["Scores/Data"] = data;

    const HighScoreTable read = loadHighScores(store);
    EXPECT_EQ(read, olderWrote);
    for (int i = 0; i < HIGH_SCORE_COUNT; ++i) {
        SCOPED_TRACE(i);
        if (i == 2) {
            EXPECT_FALSE(read[i].played);
        } else {
            ASSERT_TRUE(read[i].played);
            EXPECT_EQ(*read[i].played, *table[i < 2 ? i : i - 1].played);
        }
    }
}

TEST(LoadHighScores, BadPlayedValuesLeaveOnlyTheirRowsWithoutDetails)
{
    HighScoreTable table = tableWithMargins({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    for (HighScoreEntry& entry : table) entry.played = PlayedAs{4, 2, "Expert"};
    MapStore good;
    saveHighScores(table, good);
    const std::string played = good.values.at("Scores/Played");
    const std::string firstField = played.substr(0, played.find('\t'));
    const std::string rest = played.substr(firstField.size());
    const std::string check = firstField.substr(0, 8);
    const std::string secondRowCheck = played.substr(firstField.size() + 1, 8);

    // Values that spoil the first field only, then the whole value.
    const std::pair<const char*, std::string> firstFieldCases[] = {
        {"unknown", "?"},
        {"empty", ""},
        {"check of another row", secondRowCheck + ",4,2,Expert"},
        {"check not hex", "zzzzzzzz,4,2,Expert"},
        {"short check", check.substr(1) + ",4,2,Expert"},
        {"three seats", check + ",3,2,Expert"},
        {"every seat a computer", check + ",4,4,Expert"},
        {"negative computers", check + ",4,-1,Expert"},
        {"computers without a level", check + ",4,2,-"},
        {"a level without computers", check + ",4,0,Expert"},
        {"level with a comma", check + ",4,2,Ex,pert"},
        {"level with digits", check + ",4,2,Expert2"},
        {"level too long", check + ",4,2," + std::string(17, 'E')},
        {"seats with a sign", check + ",+4,2,Expert"},
        {"five parts", firstField + ",x"},
    };
    for (const auto& [what, field] : firstFieldCases) {
        SCOPED_TRACE(what);
        MapStore store = good;
        store.values["Scores/Played"] = field + rest;
        const HighScoreTable read = loadHighScores(store);
        EXPECT_EQ(read, table);
        EXPECT_FALSE(read[0].played);
        for (int i = 1; i < HIGH_SCORE_COUNT; ++i) EXPECT_TRUE(read[i].played) << i;
    }

    const std::pair<const char*, std::string> wholeCases[] = {
        {"empty", ""},
        {"nine fields", rest.substr(1)},
        {"eleven fields", played + "\t" + firstField},
        {"scrambled", [&] { std::string s = played; scrambleText(s); return s; }()},
    };
    for (const auto& [what, value] : wholeCases) {
        SCOPED_TRACE(what);
        MapStore store = good;
        store.values["Scores/Played"] = value;
        const HighScoreTable read = loadHighScores(store);
        EXPECT_EQ(read, table);
        EXPECT_EQ(playedOf(read), std::vector<std::optional<PlayedAs>>(HIGH_SCORE_COUNT));
    }
}

} // namespace
