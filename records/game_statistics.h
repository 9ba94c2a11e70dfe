// The person's statistics, computed from the game records themselves (there
// is no other store): every record in the folder replayed, each round's
// summary and the person's own actions counted for the team of the first
// person seated at the recording machine; and the reviews kept beside the
// records, for the person's decisions.
#pragma once

#include <map>
#include <string>
#include <vector>

struct GameStatistics {
    struct Tally {
        int played = 0;
        int won = 0;
    };
    // By mode and computer level: "local, Standard".
    std::map<std::string, Tally> games;
    int rounds = 0;
    int points = 0;  // gained by the person's team over all rounds
    int high = 0, low = 0, jack = 0, game = 0;
    int begs = 0, begsGivenOne = 0, begsRunPack = 0;
    int kicks = 0;       // cards the person's team turned up that scored
    int hungJacks = 0;   // jacks the person's team hung
    int reneedsRight = 0, reneedsWrong = 0;
    int hints = 0;  // asked for by the people at the recording machine
    // The people's decisions in the reviews kept, and the points of winning
    // chance they lost in all.
    int reviewedDecisions = 0;
    double reviewLoss = 0;
    // Finished games in the order played: the person's team's score less
    // the other team's.
    std::vector<int> margins;
    int unreadable = 0;  // records that could not be replayed
    int unreadableReviews = 0;
};

GameStatistics gatherStatistics(const std::string& folder);
// The figures as lines of text, for the dialog and for people who read.
std::string statisticsText(const GameStatistics& statistics);
