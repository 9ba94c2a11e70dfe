// The speed and the rule variations as they come back from the settings:
// whatever is stored, the program starts with values it can play.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/map_store.h"
#include "ui/game_speed.h"
#include "ui/saved_rules.h"

TEST(GameSpeedTest, StoredSpeedIsReadBackAndAnythingElseIsNormal)
{
    struct Case {
        const char* stored;  // nullptr: no entry
        GameSpeed speed;
    };
    const Case cases[] = {
        {"Slow", GameSpeed::SLOW}, {"Normal", GameSpeed::NORMAL}, {"Fast", GameSpeed::FAST},
        {nullptr, GameSpeed::NORMAL}, {"fast", GameSpeed::NORMAL}, {"Fast ", GameSpeed::NORMAL},
        {"", GameSpeed::NORMAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        MapStore store;
        if (c.stored) store.values["Display/Speed"] = c.stored;
        EXPECT_EQ(loadGameSpeed(store), c.speed);
    }
}

TEST(GameSpeedTest, EachSpeedSurvivesARestartAndSetsItsWaits)
{
    struct Case {
        GameSpeed speed;
        const char* stored;
        int wait;
        int kickPause;  // the 2200 ms pause after a kick
    };
    const Case cases[] = {
        {GameSpeed::SLOW, "Slow", 900, 3300},
        {GameSpeed::NORMAL, "Normal", 450, 2200},
        {GameSpeed::FAST, "Fast", 0, 2200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        MapStore store;
        saveGameSpeed(store, c.speed);
        EXPECT_EQ(store.flushed.at("Display/Speed"), c.stored) << "written to the file at once";
        EXPECT_EQ(loadGameSpeed(store), c.speed);
        EXPECT_EQ(computerWaitMs(c.speed), c.wait);
        EXPECT_EQ(pauseMs(c.speed, 2200), c.kickPause);
        EXPECT_EQ(pauseMs(c.speed, 0), 0) << "no pause stays no pause";
    }
}

TEST(SavedRulesTest, ChosenRulesSurviveARestart)
{
    RuleSettings chosen;
    chosen.reneedRule = RENEED_HIGH_TRUMP_BULLSEYE;
    chosen.noGamePointIfReneed = 1;
    chosen.underTrumpPenalty = UNDER_TRUMP_BULLSEYE;
    chosen.target = 7;
    chosen.hangJackPoints = 1;
    chosen.tobagoRules = 1;
    chosen.forceFollow = FOLLOW_NEVER;
    chosen.forceBeg = 1;
    MapStore store;
    saveRules(store, chosen);
    EXPECT_EQ(store.flushed.size(), 8u);
    EXPECT_EQ(store.flushed.at("Rules/target"), "7");
    EXPECT_EQ(loadRules(store), chosen);
}

TEST(SavedRulesTest, AStoredValueTheDialogDoesNotOfferFallsBackAlone)
{
    struct Case {
        const char* key;
        int32_t RuleSettings::*field;
        const char* stored;
    };
    const Case cases[] = {
        {"reneedRule", &RuleSettings::reneedRule, "6"},
        {"reneedRule", &RuleSettings::reneedRule, "-1"},
        {"reneedRule", &RuleSettings::reneedRule, " 1"},
        {"noGamePointIfReneed", &RuleSettings::noGamePointIfReneed, "2"},
        {"underTrumpPenalty", &RuleSettings::underTrumpPenalty, "3"},
        {"target", &RuleSettings::target, "10"},
        {"target", &RuleSettings::target, "14x"},
        {"target", &RuleSettings::target, "99999999999999"},
        {"hangJackPoints", &RuleSettings::hangJackPoints, "2"},
        {"tobagoRules", &RuleSettings::tobagoRules, "yes"},
        {"forceFollow", &RuleSettings::forceFollow, "3"},
        {"forceBeg", &RuleSettings::forceBeg, ""},
    };
    // Every rule away from its default, so a fallback shows.
    RuleSettings good;
    good.reneedRule = RENEED_ALL_ONE_POINT;
    good.noGamePointIfReneed = 1;
    good.underTrumpPenalty = UNDER_TRUMP_ONE_POINT;
    good.target = 7;
    good.hangJackPoints = 1;
    good.tobagoRules = 1;
    good.forceFollow = FOLLOW_ONLY_TRUMP;
    good.forceBeg = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
        MapStore store;
        saveRules(store, good);
        store.values[std::string("Rules/") + c.key] = c.stored;
        RuleSettings expected = good;
        expected.*c.field = RuleSettings{}.*c.field;
        EXPECT_EQ(loadRules(store), expected);
    }
}

TEST(SavedRulesTest, NothingStoredGivesTheDefaults) { EXPECT_EQ(loadRules(MapStore{}), RuleSettings{}); }
