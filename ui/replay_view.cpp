#include "ui/replay_view.h"

#include <algorithm>
#include <filesystem>

#include <fxkeys.h>

#include "engine/actions.h"
#include "records/record_writer.h"
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

}  // namespace

FXDEFMAP(ReplayView) REPLAY_VIEW_MAP[] = {
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_OPEN, ReplayView::onCmdOpen),
    FXMAPFUNC(SEL_UPDATE, ReplayView::ID_OPEN, ReplayView::onUpdOpen),
    FXMAPFUNCS(SEL_COMMAND, ReplayView::ID_RECENT, ReplayView::ID_RECENT_LAST, ReplayView::onCmdRecent),
    FXMAPFUNCS(SEL_UPDATE, ReplayView::ID_RECENT, ReplayView::ID_RECENT_LAST, ReplayView::onUpdRecent),
    FXMAPFUNCS(SEL_COMMAND, ReplayView::ID_START, ReplayView::ID_END, ReplayView::onCmdStep),
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_SEAT, ReplayView::onCmdSeat),
    FXMAPFUNC(SEL_COMMAND, ReplayView::ID_LEAVE, ReplayView::onCmdLeave),
};

FXIMPLEMENT(ReplayView, FXHorizontalFrame, REPLAY_VIEW_MAP, ARRAYNUMBER(REPLAY_VIEW_MAP))

ReplayView::ReplayView(FXComposite* window, std::string folder)
    : FXHorizontalFrame(window, LAYOUT_FIX_X | LAYOUT_FIX_Y | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT | FRAME_RAISED, 0, 0, 0,
                        0, 4, 4, 2, 2, 4, 0),
      folder_(std::move(folder))
{
    const struct {
        const char* text;
        FXSelector id;
    } buttons[] = {{"|<", ID_START},       {"<<", ID_TRICK_BACK}, {"<", ID_CARD_BACK}, {">", ID_CARD_FORWARD},
                   {">>", ID_TRICK_FORWARD}, {">|", ID_END}};
    for (const auto& b : buttons) new FXButton(this, b.text, nullptr, this, b.id, BUTTON_NORMAL);
    seatButton_ = new FXButton(this, "All hands", nullptr, this, ID_SEAT, BUTTON_NORMAL);
    new FXButton(this, "Leave replay", nullptr, this, ID_LEAVE, BUTTON_NORMAL | LAYOUT_RIGHT);
    hide();
}

ReplayView::~ReplayView() { delete recentMenu_; }

void ReplayView::addMenuEntries(FXMenuPane* gameMenu)
{
    new FXMenuCommand(gameMenu, "Open Game Record...", nullptr, this, ID_OPEN, 0);
    recentMenu_ = new FXMenuPane(this, 0);
    for (int i = 0; i < RECENT_COUNT; ++i) new FXMenuCommand(recentMenu_, "", nullptr, this, ID_RECENT + i, 0);
    new FXMenuCascade(gameMenu, "Recent Games", nullptr, recentMenu_);
}

void ReplayView::windowResized(int windowWidth, int windowHeight)
{
    const int h = getDefaultHeight();
    position(0, windowHeight - h, windowWidth, h);
    if (shown()) raise();
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
    windowResized(getParent()->getWidth(), getParent()->getHeight());
    show();
    raise();
    // The first stop with cards on the table: the first deal done.
    goTo(stops_.size() > 1 ? stops_[1].actions : 0);
    return true;
}

void ReplayView::leave()
{
    if (!replay_) return;
    hide();
    window_.canvas->showGame(window_.live);
    window_.canvas->setStatus("");
    window_.canvas->clearNotes();
    replay_.reset();
    window_.refreshScores();
    window_.canvas->drawTable(true);
    if (window_.left) window_.left();
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
    if (const RoundSummary* summary = replay_->summary())
        for (const RoundSummaryColumn& team : summary->teams)
            if (!team.heading.empty()) canvas.addNote(team.heading + ": " + team.gained);
    size_t stop = 0;
    while (stop + 1 < stops_.size() && stops_[stop + 1].actions <= at_) ++stop;
    std::string where = "Replay " + teamText(header_, 0) + " against " + teamText(header_, 1) + ", step " +
                        std::to_string(stop) + " of " + std::to_string(stops_.size() - 1);
    if (replay_->ended()) {
        const auto& s = replay_->finalScores();
        where += ": game over, " + std::to_string(s[0]) + " to " + std::to_string(s[1]);
    }
    canvas.setStatus(where);
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
    const FXString chosen = FXFileDialog::getOpenFilename(getShell(), "Open Game Record", (folder_ + "/").c_str(),
                                                          "Game records (*.mvr)\nAll files (*)");
    if (!chosen.empty()) open(chosen.text());
    return 1;
}

long ReplayView::onUpdOpen(FXObject* sender, FXSelector, void*)
{
    sender->handle(this, FXSEL(SEL_COMMAND, window_.tableFree() ? ID_ENABLE : ID_DISABLE), nullptr);
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
