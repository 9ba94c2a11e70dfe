// The fonts of the table, and the places of the score labels they must fit.
#pragma once

#include <fx.h>

#include "ui/card_scale.h"

// Where the score labels stand in the top bar when small; they grow with the table.
constexpr int SCORE_LABEL_X = 165;
constexpr int OPPONENT_SCORE_LABEL_X = 368;
// What the labels add to their texts' widths, and the gap a game label
// keeps after its score label.
constexpr int LABEL_EXTRA = 10;
constexpr int OPPONENT_SCORE_EXTRA = 18;
constexpr int GAME_LABEL_GAP = 8;

// The widest texts the labels show in a game: scores up to the target,
// card points up to the 80 of a whole pack.
constexpr const char* WIDEST_SCORE = "Score: 14";
constexpr const char* WIDEST_OPPONENT_SCORE = "Opponent Score: 14";
constexpr const char* WIDEST_GAME_POINTS = "[Game: 80]";

// Where a game label goes: after the widest text of its score label.
int gameLabelPlace(const FXFont* font, int scoreX, const char* widestScore, int extra);

// The fonts of the table, from the face of the toolkit's normal font, at the
// sizes that go with the table's size.
struct TableFonts {
    FXFont* table = nullptr;     // names and captions
    FXFont* score = nullptr;     // score labels
    FXFont* announce = nullptr;  // banners across the table
    FXFont* button = nullptr;    // the BEG button's letters

    static TableFonts create(FXApp* app, CardScale scale);
    void destroy();
};
