#include "records/record_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/actions.h"
#include "records/game_record.h"

namespace {

int cardsInHands(const GameState& game)
{
    int n = 0;
    for (const Seat& seat : game.seats) n += countCards(seat.hand);
    return n;
}

std::string rulesText(const RuleSettings& rules)
{
    std::string text;
    for (int32_t v : rulesFields(rules)) text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

// The Result tag padded to the width of the widest score a game can end on.
std::string resultSlot(const std::string& result)
{
    std::string line = tagLine("Result", result);
    line.resize(std::max(line.size(), tagLine("Result", "99-99").size()), ' ');
    return line;
}

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

std::string defaultRecordFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/marvanto/games";
    const char* home = std::getenv("HOME");
    if (home && home[0]) return std::string(home) + "/.local/share/marvanto/games";
    return {};
}

bool makeFolders(const std::string& folder)
{
    if (folder.empty()) return false;
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

RecordWriter::RecordWriter(std::string folder, std::string program, std::function<std::string()> level)
    : folder_(std::move(folder)), program_(std::move(program)), level_(std::move(level))
{
}

RecordWriter::~RecordWriter() { close(); }

void RecordWriter::begin(const GameState& game)
{
    error_.clear();
    result_.clear();
    pending_.clear();
    lineBegun_ = lineOnlyDealer_ = false;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32], date[16], clock[16];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    std::strftime(date, sizeof date, "%Y.%m.%d", &local);
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    int n = stamp == lastStamp_ ? lastNumber_ : 0;
    bool folderMade = false;
    lastStamp_ = stamp;
    while (fd_ == -1 && ++n < 10000) {
        path_ = folder_ + "/" + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".mvr";
        fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        // The folder is made when it is missing, not looked for at every game.
        if (fd_ == -1 && errno == ENOENT && !folderMade && makeFolders(folder_)) {
            folderMade = true;
            --n;
            continue;
        }
        if (fd_ == -1 && errno != EEXIST) break;
    }
    lastNumber_ = n;
    if (fd_ == -1) {
        error_ = systemError("cannot create " + path_);
        return;
    }
    std::string head = tagLine("Event", "Marvanto game") + "\n" + tagLine("Date", date) + "\n" + tagLine("Time", clock) +
                       "\n" + tagLine("Program", program_) + "\n" + tagLine("Mode", sessionModeName(game.sessionMode)) +
                       "\n" + tagLine("Seats", std::to_string(game.seatCount)) + "\n" +
                       tagLine("Rules", rulesText(game.rules)) + "\n" + tagLine("Level", level_ ? level_() : std::string()) +
                       "\n";
    for (int s = 0; s < 4; ++s) {
        const Seat& seat = game.seats[s];
        if (!seat.inPlay()) continue;
        head += tagLine("Seat" + std::to_string(s), seat.name) + "\n";
        head += tagLine("Seat" + std::to_string(s) + "Kind", seatKindName(seat.kind)) + "\n";
    }
    resultOffset_ = static_cast<long>(head.size());
    write(head + resultSlot("*") + "\n\n");
}

void RecordWriter::write(const std::string& text)
{
    size_t done = 0;
    while (fd_ != -1 && done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (errno != EINTR) {
            error_ = systemError("cannot write " + path_);
            ::close(fd_);
            fd_ = -1;
        }
    }
}

void RecordWriter::flush()
{
    write(pending_);
    pending_.clear();
}

void RecordWriter::close()
{
    if (fd_ == -1) return;
    flush();
    if (fd_ != -1) ::close(fd_);
    fd_ = -1;
}

void RecordWriter::onAction(const GameState& game, const GameAction& action)
{
    // A game's first action names its dealer; a game left unfinished stays
    // so, with its result "*".
    if (action.action == ACTION_SET_DEALER) {
        close();
        begin(game);
    }
    if (fd_ == -1) return;
    // Written out at the end of each trick and of each deal (the kick: a
    // person may think long over the beg); a line a round: a new one at the
    // first card of each deal, unless only the dealer stands on the line so
    // far.
    const size_t before = pending_.size();
    const bool freshDeal = action.action == ACTION_DEAL && cardsInHands(game) == 1;
    if (lineBegun_) pending_ += freshDeal && !lineOnlyDealer_ ? '\n' : ' ';
    if (!appendActionToken(pending_, action)) {
        pending_.resize(before);
        return;
    }
    lineBegun_ = true;
    lineOnlyDealer_ = action.action == ACTION_SET_DEALER;
    if (!result_.empty())
        finish();
    else if ((action.action == ACTION_PLAY && !game.trick) || action.action == ACTION_KICK)
        flush();
}

void RecordWriter::onHint(int seat)
{
    // Goes out with the trick it was asked in.
    if (fd_ == -1 || !lineBegun_ || seat < 0 || seat > 3) return;
    pending_ += ' ';
    appendHintToken(pending_, seat);
    lineOnlyDealer_ = false;
}

void RecordWriter::onGameEnd(const GameState& game)
{
    if (fd_ == -1) return;
    result_ = std::to_string(shownScore(game, game.teams[0])) + "-" + std::to_string(shownScore(game, game.teams[1]));
}

void RecordWriter::finish()
{
    pending_ += '\n';
    flush();
    // The result fills the slot the header kept for it: one small write in
    // place, so the record is never half rewritten.
    const std::string slot = resultSlot(result_);
    if (fd_ != -1 && pwrite(fd_, slot.data(), slot.size(), resultOffset_) != static_cast<ssize_t>(slot.size()))
        error_ = systemError("cannot complete " + path_);
    result_.clear();
    close();
}
