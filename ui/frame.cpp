#include "ui/frame.h"

#include <algorithm>
#include <cstring>

#include <FXJPGImage.h>

#include "engine/actions.h"
#include "engine/rule_dialog.h"
#include "net/setup_dialog.h"
#include "net/transport.h"
#include "ui/artwork.h"
#include "ui/chat_bar.h"
#include "ui/click_rules.h"
#include "ui/round_summary.h"

FXDEFMAP(Frame) FrameMap[] = {
    FXMAPFUNC(SEL_PAINT, 0, Frame::onPaint),
    FXMAPFUNC(SEL_PAINT, Frame::ID_CANVAS, Frame::onPaint),
    FXMAPFUNC(SEL_CONFIGURE, 0, Frame::onConfigure),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_ANIMATION, Frame::onTimeoutAnimation),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, Frame::ID_CANVAS, Frame::onCanvasPress),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, Frame::ID_CANVAS, Frame::onCanvasRelease),
    FXMAPFUNCS(SEL_IO_READ, Frame::ID_CONNECTION, Frame::ID_CONNECTION + 9, Frame::onIoConnection),
    FXMAPFUNC(SEL_IO_READ, Frame::ID_LISTEN, Frame::onIoListen),
    FXMAPFUNC(SEL_CLOSE, 0, Frame::onClose),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_QUIT_GAME, Frame::onCmdQuitGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_BEG, Frame::onCmdBeg),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_CALL_RENEED, Frame::onCmdCallReneed),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_LAST_TRICK, Frame::onCmdLastTrick),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_SETUP_TIMER, Frame::onSetupTimer),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_COMPUTER_MOVE, Frame::onComputerMoveTimer),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_SPEED_SLOW, Frame::ID_SPEED_FAST, Frame::onCmdSpeed),
    FXMAPFUNCS(SEL_UPDATE, Frame::ID_SPEED_SLOW, Frame::ID_SPEED_FAST, Frame::onUpdSpeed),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_QUIT, Frame::onCmdQuit),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_PLACE_BOX, Frame::onPlaceBoxTimer),
    FXMAPFUNC(SEL_KEYPRESS, 0, Frame::onKeyPress),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_START_GAME, Frame::onCmdStartGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_NEW_LOCAL_GAME, Frame::onCmdNewLocalGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_NETWORK_GAME, Frame::onCmdNetworkGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_RULE_VARIATIONS, Frame::onCmdRuleVariations),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_HIGH_SCORES, Frame::onCmdHighScores),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_ABOUT, Frame::ID_RULES, Frame::onCmdInfo),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_BACKGROUND_SOLID, Frame::ID_BACKGROUND_IMAGE, Frame::onCmdBackground),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_SESSION_WAIT, Frame::onSessionWait),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_CHAT_ENTRY, Frame::onCmdChatEntry),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_CARD_SIZE_SMALL, Frame::ID_CARD_SIZE_LARGE, Frame::onCmdCardSize),
    FXMAPFUNCS(SEL_UPDATE, Frame::ID_CARD_SIZE_SMALL, Frame::ID_CARD_SIZE_LARGE, Frame::onUpdCardSize),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_HINT, Frame::onCmdHint),
    FXMAPFUNC(SEL_IO_READ, Frame::ID_EXPERT_READY, Frame::onIoExpertReady),
};

FXIMPLEMENT(Frame, FXMainWindow, FrameMap, ARRAYNUMBER(FrameMap))

static_assert(int(Frame::ID_START_GAME) == int(::ID_START_GAME) && int(Frame::ID_QUIT_GAME) == int(::ID_QUIT_GAME),
              "the setup dialog's buttons reach the Frame's handlers");

namespace {

constexpr FXColor SCORE_COLOUR = FXRGB(235, 0, 0);
constexpr FXColor GAME_POINTS_COLOUR = FXRGB(0, 0, 0);
// The top bar when small; it grows with the table.
constexpr int TOP_BAR_HEIGHT = 24;
constexpr int SCORE_LABEL_X = 165;
constexpr int OPPONENT_SCORE_LABEL_X = 368;
constexpr int SPACER_WIDTH = 60;
constexpr int TABLE_FONT_POINTS = 11;
constexpr int SCORE_FONT_POINTS = 13;
constexpr int ANNOUNCE_FONT_POINTS = 72;
constexpr int SMALLEST_SCORE_FONT_POINTS = 8;
// What the labels add to their texts' widths, and the gap a game label
// keeps after its score label.
constexpr int LABEL_EXTRA = 10;
constexpr int OPPONENT_SCORE_EXTRA = 18;
constexpr int GAME_LABEL_GAP = 8;
// The BEG button stands out while the beg is open.
constexpr FXColor BEG_OPEN_COLOUR = FXRGB(255, 200, 0);
constexpr FXColor BEG_OPEN_TEXT = FXRGB(0, 0, 0);
// Large enough to read at a glance.
constexpr int BEG_FONT_POINTS = 16;
constexpr int BEG_PADDING = 6;

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

// The widest texts the labels show in a game: scores up to the target,
// card points up to the 80 of a whole pack.
constexpr const char* WIDEST_SCORE = "Score: 14";
constexpr const char* WIDEST_OPPONENT_SCORE = "Opponent Score: 14";
constexpr const char* WIDEST_GAME_POINTS = "[Game: 80]";

// Where a game label goes: after the widest text of its score label.
int gameLabelPlace(const FXFont* font, int scoreX, const char* widestScore, int extra)
{
    return scoreX + font->getTextWidth(widestScore) + extra + GAME_LABEL_GAP;
}

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

Frame::Frame(FXApp* application, GameState* state, CardScale scale)
    : FXMainWindow(application, "Marvanto", nullptr, nullptr, DECOR_ALL, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
      game(state)
{
    const PixelSize size = tableSize(scale);
    setWidth(size.width);
    setHeight(size.height);
    tableImage = new FXBMPImage(application, nullptr, IMAGE_SHMI | IMAGE_SHMP, getWidth(), getHeight());
    savedTableImage = new FXBMPImage(application, nullptr, IMAGE_SHMI | IMAGE_SHMP, getWidth(), getHeight());

    buildTopBar();
    begButton = new FXButton(this, "B\nE\nG", nullptr, this, ID_BEG,
                             FRAME_RAISED | FRAME_THICK | LAYOUT_FIX_X | LAYOUT_FIX_Y, 0, 0, 0, 0, 2, 2, 2, 2);
    // Placed at fixed points, the bar takes no room from the canvas; it is
    // raised over it when shown.
    chatBar = new ChatBar(this, this, ID_CHAT_ENTRY);
    chatBar->hide();
    canvas = new FXCanvas(this, this, ID_CANVAS, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    useScale(scale);
    // No beg decision is pending before the first deal.
    begButton->disable();
    game->table = this;
}

void Frame::loadArtwork(CardScale scale)
{
    const ArtworkSet& pictures = artworkAt(scale);
    // The icon is opaque; without IMAGE_OPAQUE the GIF loader would make
    // its background colour transparent.
    windowIcon = new FXGIFIcon(getApp(), pictures.icon, FXRGB(192, 192, 192), IMAGE_OPAQUE);
    bannerImage = new FXJPGImage(getApp(), pictures.banner, 0);
    bannerSideImage = new FXGIFImage(getApp(), pictures.bannerSide, 0);
}

void Frame::loadCards()
{
    if (cardBackImage) return;
    const ArtworkSet& pictures = artworkAt(layout.scale());
    // Cards are icons: what lies outside their rounded corners is clear.
    for (int i = 0; i < CARD_COUNT; ++i) cardImages[i] = new FXGIFIcon(getApp(), pictures.cardFaces[i]);
    cardBackImage = new FXGIFIcon(getApp(), pictures.cardBack);
    if (!id()) return;
    for (FXIcon* image : cardImages) image->create();
    cardBackImage->create();
}

void Frame::loadHangJack()
{
    if (hangJackPictures[0]) return;
    const ArtworkSet& pictures = artworkAt(layout.scale());
    for (size_t i = 0; i < hangJackPictures.size(); ++i) {
        hangJackPictures[i] = new FXGIFIcon(getApp(), pictures.hangJack[i]);
        hangJackPictures[i]->create();
    }
}

void Frame::createArtwork()
{
    for (FXIcon* image : cardImages)
        if (image) image->create();
    if (cardBackImage) cardBackImage->create();
    windowIcon->create();
    bannerImage->create();
    bannerSideImage->create();
}

void Frame::deleteArtwork()
{
    for (FXIcon*& image : cardImages) {
        delete image;
        image = nullptr;
    }
    for (FXIcon*& picture : hangJackPictures) {
        delete picture;
        picture = nullptr;
    }
    delete cardBackImage;
    delete windowIcon;
    delete bannerImage;
    delete bannerSideImage;
    cardBackImage = nullptr;
    windowIcon = nullptr;
    bannerImage = nullptr;
    bannerSideImage = nullptr;
}

void Frame::useScale(CardScale scale)
{
    const bool created = id() != 0;
    deleteArtwork();
    loadArtwork(scale);
    if (created) createArtwork();
    setIcon(windowIcon);
    setMiniIcon(windowIcon);
    const TableFonts old = fonts;
    fonts = TableFonts::create(getApp(), scale);
    const PixelSize card = gifSize(artworkAt(scale).cardFaces[0]);
    layout = TableLayout(CardMetrics{card.width, card.height}, getWidth(), getHeight(), scale);
    placeTopBar();
    begButton->setFont(fonts.button);
    const int padding = scaled(BEG_PADDING, scale);
    begButton->setPadLeft(padding);
    begButton->setPadRight(padding);
    begButton->setPadTop(padding);
    begButton->setPadBottom(padding);
    const Point beg = layout.begButtonOrigin(begButton->getDefaultWidth(), topBar->getHeight());
    begButton->setX(beg.x);
    begButton->setY(beg.y);
    // The labels and the button let go of the old fonts above.
    TableFonts(old).destroy();
}

void Frame::setCardScale(CardScale scale)
{
    const PixelSize size = tableSize(scale);
    useScale(scale);
    resize(size.width, size.height);
    // Grown in place, the window could reach past the screen's edge.
    if (shown()) place(PLACEMENT_SCREEN);
    if (id()) {
        layoutTrickSlots(getWidth(), getHeight());
        drawTable(true);
    }
}

void Frame::buildTopBar()
{
    topBar = new FXHorizontalFrame(this, LAYOUT_FILL_X | LAYOUT_FIX_HEIGHT, 0, 0, 0, TOP_BAR_HEIGHT, 0, 0, 0, 0, 0, 0);
    menuBar = new FXMenuBar(topBar, FRAME_RAISED, 0, 0, 0, 0, 3, 3, 2, 2, 4, 4);
    buildMenus();

    const FXuint scoreOptions = JUSTIFY_LEFT | LAYOUT_FIX_X | LAYOUT_FIX_WIDTH | LAYOUT_FILL_Y;
    // Centred, so that a smaller face than the bar was made for keeps the
    // game points in line with the scores.
    const FXuint gameOptions = JUSTIFY_LEFT | LAYOUT_FIX_X | LAYOUT_FIX_WIDTH | LAYOUT_CENTER_Y;
    // The separators carry no line: they only keep the labels apart.
    spacers[0] = new FXHorizontalSeparator(topBar, LAYOUT_FIX_WIDTH, 0, 0, SPACER_WIDTH, 0, 1, 1, 0, 0);
    scoreLabel = new FXLabel(topBar, "Score: 0", nullptr, scoreOptions, SCORE_LABEL_X, 0, 80, 0, 2, 2, 2, 2);
    gameLabel = new FXLabel(topBar, "[Game: 0]", nullptr, gameOptions, 220, 0, 90, 0, 2, 2, 2, 2);
    spacers[1] = new FXHorizontalSeparator(topBar, LAYOUT_FIX_WIDTH, 0, 0, SPACER_WIDTH, 0, 1, 1, 0, 0);
    opponentScoreLabel =
        new FXLabel(topBar, "Opponent Score: 0", nullptr, scoreOptions, OPPONENT_SCORE_LABEL_X, 0, 170, 0, 2, 2, 2, 2);
    opponentGameLabel = new FXLabel(topBar, "[Game: 0]", nullptr, gameOptions, 404, 0, 90, 0, 2, 2, 2, 2);
    scoreLabel->setTextColor(SCORE_COLOUR);
    opponentScoreLabel->setTextColor(SCORE_COLOUR);
    gameLabel->setTextColor(GAME_POINTS_COLOUR);
    opponentGameLabel->setTextColor(GAME_POINTS_COLOUR);
}

void Frame::placeTopBar()
{
    const CardScale scale = layout.scale();
    topBar->setHeight(scaled(TOP_BAR_HEIGHT, scale));
    for (FXWindow* spacer : spacers) spacer->setWidth(scaled(SPACER_WIDTH, scale));
    for (FXLabel* label : {scoreLabel, gameLabel, opponentScoreLabel, opponentGameLabel}) label->setFont(fonts.score);
    scoreLabel->setX(scaled(SCORE_LABEL_X, scale));
    opponentScoreLabel->setX(scaled(OPPONENT_SCORE_LABEL_X, scale));
    // The game labels stand still through the game: clear of the widest
    // score their score labels will show.
    gameLabelX = gameLabelPlace(fonts.score, scoreLabel->getX(), WIDEST_SCORE, LABEL_EXTRA);
    opponentGameLabelX =
        gameLabelPlace(fonts.score, opponentScoreLabel->getX(), WIDEST_OPPONENT_SCORE, OPPONENT_SCORE_EXTRA);
    gameLabel->setX(gameLabelX);
    opponentGameLabel->setX(opponentGameLabelX);
}

void Frame::buildMenus()
{
    gameMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(gameMenu, "New Local Game", nullptr, this, ID_NEW_LOCAL_GAME, 0);
    new FXMenuCommand(gameMenu, "Network Game", nullptr, this, ID_NETWORK_GAME, 0);
    new FXMenuCommand(gameMenu, "Rule variations...", nullptr, this, ID_RULE_VARIATIONS, 0);
    new FXMenuCommand(gameMenu, "Call Reneed\tCtl-R", nullptr, this, ID_CALL_RENEED, 0);
    new FXMenuCommand(gameMenu, "Hint\tCtl-H", nullptr, this, ID_HINT, 0);
    new FXMenuSeparator(gameMenu);
    new FXMenuCommand(gameMenu, "&Quit\tCtl-Q", nullptr, this, ID_QUIT, 0);
    new FXMenuTitle(menuBar, "&Game", nullptr, gameMenu);

    displayMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(displayMenu, "Last Trick", nullptr, this, ID_LAST_TRICK, 0);
    new FXMenuCommand(displayMenu, "High Scores...", nullptr, this, ID_HIGH_SCORES, 0);
    backgroundMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(backgroundMenu, "Solid", nullptr, this, ID_BACKGROUND_SOLID, 0);
    new FXMenuCommand(backgroundMenu, "Image...", nullptr, this, ID_BACKGROUND_IMAGE, 0);
    new FXMenuCascade(displayMenu, "Background", nullptr, backgroundMenu);
    cardSizeMenu = new FXMenuPane(this, 0);
    new FXMenuRadio(cardSizeMenu, "Small", this, ID_CARD_SIZE_SMALL, 0);
    new FXMenuRadio(cardSizeMenu, "Medium", this, ID_CARD_SIZE_MEDIUM, 0);
    new FXMenuRadio(cardSizeMenu, "Large", this, ID_CARD_SIZE_LARGE, 0);
    new FXMenuCascade(displayMenu, "Card Size", nullptr, cardSizeMenu);
    speedMenu = new FXMenuPane(this, 0);
    new FXMenuRadio(speedMenu, "Slow", this, ID_SPEED_SLOW, 0);
    new FXMenuRadio(speedMenu, "Normal", this, ID_SPEED_NORMAL, 0);
    new FXMenuRadio(speedMenu, "Fast", this, ID_SPEED_FAST, 0);
    new FXMenuCascade(displayMenu, "Speed", nullptr, speedMenu);
    new FXMenuTitle(menuBar, "&Display", nullptr, displayMenu);

    infoMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(infoMenu, "How to play...", nullptr, this, ID_HOW_TO_PLAY, 0);
    new FXMenuCommand(infoMenu, "Rules...", nullptr, this, ID_RULES, 0);
    new FXMenuSeparator(infoMenu);
    new FXMenuCommand(infoMenu, "About...", nullptr, this, ID_ABOUT, 0);
    new FXMenuTitle(menuBar, "&Info", nullptr, infoMenu);
}

Frame::~Frame()
{
    delete roundSummary;
    delete setupDialog;
    delete ruleDialog;
    delete tableImage;
    delete savedTableImage;
    // The panes are children of the root window, not of this one.
    delete gameMenu;
    delete displayMenu;
    delete infoMenu;
    delete backgroundMenu;
    delete cardSizeMenu;
    delete speedMenu;
}

void Frame::create()
{
    FXMainWindow::create();
    createArtwork();
    tableImage->create();
    savedTableImage->create();
    // Created after the button, the canvas would otherwise cover it.
    begButton->raise();
    drawTable(false);
    paintAll();
}

void Frame::attach(const FrameParts& frameParts)
{
    parts = frameParts;
    if (parts.settings) speed = loadGameSpeed(*parts.settings);
}

void Frame::setBackgroundImage(FXImage* image)
{
    delete fittedBackground;
    fittedBackground = nullptr;
    delete backgroundImage;
    backgroundImage = image;
}

void Frame::layoutTrickSlots(int w, int h) { layout = TableLayout(layout.card(), w, h, layout.scale()); }

void Frame::updateScoreLabels()
{
    const int local = game->isSeat(game->localSeat) ? game->localSeat : 0;
    const Team* us = game->seats[local].team;
    if (!us || !us->opponent) return;
    const Team* them = us->opponent;
    auto set = [this](FXLabel* label, const FXString& text, int extra) {
        label->setText(text);
        label->setWidth(fonts.score->getTextWidth(text) + extra);
    };
    set(scoreLabel, FXStringFormat("Score: %d", shownScore(*game, *us)), LABEL_EXTRA);
    set(gameLabel, FXStringFormat("[Game: %d]", us->cardPoints), LABEL_EXTRA);
    set(opponentScoreLabel, FXStringFormat("Opponent Score: %d", shownScore(*game, *them)), OPPONENT_SCORE_EXTRA);
    set(opponentGameLabel, FXStringFormat("[Game: %d]", them->cardPoints), LABEL_EXTRA);
    // A negative score may be wider still.
    gameLabel->setX(std::max(gameLabelX, scoreLabel->getX() + scoreLabel->getWidth() + GAME_LABEL_GAP));
    opponentGameLabel->setX(
        std::max(opponentGameLabelX, opponentScoreLabel->getX() + opponentScoreLabel->getWidth() + GAME_LABEL_GAP));
}

bool Frame::begEnabled() const { return begButton->isEnabled(); }

void Frame::setBegEnabled(bool enabled)
{
    if (enabled)
        begButton->enable();
    else
        begButton->disable();
    // It stands out only while the decision is the person's.
    const bool persons = enabled && localHumanToAct(*game);
    begButton->setBackColor(persons ? BEG_OPEN_COLOUR : getApp()->getBaseColor());
    begButton->setTextColor(persons ? BEG_OPEN_TEXT : getApp()->getForeColor());
}

void Frame::showBegButton(bool shown)
{
    if (shown) {
        begButton->show();
        begButton->raise();
    } else {
        begButton->hide();
    }
    recalc();
}

void Frame::showNotice(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    FXMessageBox::warning(this, MBOX_OK, caption.c_str(), "%s", text.c_str());
}

void Frame::showInformation(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    FXMessageBox::information(this, MBOX_OK, caption.c_str(), "%s", text.c_str());
}

void Frame::showError(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    FXMessageBox::error(this, MBOX_OK, caption.c_str(), "%s", text.c_str());
}

bool Frame::askQuestion(const std::string& caption, const std::string& text)
{
    placeNextBoxClear();
    // Escape and the close box answer too (as Cancel): only No means no.
    return FXMessageBox::question(this, MBOX_YES_NO, caption.c_str(), "%s", text.c_str()) != MBOX_CLICKED_NO;
}

Rect Frame::rootRectOf(const FXWindow* window) const
{
    FXint x = 0;
    FXint y = 0;
    window->translateCoordinatesTo(x, y, getRoot(), 0, 0);
    return {x, y, window->getWidth(), window->getHeight()};
}

Rect Frame::screenRect() const { return {0, 0, getRoot()->getWidth(), getRoot()->getHeight()}; }

// A window manager's title bar and border stand outside these rectangles.
static Rect withDecorations(const Rect& r)
{
    constexpr int TITLE = 28;
    constexpr int BORDER = 6;
    return {r.x - BORDER, r.y - TITLE, r.w + 2 * BORDER, r.h + TITLE + BORDER};
}

void Frame::showRoundSummary(const RoundSummary& summary)
{
    closeRoundSummary();
    roundSummary = buildRoundSummary(this, summary);
    roundSummary->create();
    // Out of the way: neither the trick, where the next round's cards land,
    // nor the person's hand may be covered, nor, where the screen has room,
    // the corners where the next beg is decided and told.
    const Rect canvasAt = rootRectOf(canvas);
    auto onScreen = [&canvasAt](Rect r) {
        r.x += canvasAt.x;
        r.y += canvasAt.y;
        return withDecorations(r);
    };
    const std::vector<Rect> play = {onScreen(layout.trickArea()), onScreen(layout.fullHandArea(POS_BOTTOM))};
    std::vector<Rect> keepClear = play;
    keepClear.push_back(onScreen(layout.noteArea(static_cast<int>(NOTES_KEPT), noteLineHeight())));
    keepClear.push_back(onScreen(layout.begCorner()));
    const int w = roundSummary->getWidth();
    const int h = roundSummary->getHeight();
    const Rect wanted = withDecorations({canvasAt.x + (canvasAt.w - w) / 2, canvasAt.y, w, h});
    Rect placed = placeClear(wanted, keepClear, screenRect());
    if (overlaps(placed, play[0]) || overlaps(placed, play[1])) placed = placeClear(wanted, play, screenRect());
    const Rect frameOnly = withDecorations({0, 0, 0, 0});
    roundSummary->move(placed.x - frameOnly.x, placed.y - frameOnly.y);
    roundSummary->show(PLACEMENT_DEFAULT);
}

void Frame::placeNextBoxClear()
{
    // The box is built and run inside the toolkit's call: it is moved from
    // the first turn of its own modal loop.
    if (roundSummary && roundSummary->shown()) getApp()->addTimeout(this, ID_PLACE_BOX, 0);
}

long Frame::onPlaceBoxTimer(FXObject*, FXSelector, void*)
{
    FXWindow* box = getApp()->getModalWindow();
    if (!box || box == roundSummary || !roundSummary || !roundSummary->shown()) return 1;
    const Rect boxRect = withDecorations(rootRectOf(box));
    const Rect placed = placeClear(boxRect, {withDecorations(rootRectOf(roundSummary))}, screenRect());
    const Rect frameOnly = withDecorations({0, 0, 0, 0});
    if (placed.x != boxRect.x || placed.y != boxRect.y) box->move(placed.x - frameOnly.x, placed.y - frameOnly.y);
    return 1;
}

void Frame::closeRoundSummary()
{
    delete roundSummary;
    roundSummary = nullptr;
}

void Frame::watchSocket(int socket, int id) { getApp()->addInput(socket, INPUT_READ, this, id); }

void Frame::unwatchSocket(int socket) { getApp()->removeInput(socket, INPUT_READ); }

void Frame::readSockets(const std::function<void(Transport&)>& read)
{
    if (!transport) return;
    ++socketDepth;
    read(*transport);
    if (--socketDepth > 0 || !deferredCommand) return;
    const FXSelector id = deferredCommand;
    deferredCommand = 0;
    handle(this, FXSEL(SEL_COMMAND, id), nullptr);
}

bool Frame::deferWhileApplying(FXSelector id)
{
    if (socketDepth == 0) return false;
    deferredCommand = id;
    return true;
}

long Frame::onIoConnection(FXObject*, FXSelector sel, void*)
{
    const int slot = FXSELID(sel) - ID_CONNECTION;
    readSockets([slot](Transport& t) { t.onSocketReadable(slot); });
    return 1;
}

long Frame::onIoListen(FXObject*, FXSelector, void*)
{
    readSockets([](Transport& t) { t.onListenerReadable(); });
    return 1;
}

void Frame::quit()
{
    game->sessionMode = MODE_QUITTING;
    getApp()->handle(this, FXSEL(SEL_COMMAND, FXApp::ID_QUIT), nullptr);
}

bool Frame::gameInProgress() const
{
    const bool playing =
        game->sessionMode == MODE_LOCAL || game->sessionMode == MODE_JOINED || game->sessionMode == MODE_HOSTING;
    return playing && game->seatInPlay(game->localSeat);
}

void Frame::quitAsking()
{
    if (gameInProgress()) {
        placeNextBoxClear();
        // Only Yes ends the game: Escape or the close box keeps it.
        if (FXMessageBox::question(this, MBOX_YES_NO, "Quit", "Quit the game in progress?") != MBOX_CLICKED_YES) return;
    }
    quit();
}

long Frame::onClose(FXObject*, FXSelector, void*)
{
    quitAsking();
    return 1;
}

long Frame::onCmdQuit(FXObject*, FXSelector, void*)
{
    quitAsking();
    return 1;
}

long Frame::onCmdQuitGame(FXObject* sender, FXSelector, void*)
{
    // The quitting button sits somewhere inside its dialog: close that first.
    if (sender && sender->isMemberOf(FXMETACLASS(FXWindow))) {
        FXWindow* dialog = static_cast<FXWindow*>(sender)->getShell();
        if (dialog && dialog != this) dialog->handle(this, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
    }
    quit();
    return 1;
}

long Frame::onCmdCallReneed(FXObject*, FXSelector, void*)
{
    if (roundInPlay(*game)) sendCallReneed(*game, game->localSeat);
    return 1;
}
