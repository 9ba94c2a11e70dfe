// The Info menu's dialogs, each closed with a real click on its OK button.
// Needs an X display and xdotool (xvfb-run). With SHOT_DIR set, every
// dialog is also photographed there.
#include "ui/info_dialogs.h"

#include <fx.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "info_texts.h"
#include "ui/rules_text.h"

struct Seen {
    std::string title;
    FXuint decorations = 0;
    std::vector<std::pair<std::string, FXint>> labels;  // text and y
    FXint boxY = -1, boxWidth = -1, boxHeight = -1;
    FXuint boxOptions = 0;
    std::string text;
    std::string styles;  // one style byte per character of the text
    bool editable = true;
    bool styled = false;
    bool scrollBarShown = false;
    std::string okText;
    FXint okY = -1;
    bool closedByOk = true;
    // After the dialog was made 200 by 120 pixels larger: the box's size and
    // how far OK is from its bottom, and the centres of OK and of the dialog.
    FXint grownBoxWidth = -1, grownBoxHeight = -1, grownOkBelowBox = -1, grownOkCentre = -1, grownCentre = -1;
};

// Reads the open dialog from a timer inside its modal loop, then clicks its
// OK button. It stays outside the anonymous namespace, where FXDECLARE's
// unused friend operators would warn.
class DialogReader : public FXObject {
    FXDECLARE(DialogReader)
public:
    enum { ID_READ = 1, ID_GIVE_UP };

    explicit DialogReader(const char* shotName = "", bool growIt = false) : shot(shotName), grow(growIt) {}

    long onRead(FXObject*, FXSelector, void*)
    {
        FXApp* app = FXApp::instance();
        auto* dialog = dynamic_cast<FXDialogBox*>(app->getModalWindow());
        if (!dialog) return 1;
        seen.title = dialog->getTitle().text();
        seen.decorations = dialog->getDecorations();
        FXButton* ok = nullptr;
        FXHorizontalFrame* box = nullptr;
        for (FXWindow* child = dialog->getFirst(); child; child = child->getNext()) {
            if (auto* button = dynamic_cast<FXButton*>(child)) {
                ok = button;
                seen.okText = button->getText().text();
                seen.okY = button->getY();
            } else if (auto* label = dynamic_cast<FXLabel*>(child)) {
                seen.labels.emplace_back(label->getText().text(), label->getY());
            } else if ((box = dynamic_cast<FXHorizontalFrame*>(child))) {
                readBox(box);
            }
        }
        if (grow && ok && box) {
            dialog->resize(dialog->getWidth() + 200, dialog->getHeight() + 120);
            dialog->layout();
            seen.grownBoxWidth = box->getWidth();
            seen.grownBoxHeight = box->getHeight();
            seen.grownOkBelowBox = ok->getY() - (box->getY() + box->getHeight());
            seen.grownOkCentre = ok->getX() + ok->getWidth() / 2;
            seen.grownCentre = dialog->getWidth() / 2;
        }
        if (const char* dir = std::getenv("SHOT_DIR")) {
            const std::string command = std::string("import -window root ") + dir + "/" + shot + ".png";
            if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
        }
        if (!ok) return 1;
        FXint x = 0;
        FXint y = 0;
        ok->translateCoordinatesTo(x, y, app->getRootWindow(), ok->getWidth() / 2, ok->getHeight() / 2);
        const std::string click = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1";
        if (std::system(click.c_str()) != 0) ADD_FAILURE() << click;
        return 1;
    }

    long onGiveUp(FXObject*, FXSelector, void*)
    {
        FXApp* app = FXApp::instance();
        if (app->getModalWindow()) {
            seen.closedByOk = false;
            app->stopModal(app->getModalWindow(), 0);
        }
        return 1;
    }

    Seen seen;

private:
    void readBox(FXHorizontalFrame* box)
    {
        seen.boxY = box->getY();
        seen.boxWidth = box->getWidth();
        seen.boxHeight = box->getHeight();
        seen.boxOptions = box->getLayoutHints() | box->getFrameStyle();
        auto* text = dynamic_cast<FXText*>(box->getFirst());
        if (!text) return;
        seen.text = text->getText().text();
        seen.editable = text->isEditable();
        seen.styled = text->isStyled();
        if (seen.styled) {
            FXString styles;
            text->extractStyle(styles, 0, text->getLength());
            seen.styles.assign(styles.text(), styles.length());
        }
        seen.scrollBarShown = text->verticalScrollBar()->shown() && (text->getScrollStyle() & VSCROLLER_ALWAYS);
    }

    std::string shot;
    bool grow = false;
};

FXDEFMAP(DialogReader) DialogReaderMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, DialogReader::ID_READ, DialogReader::onRead),
    FXMAPFUNC(SEL_TIMEOUT, DialogReader::ID_GIVE_UP, DialogReader::onGiveUp),
};
FXIMPLEMENT(DialogReader, FXObject, DialogReaderMap, ARRAYNUMBER(DialogReaderMap))

namespace {

FXApp* app = nullptr;
FXMainWindow* window = nullptr;

Seen show(void (*command)(FXWindow*), const char* shot, bool grow = false)
{
    DialogReader reader(shot, grow);
    app->addTimeout(&reader, DialogReader::ID_READ, 300);
    app->addTimeout(&reader, DialogReader::ID_GIVE_UP, 10000);
    command(window);
    app->removeTimeout(&reader, DialogReader::ID_GIVE_UP);
    return reader.seen;
}

void expectTextAndOk(const Seen& seen, FXint boxWidth, FXint boxHeight)
{
    EXPECT_EQ(seen.boxWidth, boxWidth);
    EXPECT_EQ(seen.boxHeight, boxHeight);
    EXPECT_TRUE(seen.boxOptions & FRAME_RAISED);
    EXPECT_FALSE(seen.editable);
    EXPECT_TRUE(seen.scrollBarShown);
    EXPECT_EQ(seen.okText, "OK");
    EXPECT_TRUE(seen.closedByOk) << "the OK button did not close the dialog";
}

void expectCommonFrame(const Seen& seen, FXint boxY, FXint boxWidth, FXint boxHeight, FXint okY)
{
    EXPECT_EQ(seen.decorations, FXuint(DECOR_TITLE | DECOR_BORDER));
    EXPECT_EQ(seen.boxY, boxY);
    EXPECT_EQ(seen.boxOptions & LAYOUT_CENTER_X, FXuint(LAYOUT_CENTER_X));
    EXPECT_EQ(seen.okY, okY);
    expectTextAndOk(seen, boxWidth, boxHeight);
}

// How to Play and the Rules open at 460 by 240 and can be resized: the text
// takes the new room, OK stays centred below it.
void expectReadingFrame(const Seen& seen)
{
    EXPECT_EQ(seen.decorations, FXuint(DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE));
    expectTextAndOk(seen, 460, 240);
    EXPECT_GT(seen.okY, seen.boxY + seen.boxHeight);
    EXPECT_EQ(seen.grownBoxWidth, 460 + 200);
    EXPECT_EQ(seen.grownBoxHeight, 240 + 120);
    EXPECT_EQ(seen.grownOkBelowBox, seen.okY - (seen.boxY + seen.boxHeight));
    EXPECT_NEAR(seen.grownOkCentre, seen.grownCentre, 1);
}

class InfoDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!app) GTEST_SKIP() << "no X display";
    }
};

TEST_F(InfoDialogsTest, AboutShowsNameCreditsAndNotice)
{
    const Seen seen = show(showAbout, "about");
    EXPECT_EQ(seen.title, "About Marvanto");
    expectCommonFrame(seen, 100, 360, 175, 280);
    ASSERT_EQ(seen.labels.size(), 4u);
    // The version the build and the package carry.
    EXPECT_EQ(seen.labels[0].first, std::string("Marvanto Computer Game Version ") + MARVANTO_VERSION);
    const FXint labelY[] = {8, 35, 55, 75};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(seen.labels[i].second, labelY[i]) << seen.labels[i].first;
    EXPECT_EQ(seen.text.rfind("Marvanto\n\n", 0), 0u);
    EXPECT_FALSE(seen.styled);
}

TEST_F(InfoDialogsTest, HowToPlayShowsTheHelpText)
{
    const Seen seen = show(showHowToPlay, "how_to_play", true);
    EXPECT_EQ(seen.title, "How to Play");
    expectReadingFrame(seen);
    EXPECT_TRUE(seen.labels.empty());
    EXPECT_EQ(seen.text, texts::help);
}

TEST_F(InfoDialogsTest, RulesShowHeadingsBoldWithoutTheMarker)
{
    const Seen seen = show(showRules, "rules", true);
    EXPECT_EQ(seen.title, "Rules of Marvanto");
    expectReadingFrame(seen);
    ASSERT_TRUE(seen.styled);
    ASSERT_EQ(seen.styles.size(), seen.text.size());

    std::size_t at = 0;
    for (const RulesLine& line : rulesLines(texts::rules)) {
        SCOPED_TRACE(line.text);
        ASSERT_EQ(seen.text.compare(at, line.text.size(), line.text), 0);
        const char style = line.heading ? FXText::STYLE_BOLD : 0;
        EXPECT_EQ(seen.styles.substr(at, line.text.size()), std::string(line.text.size(), style));
        at += line.text.size();
    }
    EXPECT_EQ(at, seen.text.size());
    EXPECT_EQ(seen.text.find("<b>"), std::string::npos);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (std::getenv("DISPLAY")) {
        app = new FXApp("marvanto_test", "zok");
        app->init(argc, argv);
        window = new FXMainWindow(app, "main", nullptr, nullptr, DECOR_ALL, 0, 0, 200, 100);
        app->create();
    }
    const int result = RUN_ALL_TESTS();
    delete app;
    return result;
}
