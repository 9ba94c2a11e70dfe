#include "records/high_score_dialog.h"

#include <fx.h>

#include <algorithm>

namespace {

constexpr std::size_t WINNERS_MAX = 255;
constexpr FXint PLAYED_GAP = 16;
constexpr FXint LABEL_PAD = 2;

// The winners column shows at most 255 bytes, cut where no UTF-8 sequence
// is split.
FXString winnersText(const std::string& winners)
{
    std::size_t length = std::min(winners.size(), WINNERS_MAX);
    if (length < winners.size())
        while (length > 0 && (static_cast<unsigned char>(winners[length]) & 0xC0) == 0x80) --length;
    return FXString(winners.data(), static_cast<FXint>(length));
}

FXString plainText(const std::string& text)
{
    return FXString(text.data(), static_cast<FXint>(text.size()));
}

} // namespace

// A row no game has reached is left blank but for its number; its texts
// still count in the widths of the columns, so that an empty table keeps
// the dialog's shape.
void showHighScores(FXWindow* owner, const HighScoreTable& table)
{
    FXDialogBox dialog(owner, "High Scores", DECOR_TITLE | DECOR_BORDER, 0, 0, 0, 0, 10, 10, 10, 10, 4, 4);
    const FXFont* font = owner->getApp()->getNormalFont();

    FXString winners[HIGH_SCORE_COUNT];
    FXString losers[HIGH_SCORE_COUNT];
    FXString scores[HIGH_SCORE_COUNT];
    FXint winnersWidth = 0;
    FXint losersWidth = 0;
    FXint scoresWidth = 0;
    for (int row = 0; row < HIGH_SCORE_COUNT; ++row) {
        winners[row] = winnersText(table[row].winners);
        losers[row] = plainText(table[row].losers);
        scores[row] = FXStringFormat("%d - %d", table[row].winnerScore, table[row].loserScore);
        winnersWidth = std::max(winnersWidth, font->getTextWidth(winners[row]));
        losersWidth = std::max(losersWidth, font->getTextWidth(losers[row]));
        scoresWidth = std::max(scoresWidth, font->getTextWidth(scores[row]));
    }

    const auto label = [&dialog](const FXString& text, FXint x, int row) {
        new FXLabel(&dialog, text, nullptr, LAYOUT_FIX_X | LAYOUT_FIX_Y, x, 8 + 20 * row, 0, 0, LABEL_PAD, LABEL_PAD,
                    LABEL_PAD, LABEL_PAD);
    };
    for (int row = 0; row < HIGH_SCORE_COUNT; ++row)
        label(FXStringFormat(row < 9 ? "%d. " : "%d.", row + 1), 6, row);
    const FXint scoresX = winnersWidth + losersWidth + 90;
    for (int row = 0; row < HIGH_SCORE_COUNT; ++row) {
        if (table[row].empty()) continue;
        label(winners[row], 32, row);
        label("vs.", winnersWidth + 36, row);
        label(losers[row], winnersWidth + 58, row);
        label(scores[row], scoresX, row);
        const std::string played = playedDescription(table[row].played);
        if (!played.empty()) label(FXStringFormat("(%s)", played.c_str()), scoresX + scoresWidth + PLAYED_GAP, row);
    }

    new FXButton(&dialog, " OK ", nullptr, &dialog, FXDialogBox::ID_ACCEPT,
                 BUTTON_INITIAL | BUTTON_DEFAULT | ICON_BEFORE_TEXT | FRAME_RAISED | FRAME_THICK | LAYOUT_CENTER_X |
                     LAYOUT_FIX_Y,
                 0, 220, 0, 0, 2, 2, 2, 2);
    // Blank rows make no labels: the dialog is given the width the scores
    // column reaches all the same.
    dialog.create();
    dialog.resize(std::max(dialog.getDefaultWidth(), scoresX + scoresWidth + 2 * LABEL_PAD + dialog.getPadRight()),
                  dialog.getDefaultHeight());
    dialog.execute(PLACEMENT_SCREEN);
}
