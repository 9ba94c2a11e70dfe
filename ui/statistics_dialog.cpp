#include "ui/statistics_dialog.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int CHART_WIDTH = 360;
constexpr int CHART_HEIGHT = 120;
constexpr FXColor CHART_CLOTH = FXRGB(0, 120, 50);
constexpr FXColor WON = FXRGB(250, 220, 90);
constexpr FXColor LOST = FXRGB(200, 60, 50);

// One bar a finished game, oldest at the left: up by the margin won, down
// by the margin lost.
class ResultChart : public FXCanvas {
    FXDECLARE(ResultChart)

protected:
    ResultChart() {}

public:
    ResultChart(FXComposite* parent, std::vector<int> margins)
        : FXCanvas(parent, this, ID_CHART, LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT | FRAME_SUNKEN, 0, 0, CHART_WIDTH,
                   CHART_HEIGHT),
          margins_(std::move(margins))
    {
    }
    enum { ID_CHART = FXCanvas::ID_LAST, ID_LAST };

    long onPaint(FXObject*, FXSelector, void*)
    {
        FXDCWindow dc(this);
        dc.setForeground(CHART_CLOTH);
        dc.fillRectangle(0, 0, getWidth(), getHeight());
        const int middle = getHeight() / 2;
        dc.setForeground(FXRGB(255, 255, 255));
        dc.drawLine(0, middle, getWidth(), middle);
        if (margins_.empty()) return 1;
        int widest = 1;
        for (int m : margins_) widest = std::max(widest, std::abs(m));
        const int n = static_cast<int>(margins_.size());
        const int slot = std::max(1, getWidth() / n);
        for (int i = 0; i < n; ++i) {
            const int h = (middle - 4) * std::abs(margins_[i]) / widest;
            const int x = getWidth() * i / n;
            dc.setForeground(margins_[i] > 0 ? WON : LOST);
            dc.fillRectangle(x + (slot > 2 ? 1 : 0), margins_[i] > 0 ? middle - h : middle, std::max(1, slot - 2), std::max(1, h));
        }
        return 1;
    }

private:
    std::vector<int> margins_;
};

FXDEFMAP(ResultChart) RESULT_CHART_MAP[] = {FXMAPFUNC(SEL_PAINT, ResultChart::ID_CHART, ResultChart::onPaint)};
FXIMPLEMENT(ResultChart, FXCanvas, RESULT_CHART_MAP, ARRAYNUMBER(RESULT_CHART_MAP))

}  // namespace

void showStatistics(FXWindow* owner, const GameStatistics& statistics)
{
    FXDialogBox dialog(owner, "Statistics", DECOR_TITLE | DECOR_BORDER | DECOR_CLOSE);
    auto* column = new FXVerticalFrame(&dialog, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    const std::string text = statistics.games.empty() ? std::string("No game has been recorded yet.\n")
                                                      : statisticsText(statistics);
    new FXLabel(column, text.c_str(), nullptr, JUSTIFY_LEFT | LAYOUT_FILL_X);
    new FXLabel(column, "Your results, game by game (oldest at the left):", nullptr, JUSTIFY_LEFT);
    new ResultChart(column, statistics.margins);
    new FXButton(column, " OK ", nullptr, &dialog, FXDialogBox::ID_ACCEPT,
                 BUTTON_NORMAL | BUTTON_INITIAL | BUTTON_DEFAULT | LAYOUT_CENTER_X);
    dialog.execute(PLACEMENT_OWNER);
}
