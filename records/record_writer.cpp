#include "records/record_writer.h"

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

RecordWriter::~RecordWriter()
{
    if (!file_) return;
    flush();
    if (file_) std::fclose(file_);
}

void RecordWriter::begin(const GameState& game)
{
    error_.clear();
    result_.clear();
    body_.clear();
    written_ = 0;
    if (!makeFolders(folder_)) {
        error_ = systemError("cannot make the folder " + folder_);
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32], date[16], clock[16];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    std::strftime(date, sizeof date, "%Y.%m.%d", &local);
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    // Two games begun in one second (self-play) get their own files.
    int fd = -1;
    for (int n = 1; fd == -1 && n < 1000; ++n) {
        path_ = folder_ + "/" + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".mvr";
        fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd == -1 && errno != EEXIST) break;
    }
    if (fd == -1 || !(file_ = fdopen(fd, "w"))) {
        error_ = systemError("cannot create " + path_);
        if (fd != -1) close(fd);
        return;
    }
    head_ = tagLine("Event", "Marvanto game") + "\n" + tagLine("Date", date) + "\n" + tagLine("Time", clock) + "\n" +
            tagLine("Program", program_) + "\n" + tagLine("Mode", sessionModeName(game.sessionMode)) + "\n" +
            tagLine("Seats", std::to_string(game.seatCount)) + "\n" + tagLine("Rules", rulesText(game.rules)) + "\n" +
            tagLine("Level", level_ ? level_() : std::string()) + "\n";
    for (int s = 0; s < 4; ++s) {
        const Seat& seat = game.seats[s];
        if (!seat.inPlay()) continue;
        head_ += tagLine("Seat" + std::to_string(s), seat.name) + "\n";
        head_ += tagLine("Seat" + std::to_string(s) + "Kind", seatKindName(seat.kind)) + "\n";
    }
    write(head_ + tagLine("Result", "*") + "\n\n");
}

void RecordWriter::write(const std::string& text)
{
    if (!file_) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
        error_ = systemError("cannot write " + path_);
        std::fclose(file_);
        file_ = nullptr;
    }
}

void RecordWriter::flush()
{
    write(body_.substr(written_));
    written_ = body_.size();
}

void RecordWriter::onAction(const GameState& game, const GameAction& action)
{
    // A game's first action names its dealer; a game left unfinished stays
    // so, with its result "*".
    if (action.action == ACTION_SET_DEALER) {
        if (file_) {
            flush();
            if (file_) std::fclose(file_);
            file_ = nullptr;
        }
        begin(game);
    }
    if (!file_) return;
    const std::string token = actionToken(action);
    if (token.empty()) return;
    // A line a round: a new one at the first card of each deal, unless only
    // the dealer stands on the line so far.
    const bool freshDeal = action.action == ACTION_DEAL && cardsInHands(game) == 1;
    const size_t lineStart = body_.rfind('\n') + 1;  // 0 on the first line
    const bool onlyDealer = body_.compare(lineStart, 7, "dealer:") == 0 && body_.find(' ', lineStart) == std::string::npos;
    if (!body_.empty() && freshDeal && !onlyDealer) body_ += '\n';
    if (!body_.empty() && body_.back() != '\n') body_ += ' ';
    body_ += token;
    if (!result_.empty()) {
        finish();
        return;
    }
    if (action.action == ACTION_PLAY && !game.trick) flush();
}

void RecordWriter::onGameEnd(const GameState& game)
{
    if (!file_) return;
    result_ = std::to_string(shownScore(game, game.teams[0])) + "-" + std::to_string(shownScore(game, game.teams[1]));
}

void RecordWriter::finish()
{
    std::fclose(file_);
    file_ = nullptr;
    // Rewritten whole, so a crash leaves either the running record or the
    // finished one, never half of each.
    const std::string temporary = path_ + ".part";
    std::FILE* out = std::fopen(temporary.c_str(), "w");
    const std::string text = head_ + tagLine("Result", result_) + "\n\n" + body_ + "\n";
    const bool ok = out && std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
    if (out) std::fclose(out);
    if (!ok || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        error_ = systemError("cannot complete " + path_);
        std::remove(temporary.c_str());
    }
    result_.clear();
}
