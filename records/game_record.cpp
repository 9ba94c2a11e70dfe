#include "records/game_record.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/actions.h"

namespace {

// A game is a few kilobytes; anything this big is not a record.
constexpr std::streamoff MAX_RECORD_BYTES = 1 << 20;

struct Word {
    const char* text;
    int32_t code;
};
// Actions that name neither a seat nor a card.
constexpr Word BARE[] = {{"beg", ACTION_BEG}, {"give", ACTION_GIVE_ONE}, {"redeal", ACTION_REDEAL}};
// Actions written "word:seat".
constexpr Word OF_SEAT[] = {
    {"dealer", ACTION_SET_DEALER}, {"reneed", ACTION_CALL_RENEED}, {"takeover", ACTION_TAKEOVER}, {"return", ACTION_RETURN}};

// Not an action: a seat asked for a hint ("hint:N").
constexpr char HINT_PREFIX[] = "hint:";
constexpr size_t HINT_PREFIX_LENGTH = sizeof HINT_PREFIX - 1;

constexpr std::pair<const char*, SeatKind> KIND_NAMES[] = {
    {"human", LOCAL_HUMAN}, {"remote", REMOTE}, {"computer", COMPUTER}};

int seatDigit(const std::string& text)
{
    return text.size() == 1 && text[0] >= '0' && text[0] <= '3' ? text[0] - '0' : -1;
}

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// `[Name "value"]`; false with the reason when the line is not one.
bool parseTag(const std::string& line, std::string& name, std::string& value, std::string& why)
{
    size_t i = 1;
    while (i < line.size() && isNameChar(line[i])) ++i;
    name = line.substr(1, i - 1);
    if (name.empty()) {
        why = "a tag without a name";
        return false;
    }
    if (i + 1 >= line.size() || line[i] != ' ' || line[i + 1] != '"') {
        why = "tag " + name + ": the value must follow in double quotes";
        return false;
    }
    value.clear();
    for (i += 2; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') break;
        if (c == '\\') {
            if (++i >= line.size() || (line[i] != '\\' && line[i] != '"')) {
                why = "tag " + name + ": a backslash escapes only \\ and \"";
                return false;
            }
        } else if (static_cast<unsigned char>(c) < 0x20) {
            why = "tag " + name + ": a control character in the value";
            return false;
        }
        value += line[i];
    }
    // Blanks may follow: the writer pads the Result tag to a fixed width.
    if (i + 1 >= line.size() || line[i + 1] != ']' || line.find_first_not_of(" \t", i + 2) != std::string::npos) {
        why = "tag " + name + ": the line must end with \"]";
        return false;
    }
    return true;
}

}  // namespace

std::string GameRecord::tag(const std::string& name) const
{
    for (const auto& [n, v] : tags)
        if (n == name) return v;
    return {};
}

void GameRecord::setTag(const std::string& name, const std::string& value)
{
    for (auto& [n, v] : tags)
        if (n == name) {
            v = value;
            return;
        }
    tags.emplace_back(name, value);
}

std::string describeRecordError(const std::string& file, const RecordError& error)
{
    if (error.line <= 0) return file + ": " + error.what;
    return file + ": line " + std::to_string(error.line) + ": " + error.what;
}

bool appendActionToken(std::string& out, const GameAction& a)
{
    // Straight into the buffer: the writer adds a token for every action.
    const char seat = static_cast<char>('0' + a.seat);
    const bool seatKnown = a.seat >= 0 && a.seat <= 3;
    auto card = [&out, &a] { out += cardToken(a.card); };
    switch (a.action) {
    case ACTION_PLAY:
    case ACTION_DEAL:
        if (!seatKnown) return false;
        out += seat;
        out += a.action == ACTION_PLAY ? ':' : '+';
        card();
        return true;
    case ACTION_KICK:
        out += "kick:";
        card();
        return true;
    default:
        break;
    }
    for (const Word& w : BARE)
        if (w.code == a.action) {
            out += w.text;
            return true;
        }
    for (const Word& w : OF_SEAT)
        if (w.code == a.action && seatKnown) {
            out += w.text;
            out += ':';
            out += seat;
            return true;
        }
    return false;
}

std::string actionToken(const GameAction& a)
{
    std::string token;
    appendActionToken(token, a);
    return token;
}

void appendHintToken(std::string& out, int seat)
{
    out += HINT_PREFIX;
    out += static_cast<char>('0' + seat);
}

std::optional<GameAction> parseActionToken(const std::string& token)
{
    GameAction a;
    for (const Word& w : BARE)
        if (token == w.text) {
            a.action = w.code;
            return a;
        }
    const size_t mark = token.find_first_of(":+");
    if (mark == std::string::npos) return std::nullopt;
    const std::string head = token.substr(0, mark);
    const std::string tail = token.substr(mark + 1);
    if (token[mark] == '+' || seatDigit(head) >= 0) {
        a.seat = seatDigit(head);
        a.card = parseCardToken(tail);
        a.action = token[mark] == '+' ? ACTION_DEAL : ACTION_PLAY;
        if (a.seat < 0 || a.card == NO_CARD) return std::nullopt;
        return a;
    }
    if (head == "kick") {
        a.card = parseCardToken(tail);
        a.action = ACTION_KICK;
        if (a.card == NO_CARD) return std::nullopt;
        return a;
    }
    for (const Word& w : OF_SEAT)
        if (head == w.text) {
            a.action = w.code;
            a.seat = seatDigit(tail);
            if (a.seat < 0) return std::nullopt;
            return a;
        }
    return std::nullopt;
}

const char* seatKindName(SeatKind kind)
{
    for (const auto& [name, k] : KIND_NAMES)
        if (k == kind) return name;
    return "remote";
}

bool parseSeatKind(const std::string& text, SeatKind& kind)
{
    for (const auto& [name, k] : KIND_NAMES)
        if (text == name) {
            kind = k;
            return true;
        }
    return false;
}

const char* sessionModeName(SessionMode mode)
{
    switch (mode) {
    case MODE_HOSTING: return "hosting";
    case MODE_JOINED: return "joined";
    default: return "local";
    }
}

std::string tagLine(const std::string& name, const std::string& value)
{
    std::string line = "[" + name + " \"";
    for (char c : value) {
        if (c == '\\' || c == '"') line += '\\';
        // A name never carries a line break into the file.
        line += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return line + "\"]";
}

std::optional<GameRecord> parseGameRecord(const std::string& text, RecordError& error)
{
    GameRecord record;
    int lineNumber = 0;
    size_t at = 0;
    auto fail = [&](const std::string& what) {
        error = {lineNumber, what};
        return std::nullopt;
    };
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('\0') != std::string::npos) return fail("a NUL byte: this is not a text file");
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (line[0] == '[') {
            if (!record.actions.empty()) return fail("a tag after the actions have begun");
            std::string name, value, why;
            if (!parseTag(line, name, value, why)) return fail(why);
            for (const auto& tag : record.tags)
                if (tag.first == name) return fail("tag " + name + " given twice");
            record.tags.emplace_back(name, value);
            continue;
        }
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            if (word.compare(0, HINT_PREFIX_LENGTH, HINT_PREFIX) == 0) {
                const int seat = seatDigit(word.substr(HINT_PREFIX_LENGTH));
                if (seat < 0) return fail("\"" + word + "\" is not a hint: hint:N names a seat 0 to 3");
                record.hints.push_back({seat, record.actions.size()});
                continue;
            }
            const auto action = parseActionToken(word);
            if (!action) return fail("\"" + word + "\" is not an action");
            record.actions.push_back({*action, lineNumber});
        }
    }
    lineNumber = 0;
    if (record.tags.empty() && record.actions.empty()) return fail("empty: no tags and no actions");
    return record;
}

std::optional<GameRecord> readGameRecordFile(const std::string& path, RecordError& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = {0, "cannot be opened"};
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size > MAX_RECORD_BYTES) {
        error = {0, "too big for a game record (" + std::to_string(size) + " bytes)"};
        return std::nullopt;
    }
    in.seekg(0);
    std::string text(static_cast<size_t>(size < 0 ? 0 : size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in) {
        error = {0, "cannot be read"};
        return std::nullopt;
    }
    return parseGameRecord(text, error);
}
