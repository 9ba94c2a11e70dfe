// Needs an X display (e.g. xvfb-run); skipped without one.
#include "records/high_score_dialog.h"

#include <fx.h>

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

TEST_F(HighScoreDialogTest, DefaultTableShowsTenNumberedRowsAndOk)
{
    const DialogReader seen = show(defaultHighScores());
    EXPECT_EQ(seen.title, "High Scores");
    ASSERT_EQ(seen.labels.size(), 50u);

    const FXint w = width("Nobody");
    const FXint columnX[5] = {6, 32, w + 36, w + 58, w + w + 90};
    for (int column = 0; column < 5; ++column) {
        for (int row = 0; row < HIGH_SCORE_COUNT; ++row) {
            const Shown& shown = seen.labels[10 * column + row];
            SCOPED_TRACE(testing::Message() << "column " << column << " row " << row);
            const std::string texts[5] = {std::to_string(row + 1) + (row < 9 ? ". " : "."), "Nobody", "vs.",
                                          "Nobody", "0 - 0"};
            EXPECT_EQ(shown.text, texts[column]);
            EXPECT_EQ(shown.x, columnX[column]);
            EXPECT_EQ(shown.y, 8 + 20 * row);
        }
    }
    ASSERT_EQ(seen.buttons.size(), 1u);
    EXPECT_EQ(seen.buttons[0].text, " OK ");
    EXPECT_EQ(seen.buttons[0].y, 220);
}

TEST_F(HighScoreDialogTest, ColumnsFollowTheWidestNamesAndLongWinnersAreCut)
{
    HighScoreTable table = defaultHighScores();
    std::string longName;
    for (int i = 0; i < 200; ++i) longName += "ě";  // 400 bytes
    table[3] = {longName, "Fatboy && Saucy", 14, -2};

    const DialogReader seen = show(table);
    ASSERT_EQ(seen.labels.size(), 50u);
    const std::string cut = longName.substr(0, 254);  // 127 whole characters
    EXPECT_EQ(seen.labels[13].text, cut);
    EXPECT_EQ(seen.labels[33].text, "Fatboy & Saucy");  // "&&" shows as one ampersand
    EXPECT_EQ(seen.labels[43].text, "14 - -2");
    EXPECT_EQ(seen.labels[23].x, width(cut) + 36);
    EXPECT_EQ(seen.labels[43].x, width(cut) + width("Fatboy && Saucy") + 90);
}

} // namespace
