#include "ui/round_summary.h"

#include <algorithm>

#include "ui/table_layout.h"

namespace {

constexpr FXColor GAINED_COLOUR = FXRGB(255, 0, 0);
constexpr FXuint PLACED = LAYOUT_FIX_X | LAYOUT_FIX_Y | JUSTIFY_LEFT;
constexpr int BOTTOM_MARGIN = 10;

FXLabel* placeLabel(FXDialogBox* box, const std::string& text, int x, int y)
{
    return new FXLabel(box, text.c_str(), nullptr, PLACED, x, y, 0, 0, 0, 0, 0, 0);
}

}  // namespace

FXDialogBox* buildRoundSummary(FXWindow* owner, const RoundSummary& summary)
{
    auto* box = new FXDialogBox(owner, "Round summary", DECOR_TITLE | DECOR_CLOSE, 0, 0, 0, 0, 10, 10, 10, 10, 4, 4);
    FXFont* font = owner->getApp()->getNormalFont();
    int widest = 0;
    size_t longest = 0;
    for (const RoundSummaryColumn& column : summary.teams) {
        // The label shows "&&" as one "&", so measure what it shows.
        widest = std::max(widest, font->getTextWidth(stripHotKey(column.heading.c_str())));
        for (const std::string& line : column.lines) widest = std::max(widest, font->getTextWidth(line.c_str()));
        widest = std::max(widest, font->getTextWidth(column.gained.c_str()));
        longest = std::max(longest, column.lines.size());
    }
    const SummaryLayout layout = summaryLayout(widest, static_cast<int>(longest));

    for (int t = 0; t < 2; ++t) {
        const RoundSummaryColumn& column = summary.teams[t];
        const int x = layout.columnX[t];
        FXLabel* heading = placeLabel(box, column.heading, 0, layout.headingY);
        heading->setX(x + (layout.columnWidth - heading->getDefaultWidth()) / 2);
        for (size_t i = 0; i < column.lines.size(); ++i) placeLabel(box, column.lines[i], x, layout.lineY(static_cast<int>(i)));
        placeLabel(box, column.gained, x, layout.gainedY)->setTextColor(GAINED_COLOUR);
    }

    auto* ok = new FXButton(box, " OK ", nullptr, box, FXDialogBox::ID_ACCEPT,
                            BUTTON_NORMAL | BUTTON_INITIAL | BUTTON_DEFAULT | LAYOUT_FIX_X | LAYOUT_FIX_Y, 0,
                            layout.buttonY);
    ok->setX((layout.width - ok->getDefaultWidth()) / 2);
    box->resize(layout.width, layout.buttonY + ok->getDefaultHeight() + BOTTOM_MARGIN);
    return box;
}

std::string summaryNote(const RoundSummaryColumn& column)
{
    // The heading is written for a label, as this line is: "&&" for "&".
    // What the round gave first: a line too long for the window loses its end.
    std::string note = column.heading + ": " + column.gained;
    for (size_t i = 0; i < column.lines.size(); ++i) note += (i ? ", " : ". ") + column.lines[i];
    return note;
}
