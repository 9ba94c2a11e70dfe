#include "net/player_names.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/map_store.h"

namespace {

using Names = std::vector<std::string>;

TEST(SplitSavedNames, SkipsEmptyPieces)
{
    const struct {
        const char* saved;
        Names names;
    } cases[] = {
        {"", {}},
        {"\n\n", {}},
        {"Ann", {"Ann"}},
        {"Ann\nBob", {"Ann", "Bob"}},
        {"\nAnn\n\nBob\n", {"Ann", "Bob"}},
        {" \nann\nAnn", {" ", "ann", "Ann"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitSavedNames(c.saved), c.names) << '"' << c.saved << '"';
}

TEST(PlayerNames, ReadsTheSavedNamesOnce)
{
    MapStore store;
    EXPECT_EQ(PlayerNames(store).saved(), "");
    store.values["SETTINGS/names"] = "Ann\n\nBob";
    EXPECT_EQ(PlayerNames(store).list(), (Names{"Ann", "Bob"}));
}

TEST(PlayerNames, RemembersEachNameOnceAndWritesAtOnce)
{
    MapStore store;
    PlayerNames names(store);
    names.remember("Ann");
    EXPECT_EQ(store.values["SETTINGS/names"], "Ann");
    EXPECT_EQ(store.flushedWrites, 1);
    names.remember("Bob");
    names.remember("Ann");
    names.remember("ann");
    EXPECT_EQ(names.saved(), "Ann\nBob\nann");
    EXPECT_EQ(store.values["SETTINGS/names"], names.saved());
    EXPECT_EQ(store.writes, 3);
    EXPECT_EQ(store.flushedWrites, 3);
}

TEST(PlayerNames, NamesTheListCannotHoldAreNotRemembered)
{
    MapStore store;
    store.values["SETTINGS/names"] = "Ann";
    PlayerNames names(store);
    for (const std::string& name : {std::string(), std::string("Bo\nCid"), std::string("Del\x7f"),
                                    std::string("Nul\0x", 5)})
        names.remember(name);
    EXPECT_EQ(names.saved(), "Ann");
    EXPECT_EQ(store.writes, 0);
}

TEST(StoreNames, SeatsThePlayersAsTheFieldsSay)
{
    const struct {
        const char* what;
        const char* partner;
        bool firstEntry;
        bool duvanto;
        int seatCount;
        int localPlayers;
        std::optional<std::string> seat1;
        const char* saved;
        const char* lastPartner;  // remembered for the next start
    } cases[] = {
        {"Nobody left current", "Nobody", true, false, 4, 1, std::nullopt, "Ann", ""},
        {"a saved partner chosen", "Bob", false, false, 4, 2, "Bob", "Ann\nBob", "Bob"},
        {"a new partner typed", "Bob", true, false, 4, 2, "Bob", "Ann\nBob", "Bob"},
        {"Nobody typed over a chosen name", "Nobody", false, false, 4, 2, "Nobody", "Ann\nNobody", "Nobody"},
        {"nobody in other letters", "nobody", true, false, 4, 2, "nobody", "Ann\nnobody", "nobody"},
        {"an emptied partner field", "", true, false, 4, 2, "", "Ann", ""},
        {"Duvanto with a partner", "Bob", false, true, 2, 1, std::nullopt, "Ann", ""},
        {"Duvanto with Nobody", "Nobody", true, true, 2, 1, std::nullopt, "Ann", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MapStore store;
        PlayerNames names(store);
        GameState game;
        // Seat 1 still holds a player of an earlier game.
        setSeatName(game.seats[1], "Old");
        game.seats[1].kind = COMPUTER;
        storeNames(game, "Ann", c.partner, c.firstEntry, c.duvanto, names);
        EXPECT_EQ(game.seats[0].name, "Ann");
        EXPECT_TRUE(game.seats[0].inPlay());
        EXPECT_EQ(game.seatCount, c.seatCount);
        EXPECT_EQ(game.localPlayers, c.localPlayers);
        EXPECT_EQ(game.seats[1].inPlay(), c.seat1.has_value());
        if (c.seat1) {
            EXPECT_EQ(game.seats[1].name, *c.seat1);
            EXPECT_EQ(game.seats[1].kind, LOCAL_HUMAN);
        }
        EXPECT_EQ(names.saved(), c.saved);
        // Read back as at the next start.
        const PlayerNames next(store);
        EXPECT_EQ(next.lastName(), "Ann");
        EXPECT_EQ(next.lastPartner(), c.lastPartner);
        EXPECT_EQ(store.flushed, store.values) << "in the file at once";
    }
}

TEST(PlayerNames, ALastNameNoFieldCouldHoldIsNone)
{
    MapStore store;
    store.values["SETTINGS/last"] = "Ann\nBob";
    store.values["SETTINGS/partner"] = std::string("B\x7fob");
    const PlayerNames names(store);
    EXPECT_EQ(names.lastName(), "");
    EXPECT_EQ(names.lastPartner(), "");
}

TEST(StoreNames, AKnownPlayerIsNotSavedAgain)
{
    MapStore store;
    store.values["SETTINGS/names"] = "Bob\nAnn";
    PlayerNames names(store);
    GameState game;
    storeNames(game, "Ann", "Bob", false, false, names);
    EXPECT_EQ(names.saved(), "Bob\nAnn");
    EXPECT_EQ(store.writes, 2) << "only who played last";
    EXPECT_EQ(store.values["SETTINGS/names"], "Bob\nAnn");
}

}  // namespace
