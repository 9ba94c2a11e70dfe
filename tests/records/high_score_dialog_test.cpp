// Needs an X display (e.g. xvfb-run); skipped without one.
#include "records/high_score_dialog.h"

#include <fx.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct Shown {
    std::string text;
    FXint x, y;
};

// Reads the open dialog from a timer inside its modal loop, then closes it.
// It stays outside the anonymous namespace, where FXDECLARE's unused friend
// operators would warn.
class DialogReader : public FXObject {
    FXDECLARE(DialogReader)
public:
    enum { ID_READ = 1 };

    long onRead(FXObject*, FXSelector, void*)
    {
        FXApp* app = FXApp::instance();
        auto* dialog = dynamic_cast<FXDialogBox*>(app->getModalWindow());
        if (!dialog) return 1;
        title = dialog->getTitle().text();
        width = dialog->getWidth();
        for (FXWindow* child = dialog->getFirst(); child; child = child->getNext()) {
            if (auto* button = dynamic_cast<FXButton*>(child)) {
                buttons.push_back({button->getText().text(), button->getX(), button->getY()});
            } else if (auto* label = dynamic_cast<FXLabel*>(child)) {
                labels.push_back({label->getText().text(), label->getX(), label->getY()});
            }
        }
        app->stopModal(dialog, 1);
        return 1;
    }

    std::string title;
    FXint width = 0;
    std::vector<Shown> labels;
    std::vector<Shown> buttons;
};

FXDEFMAP(DialogReader) DialogReaderMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, DialogReader::ID_READ, DialogReader::onRead),
};
FXIMPLEMENT(DialogReader, FXObject, DialogReaderMap, ARRAYNUMBER(DialogReaderMap))

namespace {

class HighScoreDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY")) return;
        static int argc = 1;
        static char name[] = "records_ui_tests";
        static char* argv[] = {name, nullptr};
        app = new FXApp("marvanto_test", "zok");
        app->init(argc, argv);
        window = new FXMainWindow(app, "main", nullptr, nullptr, DECOR_ALL, 0, 0, 200, 100);
        app->create();
    }

    void SetUp() override
    {
        if (!app) GTEST_SKIP() << "no X display";
    }

    DialogReader show(const HighScoreTable& table)
    {
        DialogReader reader;
        app->addTimeout(&reader, DialogReader::ID_READ, 300);
        showHighScores(window, table);
        return reader;
    }

    FXint width(const std::string& text) const { return app->getNormalFont()->getTextWidth(text.c_str()); }

    static FXApp* app;
    static FXMainWindow* window;
};

FXApp* HighScoreDialogTest::app = nullptr;
FXMainWindow* HighScoreDialogTest::window = nullptr;

// The texts of one row, left to right.
std::vector<Shown> row(const DialogReader& seen, int r)
{
    std::vector<Shown> shown;
    for (const Shown& label : seen.labels)
        if (label.y == 8 + 20 * r) shown.push_back(label);
    std::sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) { return a.x < b.x; });
    return shown;
}

std::vector<std::string> texts(const std::vector<Shown>& shown)
{
    std::vector<std::string> out;
    for (const Shown& s : shown) out.push_back(s.text);
    return out;
}

// Rows no game has reached show their number and nothing else.
TEST_F(HighScoreDialogTest, DefaultTableShowsTenNumberedBlankRowsAndOk)
{
    const DialogReader seen = show(defaultHighScores());
    EXPECT_EQ(seen.title, "High Scores");
    ASSERT_EQ(seen.labels.size(), 10u);
    for (int r = 0; r < HIGH_SCORE_COUNT; ++r) {
        SCOPED_TRACE(r);
        const std::vector<Shown> shown = row(seen, r);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, std::to_string(r + 1) + (r < 9 ? ". " : "."));
        EXPECT_EQ(shown[0].x, 6);
    }
    ASSERT_EQ(seen.buttons.size(), 1u);
    EXPECT_EQ(seen.buttons[0].text, " OK ");
    EXPECT_EQ(seen.buttons[0].y, 220);
    // As wide as the rows' columns would reach, not just the numbers.
    EXPECT_GT(seen.width, 2 * width("Nobody") + 90 + width("0 - 0"));
}

TEST_F(HighScoreDialogTest, ColumnsFollowTheWidestNamesAndLongWinnersAreCut)
{
    HighScoreTable table = defaultHighScores();
    std::string longName;
    for (int i = 0; i < 200; ++i) longName += "ě";  // 400 bytes
    table[0] = {"Bossman", "Horse", 14, 3, PlayedAs{2, 1, "Expert"}};
    table[3] = {longName, "Fatboy && Saucy", 14, -2, std::nullopt};

    const DialogReader seen = show(table);
    const std::string cut = longName.substr(0, 254);  // 127 whole characters
    const std::vector<Shown> longRow = row(seen, 3);
    EXPECT_EQ(texts(longRow), (std::vector<std::string>{"4. ", cut, "vs.", "Fatboy & Saucy", "14 - -2"}))
        << "\"&&\" shows as one ampersand; a game recorded before its details were kept shows none";
    ASSERT_EQ(longRow.size(), 5u);
    const FXint scoresX = width(cut) + width("Fatboy && Saucy") + 90;
    const FXint columnX[5] = {6, 32, width(cut) + 36, width(cut) + 58, scoresX};
    for (int column = 0; column < 5; ++column) EXPECT_EQ(longRow[column].x, columnX[column]) << column;

    const std::vector<Shown> duvanto = row(seen, 0);
    EXPECT_EQ(texts(duvanto),
              (std::vector<std::string>{"1. ", "Bossman", "vs.", "Horse", "14 - 3", "(Duvanto, Expert computer)"}));
    ASSERT_EQ(duvanto.size(), 6u);
    EXPECT_EQ(duvanto[4].x, scoresX);
    EXPECT_GE(duvanto[5].x, scoresX + std::max(width("14 - 3"), width("14 - -2")));
    for (int r : {1, 2, 4, 9}) EXPECT_EQ(row(seen, r).size(), 1u) << "row " << r << " is blank";
}

} // namespace
