#include "ui/table_fonts.h"

#include <cstring>

namespace {

constexpr int TABLE_FONT_POINTS = 11;
constexpr int SCORE_FONT_POINTS = 13;
constexpr int ANNOUNCE_FONT_POINTS = 72;
constexpr int SMALLEST_SCORE_FONT_POINTS = 8;
// Large enough to read at a glance.
constexpr int BEG_FONT_POINTS = 16;

// Sizes in tenths of a point, so that the middle size keeps its halves.
FXFont* makeFont(FXApp* app, const FXString& face, int decipoints, FXuint weight = FXFont::Bold)
{
    FXFontDesc desc;
    std::memset(&desc, 0, sizeof desc);
    std::strncpy(desc.face, face.text(), sizeof desc.face - 1);
    desc.size = static_cast<FXushort>(decipoints);
    desc.weight = static_cast<FXushort>(weight);
    desc.slant = FXFont::Straight;
    desc.setwidth = FXFont::NonExpanded;
    desc.encoding = FONTENCODING_DEFAULT;
    FXFont* font = new FXFont(app, desc);
    font->create();
    return font;
}

int decipoints(int points, CardScale scale) { return scaled(points * 10, scale); }

// Whether both pairs of labels keep their widest texts apart and inside
// the window.
bool scoreLabelsFit(const FXFont* font, CardScale scale)
{
    const int game = font->getTextWidth(WIDEST_GAME_POINTS) + LABEL_EXTRA;
    return gameLabelPlace(font, scaled(SCORE_LABEL_X, scale), WIDEST_SCORE, LABEL_EXTRA) + game <=
               scaled(OPPONENT_SCORE_LABEL_X, scale) &&
           gameLabelPlace(font, scaled(OPPONENT_SCORE_LABEL_X, scale), WIDEST_OPPONENT_SCORE, OPPONENT_SCORE_EXTRA) +
                   game <=
               tableSize(scale).width;
}

}  // namespace

int gameLabelPlace(const FXFont* font, int scoreX, const char* widestScore, int extra)
{
    return scoreX + font->getTextWidth(widestScore) + extra + GAME_LABEL_GAP;
}

TableFonts TableFonts::create(FXApp* app, CardScale scale)
{
    FXFont* normal = app->getNormalFont();
    const FXString face = normal->getName();
    TableFonts fonts;
    fonts.table = makeFont(app, face, decipoints(TABLE_FONT_POINTS, scale));
    // A face wider than the labels were laid out for would push the
    // opponents' game points off the window: it gets the largest size
    // that fits.
    for (int points = SCORE_FONT_POINTS;; --points) {
        fonts.score = makeFont(app, face, decipoints(points, scale));
        if (points == SMALLEST_SCORE_FONT_POINTS || scoreLabelsFit(fonts.score, scale)) break;
        delete fonts.score;
    }
    fonts.announce = makeFont(app, face, decipoints(ANNOUNCE_FONT_POINTS, scale));
    fonts.button = makeFont(app, face, decipoints(BEG_FONT_POINTS, scale));
    return fonts;
}

void TableFonts::destroy()
{
    for (FXFont* font : {table, score, announce, button}) delete font;
    *this = TableFonts{};
}
