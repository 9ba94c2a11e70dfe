#include "net/player_names.h"

namespace {

constexpr const char* NAMES_SECTION = "SETTINGS";
constexpr const char* NAMES_KEY = "names";
constexpr const char* LAST_NAME_KEY = "last";
constexpr const char* LAST_PARTNER_KEY = "partner";

// A newline would split the name into others when it is read back, and the
// settings file cannot hold DEL or NUL bytes.
bool isStorable(const std::string& name)
{
    return !name.empty() && name.find_first_of(std::string("\n\x7f\0", 3)) == std::string::npos;
}

}  // namespace

std::vector<std::string> splitSavedNames(const std::string& saved)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= saved.size()) {
        size_t end = saved.find('\n', start);
        if (end == std::string::npos) end = saved.size();
        if (end > start) names.push_back(saved.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

PlayerNames::PlayerNames(SettingsStore& store)
    : store_(store),
      saved_(store.readString(NAMES_SECTION, NAMES_KEY).value_or(std::string())),
      lastName_(store.readString(NAMES_SECTION, LAST_NAME_KEY).value_or(std::string())),
      lastPartner_(store.readString(NAMES_SECTION, LAST_PARTNER_KEY).value_or(std::string()))
{
    // A value no field could have held is no name.
    if (!isStorable(lastName_)) lastName_.clear();
    if (!isStorable(lastPartner_)) lastPartner_.clear();
}

void PlayerNames::rememberLast(const std::string& name, const std::string& partner)
{
    lastName_ = isStorable(name) ? name : std::string();
    lastPartner_ = isStorable(partner) ? partner : std::string();
    store_.writeString(NAMES_SECTION, LAST_NAME_KEY, lastName_);
    store_.writeString(NAMES_SECTION, LAST_PARTNER_KEY, lastPartner_);
    store_.flush();
}

std::vector<std::string> PlayerNames::list() const { return splitSavedNames(saved_); }

void PlayerNames::remember(const std::string& name)
{
    if (!isStorable(name)) return;
    for (const std::string& known : list())
        if (known == name) return;
    if (!saved_.empty()) saved_ += '\n';
    saved_ += name;
    store_.writeString(NAMES_SECTION, NAMES_KEY, saved_);
    store_.flush();
}

void storeNames(GameState& game, const std::string& nameText, const std::string& partnerText,
                bool partnerIsFirstEntry, bool duvanto, PlayerNames& names)
{
    setSeatName(game.seats[0], nameText);
    names.remember(nameText);
    if (duvanto || (partnerIsFirstEntry && partnerText == NO_PARTNER_NAME)) {
        // A partner from an earlier game must not stay seated.
        clearSeatName(game.seats[1]);
        game.seatCount = duvanto ? 2 : 4;
        game.localPlayers = 1;
        names.rememberLast(nameText, std::string());
        return;
    }
    setSeatName(game.seats[1], partnerText);
    game.seats[1].kind = LOCAL_HUMAN;
    names.remember(partnerText);
    names.rememberLast(nameText, partnerText);
    game.seatCount = 4;
    game.localPlayers = 2;
}
