// Game records: written from the applied actions of real games, read back
// and replayed to the recorded result; damaged records refused with their
// line and what is wrong.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <poll.h>

#include <gtest/gtest.h>

#include "engine/deal.h"
#include "engine/headless_table.h"
#include "engine/loopback.h"
#include "players/background_review.h"
#include "players/computer.h"
#include "records/game_record.h"
#include "records/game_statistics.h"
#include "records/record_review.h"
#include "records/record_replay.h"
#include "records/record_writer.h"

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string freshFolder(const std::string& name)
{
    const std::string folder = testing::TempDir() + "records_" + name;
    std::system(("rm -rf '" + folder + "'").c_str());
    return folder;
}

// A local game among computer seats through the real dispatcher, feeding
// a writer. `stopAfter` actions (-1: none) ends the run mid-game, as a
// killed program would.
struct RecordedGame : GameHooks {
    RecordedGame(const std::string& folder, int seats, const RuleSettings& rules, unsigned seed) : writer(folder, "test", [] {
        return std::string("Standard");
    })
    {
        std::srand(seed);
        initGame(game);
        game.table = &table;
        game.outbox = &loop;
        game.computers = &players;
        game.hooks = this;
        table.deliverPending = [this] { deliver(); };
        table.onRoundSummary = [this](const RoundSummary&) { ++summaries; };
        game.afterAction = [this](const GameAction& a) {
            writer.onAction(game, a);
            if (afterEach) afterEach(a);
        };
        configureTable(game, seats);
        for (int s = 0; s < 4; ++s) {
            if (seats == 2 && s % 2) continue;
            setSeatName(game.seats[s], s == 0 ? "Ann \"the\" \\Best" : "Computer " + std::to_string(s));
            game.seats[s].kind = COMPUTER;
        }
        game.seats[0].connection = 0;
        game.rules = rules;
        game.sessionMode = MODE_LOCAL;
        game.hosting = true;
        game.turn = TURN_DEALING;
    }

    void play(long stopAfter = -1)
    {
        limit = stopAfter;
        chooseDealer(game);
        deliver();
    }

    void deliver()
    {
        while (!loop.pending().empty() && (limit < 0 || applied < limit)) {
            const GameAction a = loop.pending().front();
            loop.pending().pop_front();
            ++applied;
            receiveAction(game, a);
        }
    }

    void recordGameResult(const GameState& g, int) override
    {
        writer.onGameEnd(g);
        scores = {shownScore(g, g.teams[0]), shownScore(g, g.teams[1])};
        ended = true;
    }
    void endSession(GameState&) override {}

    GameState game;
    HeadlessTable table;
    MemoryLoopback loop;
    ComputerStrategy strategy;
    TeamPlayers players{strategy, strategy};
    RecordWriter writer;
    std::function<void(const GameAction&)> afterEach;
    long limit = -1;
    long applied = 0;
    int summaries = 0;
    bool ended = false;
    std::array<int, 2> scores{{0, 0}};
};

}  // namespace

TEST(GameRecordTokens, EveryActionAndCardReadsBackAsWritten)
{
    for (int card = 0; card < CARD_COUNT; ++card) EXPECT_EQ(parseCardToken(cardToken(card)), card) << cardToken(card);
    const GameAction actions[] = {
        {2, 5, ACTION_PLAY},       {0, NO_CARD, ACTION_BEG},      {0, NO_CARD, ACTION_GIVE_ONE},
        {3, 51, ACTION_DEAL},      {0, 9, ACTION_KICK},           {1, NO_CARD, ACTION_SET_DEALER},
        {0, NO_CARD, ACTION_REDEAL}, {3, NO_CARD, ACTION_CALL_RENEED}, {2, NO_CARD, ACTION_TAKEOVER},
        {2, NO_CARD, ACTION_RETURN}};
    for (const GameAction& a : actions) {
        const auto back = parseActionToken(actionToken(a));
        ASSERT_TRUE(back) << actionToken(a);
        EXPECT_EQ(back->action, a.action) << actionToken(a);
        EXPECT_EQ(back->card, a.card) << actionToken(a);
        // Codes that act on the dealer do not keep a seat.
        if (a.action != ACTION_BEG && a.action != ACTION_GIVE_ONE && a.action != ACTION_REDEAL && a.action != ACTION_KICK) {
            EXPECT_EQ(back->seat, a.seat) << actionToken(a);
        }
    }
    EXPECT_EQ(cardToken(12), "Ad");
    EXPECT_EQ(cardToken(13 * 3 + 8), "Ts");
    for (const char* bad : {"", "4", "4:", "4:Ah", "0:Ax", "0:1h", "kick:", "kick:AH", "dealer:x", "play", "0+", "0-Ah"})
        EXPECT_FALSE(parseActionToken(bad)) << bad;
}

TEST(GameRecordWriter, RecordsReplayToTheResultTheGameReached)
{
    const struct {
        int seats;
        const char* rules;
        unsigned seed;
    } cases[] = {{4, "0,0,0,14,3,0,0,0", 3}, {4, "2,1,1,14,3,1,1,1", 4}, {2, "5,1,2,7,1,0,2,1", 5}, {4, "3,0,1,7,3,1,0,0", 6}};
    const std::string folder = freshFolder("replay");
    for (const auto& c : cases) {
        RuleSettings rules;
        std::array<int32_t, RULES_FIELD_COUNT> fields{};
        std::istringstream in(c.rules);
        for (int i = 0; i < RULES_FIELD_COUNT; ++i) {
            in >> fields[i];
            in.ignore();
        }
        rules = rulesFromFields(fields);
        RecordedGame run(folder, c.seats, rules, c.seed);
        run.play();
        ASSERT_TRUE(run.ended) << c.rules;
        const std::string path = run.writer.path();
        ASSERT_EQ(run.writer.error(), "");
        const std::string text = readFile(path);
        RecordError error;
        const auto record = parseGameRecord(text, error);
        ASSERT_TRUE(record) << describeRecordError(path, error);
        EXPECT_EQ(record->tag("Result"), std::to_string(run.scores[0]) + "-" + std::to_string(run.scores[1]));
        EXPECT_EQ(record->tag("Rules"), c.rules);
        EXPECT_EQ(record->tag("Seat0"), "Ann \"the\" \\Best");
        EXPECT_EQ(record->tag("Seats"), std::to_string(c.seats));
        bool ended = false;
        EXPECT_TRUE(checkRecord(*record, error, &ended)) << describeRecordError(path, error);
        EXPECT_TRUE(ended);
        // One round a line: the first begins with the dealer, every other
        // with a card dealt.
        std::istringstream lines(text.substr(text.find("\n\n") + 2));
        std::string line;
        int rounds = 0;
        while (std::getline(lines, line)) {
            EXPECT_EQ(line.find(rounds == 0 ? "dealer:" : "+"), rounds == 0 ? 0u : 1u) << line;
            ++rounds;
        }
        EXPECT_GE(rounds, run.summaries);
    }
}

TEST(GameRecordWriter, EachTrickIsOnDiskWhenItEndsAndAnUnfinishedGameReadsSo)
{
    const std::string folder = freshFolder("flush");
    RecordedGame run(folder, 4, RuleSettings(), 9);
    int tricksChecked = 0;
    run.afterEach = [&](const GameAction& a) {
        if (a.action != ACTION_PLAY || run.game.trick) return;
        // The trick just ended: its last card is in the file already.
        const std::string text = readFile(run.writer.path());
        const std::string token = actionToken(a);
        EXPECT_EQ(text.compare(text.size() - token.size(), token.size(), token), 0) << token;
        ++tricksChecked;
    };
    run.play(200);
    ASSERT_FALSE(run.ended);
    EXPECT_GT(tricksChecked, 4);
    // Killed mid-game: whatever the file holds is a readable, unfinished game.
    const std::string path = run.writer.path();
    RecordError error;
    const auto record = readGameRecordFile(path, error);
    ASSERT_TRUE(record) << describeRecordError(path, error);
    EXPECT_EQ(record->tag("Result"), "*");
    bool ended = true;
    EXPECT_TRUE(checkRecord(*record, error, &ended)) << describeRecordError(path, error);
    EXPECT_FALSE(ended);
}

TEST(GameRecordWriter, FolderFollowsXdgDataHome)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string keep = saved ? saved : "";
    setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(defaultRecordFolder(), "/tmp/xdg/marvanto/games");
    // A relative value is not to be used, as the base directory rules say.
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(defaultRecordFolder(), "/home/someone/.local/share/marvanto/games");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(defaultRecordFolder(), "/home/someone/.local/share/marvanto/games");
    if (saved) setenv("XDG_DATA_HOME", keep.c_str(), 1);
}

// A small finished game to damage: its header and first round as written.
const char* const HEADER =
    "[Event \"Marvanto game\"]\n"
    "[Seats \"2\"]\n"
    "[Rules \"0,0,0,14,3,0,0,0\"]\n"
    "[Seat0 \"Ann\"]\n"
    "[Seat0Kind \"human\"]\n"
    "[Seat2 \"Bo\"]\n"
    "[Seat2Kind \"computer\"]\n"
    "[Result \"*\"]\n"
    "\n";
const char* const DEAL =
    "dealer:2 0+2d 2+3d 0+4d 2+5d 0+6d 2+7d 0+8d 2+9d 0+Td 2+Jd 0+Qd 2+Kd kick:2c\n";

TEST(GameRecordReader, DamagedRecordsAreRefusedWithTheirLineAndWhatIsWrong)
{
    const std::string good = std::string(HEADER) + DEAL;
    {
        RecordError error;
        const auto record = parseGameRecord(good, error);
        ASSERT_TRUE(record) << error.what;
        EXPECT_TRUE(checkRecord(*record, error)) << error.line << ": " << error.what;
    }
    auto replace = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const struct {
        std::string text;
        int line;
        const char* what;
    } cases[] = {
        {"", 0, "empty"},
        {good.substr(0, good.size() - 30), 10, "not an action"},  // cut in the middle of a token
        {replace("0+Qd", "0+Qx"), 10, "\"0+Qx\" is not an action"},
        {replace("[Seats \"2\"]", "[Seats \"3\"]"), 0, "tag Seats must be 4 or 2"},
        {replace("[Seats \"2\"]", "[Seats 2]"), 2, "in double quotes"},
        {replace("[Seats \"2\"]", "[Seats \"2\"] x"), 2, "must end with \"]"},
        {replace("[Event", "[Seats \"2\"]\n[Event"), 3, "given twice"},
        {replace("0,0,0,14,3,0,0,0", "0,0,0,15,3,0,0,0"), 0, "tag Rules"},
        {replace("0,0,0,14,3,0,0,0", "0,0,0,14"), 0, "tag Rules"},
        {replace("[Seat2Kind \"computer\"]", "[Seat2Kind \"alien\"]"), 0, "tag Seat2Kind"},
        {replace("[Seat2 \"Bo\"]\n", ""), 0, "tag Seat2 is missing"},
        {replace("[Seat2 \"Bo\"]", "[Seat1 \"Bo\"]"), 0, "tag Seat1: that seat does not play"},
        {replace("[Result \"*\"]", "[Result \"14\"]"), 0, "tag Result"},
        {replace("[Result \"*\"]", "[Result \"15-3\"]"), 0, "tag Result"},
        {replace("[Result \"*\"]", "[Result \"14-3\"]"), 10, "stop before the game's end"},
        {replace("dealer:2 ", ""), 10, "0+2d: the game must begin with its dealer"},
        {replace("dealer:2", "dealer:1"), 10, "dealer:1: seat 1 does not play"},
        {replace("2+3d", "2+2d"), 10, "2+2d: 2d is no longer in the pack"},
        {replace("kick:2c", "kick:2d"), 10, "kick:2d: 2d is no longer in the pack"},
        {good + "2:2d\n", 11, "2:2d: seat 2 plays out of turn"},
        {good + "0:3d\n", 11, "0:3d: seat 0 does not hold 3d"},
        {good + "give\n", 11, "give: the dealer gives one without a beg"},
        {good + "0:2d dealer:0\n", 11, "dealer:0: a second dealer"},
        {good + "0:2d beg\n", 11, "beg: a beg where none may be made"},
        {good + "0:2d 2:3d 0+4c\n", 11, "0+4c: a card dealt during play"},
        {good + "[Late \"tag\"]\n", 11, "a tag after the actions"},
        {replace("Ann", std::string("A\0n", 3)), 4, "NUL"},
        {replace("Ann", "A\tn"), 4, "control character"},
        {replace("Ann", "A\\n"), 4, "backslash"},
    };
    for (const auto& c : cases) {
        RecordError error;
        const auto record = parseGameRecord(c.text, error);
        if (record) {
            checkRecord(*record, error);
        }
        EXPECT_EQ(error.line, c.line) << c.what << " / " << error.what;
        EXPECT_NE(error.what.find(c.what), std::string::npos) << "wanted \"" << c.what << "\", got \"" << error.what << "\"";
    }
}

TEST(GameRecordReader, AFileIsNamedInTheMessageAndLeftAsItWas)
{
    const std::string folder = freshFolder("file");
    ASSERT_TRUE(makeFolders(folder + "/deep/er"));
    const std::string path = folder + "/deep/er/bad.mvr";
    const std::string text = std::string(HEADER) + "dealer:2 0+2d 2+2d\n";
    std::ofstream(path, std::ios::binary) << text;
    RecordError error;
    auto record = readGameRecordFile(path, error);
    ASSERT_TRUE(record);
    EXPECT_FALSE(checkRecord(*record, error));
    EXPECT_EQ(describeRecordError(path, error), path + ": line 10: 2+2d: 2d is no longer in the pack");
    EXPECT_EQ(readFile(path), text);
    EXPECT_FALSE(readGameRecordFile(folder + "/missing.mvr", error));
    EXPECT_EQ(describeRecordError("missing.mvr", error), "missing.mvr: cannot be opened");
}

TEST(GameStatistics, ComeFromTheRecordsAndSkipWhatCannotBeRead)
{
    const std::string folder = freshFolder("statistics");
    ASSERT_TRUE(makeFolders(folder));
    const std::string fixture = readFile(std::string(RECORDS_DATA) + "/four_seats.mvr");
    ASSERT_FALSE(fixture.empty());
    std::ofstream(folder + "/a.mvr", std::ios::binary) << fixture;
    std::ofstream(folder + "/damaged.mvr", std::ios::binary) << std::string(HEADER) + "dealer:2 0+2d 2+2d\n";
    std::ofstream(folder + "/notes.txt") << "not a record";
    const GameStatistics s = gatherStatistics(folder);
    ASSERT_EQ(s.games.size(), 1u);
    EXPECT_EQ(s.games.begin()->first, "local, Standard");
    EXPECT_EQ(s.games.begin()->second.played, 1);
    EXPECT_EQ(s.games.begin()->second.won, 0);
    // Ann's team lost 1 to 7, begging in the first round.
    EXPECT_EQ(s.margins, std::vector<int>{-6});
    EXPECT_GE(s.rounds, 1);
    EXPECT_GE(s.begs, 1);
    EXPECT_EQ(s.begs, s.begsGivenOne + s.begsRunPack);
    EXPECT_EQ(s.unreadable, 1);
}

TEST(BackgroundReview, ReviewsOnItsOwnThreadAndACancelledReviewGivesNothing)
{
    RecordError error;
    const auto record = readGameRecordFile(std::string(RECORDS_DATA) + "/four_seats.mvr", error);
    ASSERT_TRUE(record);
    const auto header = readRecordHeader(*record, error);
    ASSERT_TRUE(header);
    const auto decisions = collectDecisions(*record, personSeats(*header), error);
    ASSERT_TRUE(decisions);
    ASSERT_GT(decisions->size(), 3u);
    ExpertSettings quick;
    quick.samples = 2;
    quick.begSamples = 1;
    BackgroundReview review;
    review.start(*decisions, quick);
    pollfd wake{review.wakeDescriptor(), POLLIN, 0};
    for (int i = 0; i < 600 && !review.finished(); ++i) {
        poll(&wake, 1, 100);
        review.drain();
    }
    ASSERT_TRUE(review.finished());
    EXPECT_EQ(review.drain(), decisions->size());
    const auto results = review.takeResults();
    ASSERT_EQ(results.size(), decisions->size());
    for (size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].decision.line, (*decisions)[i].line);
        EXPECT_GE(results[i].best + 1e-9, results[i].chosen);
    }
    review.start(*decisions, ExpertSettings());
    review.cancel();
    EXPECT_FALSE(review.finished());
    EXPECT_TRUE(review.takeResults().empty());
}

TEST(GameRecordDeal, PlayedAgainTheFirstRoundDealsTheRecordedCardsThenTheGameGoesOn)
{
    RecordError error;
    const auto original = readGameRecordFile(std::string(RECORDS_DATA) + "/four_seats.mvr", error);
    ASSERT_TRUE(original);
    const GameState::StackedDeal deal = firstDealOf(*original);
    ASSERT_EQ(deal.dealer, 2);
    ASSERT_GE(deal.cards.size(), 25u);

    const std::string folder = freshFolder("again");
    RecordedGame run(folder, 4, rulesFromFields({2, 1, 1, 7, 3, 1, 1, 1}), 99);
    run.game.stackedDeal = deal;
    run.play();
    ASSERT_TRUE(run.ended);
    const auto again = readGameRecordFile(run.writer.path(), error);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->actions[0].action.seat, 2);
    // The first deal and kick are the recorded ones, whatever follows.
    for (size_t i = 1; i <= 25; ++i) {
        EXPECT_EQ(again->actions[i].action.action, original->actions[i].action.action) << i;
        EXPECT_EQ(again->actions[i].action.card, original->actions[i].action.card) << i;
    }
    EXPECT_TRUE(checkRecord(*again, error)) << error.what;
    // Used once: the next game deals as it will.
    EXPECT_EQ(run.game.stackedDeal.dealer, -1);
    EXPECT_TRUE(run.game.stackedDeal.cards.empty());
}

TEST(GameRecordHints, AskedHintsAreKeptOutsideTheActionsAndCountedForThePerson)
{
    const std::string folder = freshFolder("hints");
    RecordedGame run(folder, 4, RuleSettings(), 11);
    int asked = 0;
    run.afterEach = [&](const GameAction& a) {
        // Seat 0 asks before every card it plays in the first tricks; seat 1 once.
        if (a.action == ACTION_PLAY && asked < 3) {
            run.writer.onHint(asked == 1 ? 1 : 0);
            ++asked;
        }
    };
    run.play();
    ASSERT_TRUE(run.ended);
    RecordError error;
    auto record = readGameRecordFile(run.writer.path(), error);
    ASSERT_TRUE(record) << describeRecordError(run.writer.path(), error);
    ASSERT_EQ(record->hints.size(), 3u);
    EXPECT_EQ(record->hints[1].seat, 1);
    EXPECT_GT(record->hints[0].before, 0u);
    EXPECT_TRUE(checkRecord(*record, error)) << describeRecordError(run.writer.path(), error);
    EXPECT_FALSE(parseGameRecord(std::string(HEADER) + "dealer:2 hint:7\n", error));
    EXPECT_EQ(error.line, 10);

    // Counted for the people at the recording machine only.
    const std::string text = readFile(run.writer.path());
    const std::string kind = "[Seat0Kind \"computer\"]";
    ASSERT_NE(text.find(kind), std::string::npos);
    const std::string stats = freshFolder("hint_statistics");
    ASSERT_TRUE(makeFolders(stats));
    std::ofstream(stats + "/a.mvr", std::ios::binary)
        << std::string(text).replace(text.find(kind), kind.size(), "[Seat0Kind \"human\"]");
    const GameStatistics s = gatherStatistics(stats);
    EXPECT_EQ(s.hints, 2);
    EXPECT_NE(statisticsText(s).find("Hints taken: 2"), std::string::npos);
}

TEST(GameReviewFile, KeptBesideTheRecordReadBackAndAveragedInTheStatistics)
{
    const std::string folder = freshFolder("review_file");
    ASSERT_TRUE(makeFolders(folder));
    const std::string record = folder + "/game.mvr";
    std::ofstream(record, std::ios::binary) << readFile(std::string(RECORDS_DATA) + "/four_seats.mvr");
    EXPECT_EQ(reviewPathFor(record), folder + "/game.review");
    std::vector<ReviewedDecision> reviewed(3);
    reviewed[0].decision = {ReviewDecision::BEG, {}, 1, 1, 0, 19};
    reviewed[0].chosen = 0.40, reviewed[0].best = 0.52, reviewed[0].bestChoice = 0;
    reviewed[1].decision = {ReviewDecision::CARD, {}, parseCardToken("Th"), 2, 3, 20};
    reviewed[1].chosen = 0.6, reviewed[1].best = 0.6, reviewed[1].bestChoice = parseCardToken("Th");
    // A computer's decision, reviewed too: not the person's.
    reviewed[2].decision = {ReviewDecision::DEALER, {}, 0, 2, 0, 20};
    reviewed[2].decision.view.seat = 2;
    reviewed[2].chosen = 0.1, reviewed[2].best = 0.9, reviewed[2].bestChoice = 1;
    std::string why;
    ASSERT_TRUE(saveReview(reviewPathFor(record), reviewed, why)) << why;
    RecordError error;
    const auto back = loadReview(reviewPathFor(record), error);
    ASSERT_TRUE(back) << describeRecordError("game.review", error);
    ASSERT_EQ(back->size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ((*back)[i].decision.kind, reviewed[i].decision.kind);
        EXPECT_EQ((*back)[i].decision.choice, reviewed[i].decision.choice);
        EXPECT_EQ((*back)[i].decision.line, reviewed[i].decision.line);
        EXPECT_EQ((*back)[i].decision.view.seat, reviewed[i].decision.view.seat);
        EXPECT_EQ((*back)[i].bestChoice, reviewed[i].bestChoice);
        EXPECT_NEAR((*back)[i].loss(), reviewed[i].loss(), 0.01);
    }
    // Ann's two decisions lost 12 and 0 points: 6 a decision.
    GameStatistics s = gatherStatistics(folder);
    EXPECT_EQ(s.reviewedDecisions, 2);
    EXPECT_NEAR(s.reviewLoss / s.reviewedDecisions, 6.0, 0.01);
    EXPECT_NE(statisticsText(s).find("6.0 points of winning chance lost a decision"), std::string::npos);

    // Damaged reviews are refused with their line, and left out of the figures.
    const struct {
        const char* text;
        int line;
    } damaged[] = {{"[Event \"Marvanto game\"]\n", 1},
                   {"[Event \"Marvanto review\"]\n\n19 1 0 0 beg maybe 0.4 stand 0.5\n", 3},
                   {"[Event \"Marvanto review\"]\n19 1 0 9 card Th 0.4 Th 0.5\n", 2},
                   {"[Event \"Marvanto review\"]\n19 1 0 0 card Th 1.4 Th 0.5\n", 2},
                   {"[Event \"Marvanto review\"]\n19 1 0 0 card Th 0.4\n", 2}};
    for (const auto& d : damaged) {
        std::ofstream(reviewPathFor(record), std::ios::binary | std::ios::trunc) << d.text;
        EXPECT_FALSE(loadReview(reviewPathFor(record), error)) << d.text;
        EXPECT_EQ(error.line, d.line) << d.text;
    }
    s = gatherStatistics(folder);
    EXPECT_EQ(s.reviewedDecisions, 0);
    EXPECT_EQ(s.unreadableReviews, 1);
    EXPECT_EQ(s.games.begin()->second.played, 1);
}
