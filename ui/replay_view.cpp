#include "ui/replay_view.h"

#include <algorithm>
#include <filesystem>

#include <fxkeys.h>

#include "engine/actions.h"
#include "records/record_review.h"
#include "records/record_writer.h"
#include "ui/round_summary.h"
#include "ui/table_canvas.h"

namespace {

constexpr int RECENT_COUNT = 10;
// The menu reads the folder again when it was last read this long ago.
constexpr FXTime RECENT_REFRESH_NS = 2000000000;

std::string teamText(const RecordHeader& h, int team)
{
    const std::string first = h.names[2 * team];
    return h.seatCount == 2 ? first : first + " & " + h.names[2 * team + 1];
}

// The text on one line of that many pixels, or on two broken after a comma
// or a full stop; what the second cannot hold is cut.
std::vector<std::string> wrapped(FXFont* font, const std::string& text, int width)
{
    auto fits = [font, width](const std::string& part) { return font->getTextWidth(part.c_str()) <= width; };
    size_t cut = std::string::npos;
    if (!fits(text))
        for (size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1))
            if ((text[at - 1] == ',' || text[at - 1] == '.') && fits(text.substr(0, at))) cut = at;
    if (cut == std::string::npos) return {text};
    return {text.substr(0, cut), text.substr(cut + 1)};
}

}  // namespace

FXDEFMAP(ReplayView) REPLAY_VIEW_MAP[] = {
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_OPEN, ReplayView::onCmdOpen),
    FXMAPFUNC(SEL_UPDATE, ReplayView::ID_OPEN, ReplayView::onUpdOpen),
    FXMAPFUNCS(SEL_COMMAND, ReplayView::ID_RECENT, ReplayView::ID_RECENT_LAST, ReplayView::onCmdRecent),
    FXMAPFUNCS(SEL_UPDATE, ReplayView::ID_RECENT, ReplayView::ID_RECENT_LAST, ReplayView::onUpdRecent),
    FXMAPFUNCS(SEL_COMMAND, ReplayView::ID_START, ReplayView::ID_END, ReplayView::onCmdStep),
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_SEAT, ReplayView::onCmdSeat),
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_LEAVE, ReplayView::onCmdLeave),
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_REVIEW, ReplayView::onCmdReview),
    FXMAPFUNC(SEL_UPDATE, ReplayView::ID_REVIEW, ReplayView::onUpdReview),
    FXMAPFUNC(SEL_IO_READ, ReplayView::ID_REVIEW_READY, ReplayView::onReviewReady),
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_PLAY_AGAIN, ReplayView::onCmdPlayAgain),
};

FXIMPLEMENT(ReplayView, FXObject, REPLAY_VIEW_MAP, ARRAYNUMBER(REPLAY_VIEW_MAP))

ReplayView::ReplayView(std::string folder) : folder_(std::move(folder)) {}

ReplayView::~ReplayView()
{
    endReview();
    if (app_ && review_.wakeDescriptor() != -1) app_->removeInput(review_.wakeDescriptor(), INPUT_READ);
    delete recentMenu_;
}

void ReplayView::buildBar(FXComposite* window)
{
    bar_ = new FXVerticalFrame(window, LAYOUT_FIX_X | LAYOUT_FIX_Y | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT | FRAME_RAISED, 0,
                               0, 0, 0, 4, 4, 2, 2, 0, 0);
    // Every line, blank or not: the bar does not jump as the steps go.
    for (FXLabel*& line : lines_) line = new FXLabel(bar_, " ", nullptr, JUSTIFY_LEFT | LAYOUT_FILL_X);
    auto* buttonRow = new FXHorizontalFrame(bar_, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0);
    const struct {
        const char* text;
        FXSelector id;
    } buttons[] = {{"|<", ID_START},       {"<<", ID_TRICK_BACK}, {"<", ID_CARD_BACK}, {">", ID_CARD_FORWARD},
                   {">>", ID_TRICK_FORWARD}, {">|", ID_END}};
    for (const auto& b : buttons) new FXButton(buttonRow, b.text, nullptr, this, b.id, BUTTON_NORMAL);
    seatButton_ = new FXButton(buttonRow, "All hands", nullptr, this, ID_SEAT, BUTTON_NORMAL);
    new FXButton(buttonRow, "Review", nullptr, this, ID_REVIEW, BUTTON_NORMAL);
    new FXButton(buttonRow, "Play this deal again", nullptr, this, ID_PLAY_AGAIN, BUTTON_NORMAL);
    new FXButton(buttonRow, "Leave replay", nullptr, this, ID_LEAVE, BUTTON_NORMAL | LAYOUT_RIGHT);
    status_ = new FXLabel(buttonRow, " ", nullptr, JUSTIFY_CENTER_X | LAYOUT_FILL_X | LAYOUT_CENTER_Y);
    bar_->hide();
    app_ = window->getApp();
    if (review_.wakeDescriptor() != -1) app_->addInput(review_.wakeDescriptor(), INPUT_READ, this, ID_REVIEW_READY);
}

void ReplayView::addMenuEntries(FXMenuPane* gameMenu)
{
    new FXMenuCommand(gameMenu, "Open Game Record...", nullptr, this, ID_OPEN, 0);
    recentMenu_ = new FXMenuPane(gameMenu->getOwner(), 0);
    for (int i = 0; i < RECENT_COUNT; ++i) new FXMenuCommand(recentMenu_, "", nullptr, this, ID_RECENT + i, 0);
    new FXMenuCascade(gameMenu, "Recent Games", nullptr, recentMenu_);
    new FXMenuCommand(gameMenu, "Review", nullptr, this, ID_REVIEW, 0);
}

void ReplayView::windowResized(int windowWidth, int windowHeight)
{
    if (!bar_) return;
    const int h = bar_->getDefaultHeight();
    bar_->position(0, windowHeight - h, windowWidth, h);
    if (bar_->shown()) bar_->raise();
}

bool ReplayView::open(const std::string& path)
{
    RecordError error;
    auto record = readGameRecordFile(path, error);
    auto header = record ? readRecordHeader(*record, error) : std::nullopt;
    if (!header || !checkRecord(*record, error)) {
        window_.showError("Game record", describeRecordError(path, error));
        return false;
    }
    endReview();
    reviewed_.clear();
    // A review done before is kept beside the record; one that cannot be
    // read is done again on asking.
    if (const auto kept = loadReview(reviewPathFor(path), error)) reviewed_ = *kept;
    path_ = path;
    record_ = std::move(*record);
    header_ = *header;
    // One replay to find where the steps stop: after each card, and before
    // each round's first card.
    stops_ = {{0, true}};
    RecordReplay probe(header_);
    for (size_t i = 0; i < record_.actions.size(); ++i) {
        const GameAction& a = record_.actions[i].action;
        const GameState& g = probe.game();
        const bool roundOpens = a.action == ACTION_PLAY && !g.trick && !g.teams[0].pile && !g.teams[1].pile;
        if (roundOpens && stops_.back().actions != i) stops_.push_back({i, true});
        probe.apply(record_.actions[i], error);
        if (a.action == ACTION_PLAY) stops_.push_back({i + 1, !probe.game().trick});
    }
    if (stops_.back().actions != record_.actions.size()) stops_.push_back({record_.actions.size(), true});
    viewSeat_ = -1;
    seatButton_->setText("All hands");
    replay_ = std::make_unique<RecordReplay>(header_);
    at_ = 0;
    if (window_.entered) window_.entered();
    windowResized(bar_->getParent()->getWidth(), bar_->getParent()->getHeight());
    bar_->show();
    bar_->raise();
    // The first stop with cards on the table: the first deal done.
    goTo(stops_.size() > 1 ? stops_[1].actions : 0);
    return true;
}

void ReplayView::restoreTable()
{
    endReview();
    reviewed_.clear();
    bar_->hide();
    window_.canvas->showGame(window_.live);
    window_.canvas->clearNotes();
    replay_.reset();
    window_.refreshScores();
    window_.canvas->drawTable(true);
}

void ReplayView::leave()
{
    if (!replay_) return;
    restoreTable();
    if (window_.left) window_.left();
}

long ReplayView::onCmdPlayAgain(FXObject*, FXSelector, void*)
{
    if (!replay_) return 1;
    // A local game seats its person first: the deal is the same only for
    // a record that did.
    if (header_.kinds[0] != LOCAL_HUMAN) {
        window_.showError("Play this deal again", "Only the deal of a game you played at the first seat, as in a "
                                                  "local game, can be played again.");
        return 1;
    }
    GameState::StackedDeal deal = firstDealOf(record_);
    if (deal.dealer < 0) {
        window_.showError("Play this deal again", "This record holds no deal.");
        return 1;
    }
    const RecordHeader header = header_;
    restoreTable();
    window_.playDeal(header, std::move(deal));
    return 1;
}

void ReplayView::goTo(size_t actions)
{
    actions = std::min(actions, record_.actions.size());
    if (actions < at_) {
        replay_ = std::make_unique<RecordReplay>(header_);
        at_ = 0;
    }
    RecordError error;
    while (at_ < actions && replay_->apply(record_.actions[at_], error)) ++at_;
    display();
}

void ReplayView::step(int direction, bool tricksOnly)
{
    if (direction > 0) {
        for (const Stop& s : stops_)
            if (s.actions > at_ && (s.trick || !tricksOnly)) return goTo(s.actions);
        return goTo(record_.actions.size());
    }
    for (auto s = stops_.rbegin(); s != stops_.rend(); ++s)
        if (s->actions < at_ && (s->trick || !tricksOnly)) return goTo(s->actions);
    goTo(0);
}

void ReplayView::display()
{
    GameState& g = replay_->game();
    // Face up: every hand, or the one seat's; that seat sits at the bottom.
    const int bottom = viewSeat_ >= 0 ? viewSeat_ : 0;
    for (int s = 0; s < 4; ++s) g.seats[s].kind = viewSeat_ < 0 || viewSeat_ == s ? LOCAL_HUMAN : REMOTE;
    g.localSeat = bottom;
    g.partnerSeat = header_.seatCount == 4 ? PARTNER_SEAT[bottom] : -1;
    // Bottom, top, left, right, as a network game seats its own player.
    const int partner = PARTNER_SEAT[bottom];
    const int opponent = g.nextSeat[bottom];
    g.tablePosition = header_.seatCount == 4 ? std::array<int32_t, 4>{{bottom, partner, g.nextSeat[partner], opponent}}
                                             : std::array<int32_t, 4>{{bottom, partner, opponent, PARTNER_SEAT[opponent]}};

    TableCanvas& canvas = *window_.canvas;
    canvas.showGame(&g);
    canvas.clearNotes();
    if (!replay_->note().empty()) canvas.addNote(replay_->note());

    // In the bar: the round's summary while the table would show it (after
    // the round's last card until the next round's first), then the review.
    std::vector<std::string> rows;
    FXFont* font = lines_[0]->getFont();
    const int room = bar_->getWidth() - bar_->getPadLeft() - bar_->getPadRight() - lines_[0]->getPadLeft() -
                     lines_[0]->getPadRight();
    if (const RoundSummary* summary = replay_->summary())
        for (const RoundSummaryColumn& team : summary->teams)
            if (!team.heading.empty())
                for (const std::string& row : wrapped(font, summaryNote(team), room)) rows.push_back(row);
    const std::string reviewed = reviewNote();
    if (!reviewed.empty()) rows.push_back(reviewed);
    if (!reviewed_.empty()) rows.push_back("Review: " + summaryText(summarizeReview(reviewed_)));
    for (size_t i = 0; i < BAR_LINES; ++i) lines_[i]->setText(i < rows.size() ? rows[i].c_str() : " ");

    size_t stop = 0;
    while (stop + 1 < stops_.size() && stops_[stop + 1].actions <= at_) ++stop;
    // Short, for the room the buttons leave at the small size; the table
    // says how the game ended.
    const std::string where = "Step " + std::to_string(stop) + " of " + std::to_string(stops_.size() - 1);
    status_->setText(where.c_str());
    window_.refreshScores();
    canvas.drawTable(true);
}

bool ReplayView::onKey(FXuint key)
{
    switch (key) {
    case KEY_Right: step(1, false); return true;
    case KEY_Left: step(-1, false); return true;
    case KEY_Down: step(1, true); return true;
    case KEY_Up: step(-1, true); return true;
    case KEY_Home: goTo(0); return true;
    case KEY_End: goTo(record_.actions.size()); return true;
    case KEY_Escape: leave(); return true;
    default: return false;
    }
}

long ReplayView::onCmdStep(FXObject*, FXSelector sel, void*)
{
    switch (FXSELID(sel)) {
    case ID_START: goTo(0); break;
    case ID_TRICK_BACK: step(-1, true); break;
    case ID_CARD_BACK: step(-1, false); break;
    case ID_CARD_FORWARD: step(1, false); break;
    case ID_TRICK_FORWARD: step(1, true); break;
    default: goTo(record_.actions.size()); break;
    }
    return 1;
}

long ReplayView::onCmdSeat(FXObject*, FXSelector, void*)
{
    // All hands, then each seat in play in turn.
    do {
        viewSeat_ = viewSeat_ == 3 ? -1 : viewSeat_ + 1;
    } while (viewSeat_ >= 0 && !seatAtTable(viewSeat_, header_.seatCount));
    seatButton_->setText(viewSeat_ < 0 ? FXString("All hands") : FXString(header_.names[viewSeat_].c_str()));
    display();
    return 1;
}

long ReplayView::onCmdLeave(FXObject*, FXSelector, void*)
{
    leave();
    return 1;
}

long ReplayView::onCmdOpen(FXObject*, FXSelector, void*)
{
    makeFolders(folder_);
    const FXString chosen = FXFileDialog::getOpenFilename(bar_->getShell(), "Open Game Record", (folder_ + "/").c_str(),
                                                          "Game records (*.mvr)\nAll files (*)");
    if (!chosen.empty()) open(chosen.text());
    return 1;
}

long ReplayView::onUpdOpen(FXObject* sender, FXSelector, void*)
{
    sender->handle(this, FXSEL(SEL_COMMAND, window_.tableFree() ? FXWindow::ID_ENABLE : FXWindow::ID_DISABLE), nullptr);
    return 1;
}

void ReplayView::refreshRecent()
{
    const FXTime now = FXThread::time();
    if (now - recentRead_ < RECENT_REFRESH_NS) return;
    recentRead_ = now;
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> files;
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, failed))
        if (entry.path().extension() == ".mvr") files.emplace_back(entry.last_write_time(failed), entry.path().string());
    std::sort(files.rbegin(), files.rend());
    recentPaths_.clear();
    recentLabels_.clear();
    for (const auto& [time, path] : files) {
        if (recentPaths_.size() == RECENT_COUNT) break;
        RecordError error;
        const auto record = readGameRecordFile(path, error);
        const auto header = record ? readRecordHeader(*record, error) : std::nullopt;
        std::string label = std::filesystem::path(path).stem().string();
        if (header) {
            label = header->date + " " + header->time + "  " + teamText(*header, 0) + " against " + teamText(*header, 1);
            label += header->finished ? "  " + std::to_string(header->scores[0]) + "-" + std::to_string(header->scores[1])
                                      : "  (unfinished)";
        }
        // A menu label takes "&&" for one ampersand.
        std::string shown;
        for (char c : label) shown += c == '&' ? std::string("&&") : std::string(1, c);
        recentPaths_.push_back(path);
        recentLabels_.push_back(shown);
    }
}

long ReplayView::onUpdRecent(FXObject* sender, FXSelector sel, void*)
{
    refreshRecent();
    const size_t i = FXSELID(sel) - ID_RECENT;
    auto* entry = static_cast<FXMenuCommand*>(sender);
    if (i >= recentPaths_.size()) {
        entry->hide();
        return 1;
    }
    if (entry->getText() != recentLabels_[i].c_str()) entry->setText(recentLabels_[i].c_str());
    entry->show();
    window_.tableFree() ? entry->enable() : entry->disable();
    return 1;
}

long ReplayView::onCmdRecent(FXObject*, FXSelector sel, void*)
{
    const size_t i = FXSELID(sel) - ID_RECENT;
    if (i < recentPaths_.size()) open(recentPaths_[i]);
    return 1;
}

std::string ReplayView::reviewNote() const
{
    if (at_ == 0 || reviewed_.empty()) return {};
    const RecordedAction& last = record_.actions[at_ - 1];
    const GameAction& a = last.action;
    for (const ReviewedDecision& r : reviewed_) {
        const ReviewDecision& d = r.decision;
        if (d.line != last.line) continue;
        const bool card = d.kind == ReviewDecision::CARD && a.action == ACTION_PLAY && d.choice == a.card &&
                          d.view.seat == a.seat;
        const bool beg = d.kind == ReviewDecision::BEG && d.choice == 1 && a.action == ACTION_BEG;
        const bool give = d.kind == ReviewDecision::DEALER && d.choice == 0 && a.action == ACTION_GIVE_ONE;
        if (!card && !beg && !give) continue;
        const std::string choice = choiceText(d.kind, d.choice);
        const ReviewGrade grade = gradeOf(r.loss());
        if (grade == ReviewGrade::GOOD) return "Review: " + choice + " was as good as the Expert's choice";
        char loss[16];
        std::snprintf(loss, sizeof loss, "%.1f", r.loss());
        return "Review: " + choice + ", " + gradeName(grade) + " (" + loss + " points); better " +
               choiceText(d.kind, r.bestChoice);
    }
    return {};
}

void ReplayView::endReview()
{
    review_.cancel();
    delete progress_;
    progress_ = nullptr;
}

long ReplayView::onUpdReview(FXObject* sender, FXSelector, void*)
{
    sender->handle(this, FXSEL(SEL_COMMAND, active() && !progress_ ? FXWindow::ID_ENABLE : FXWindow::ID_DISABLE), nullptr);
    return 1;
}

long ReplayView::onCmdReview(FXObject*, FXSelector, void*)
{
    if (!active() || progress_) return 1;
    std::array<bool, 4> seats = personSeats(header_);
    // A game with nobody at this machine (self-play): every seat's decisions.
    if (seats == std::array<bool, 4>{})
        for (int s = 0; s < 4; ++s) seats[s] = seatAtTable(s, header_.seatCount);
    RecordError error;
    auto decisions = collectDecisions(record_, seats, error);
    if (!decisions) {
        window_.showError("Game record", describeRecordError(path_, error));
        return 1;
    }
    progress_ = new FXProgressDialog(bar_->getShell(), "Review", "The Expert looks at every decision...",
                                     PROGRESSDIALOG_NORMAL | PROGRESSDIALOG_CANCEL);
    progress_->setTotal(static_cast<FXuint>(std::max<size_t>(1, decisions->size())));
    progress_->create();
    progress_->show(PLACEMENT_OWNER);
    review_.start(std::move(*decisions), ExpertSettings());
    return 1;
}

long ReplayView::onReviewReady(FXObject*, FXSelector, void*)
{
    const size_t done = review_.drain();
    if (!progress_) return 1;
    if (progress_->isCancelled()) {
        endReview();
        return 1;
    }
    progress_->setProgress(static_cast<FXuint>(done));
    if (!review_.finished()) return 1;
    reviewed_ = review_.takeResults();
    endReview();
    std::string why;
    if (!saveReview(reviewPathFor(path_), reviewed_, why))
        window_.showError("Review", "The review could not be kept beside the record: " + why);
    display();
    return 1;
}
