// The modal "High Scores" dialog of the Display menu. Showing it changes
// nothing.
#pragma once

#include "records/high_scores.h"

namespace FX {
class FXWindow;
}

void showHighScores(FX::FXWindow* owner, const HighScoreTable& table);
