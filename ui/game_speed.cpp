#include "ui/game_speed.h"

#include <array>
#include <string>

namespace {

constexpr const char* SPEED_SECTION = "Display";
constexpr const char* SPEED_KEY = "Speed";

struct SpeedEntry {
    GameSpeed speed;
    const char* name;
    int waitMs;
};
constexpr std::array<SpeedEntry, 3> SPEEDS = {{
    {GameSpeed::SLOW, "Slow", 900},
    {GameSpeed::NORMAL, "Normal", 450},
    {GameSpeed::FAST, "Fast", 0},
}};

const SpeedEntry& entryOf(GameSpeed speed)
{
    for (const SpeedEntry& entry : SPEEDS)
        if (entry.speed == speed) return entry;
    return SPEEDS[1];
}

}  // namespace

GameSpeed loadGameSpeed(const SettingsStore& store)
{
    const std::string stored = store.readString(SPEED_SECTION, SPEED_KEY).value_or("");
    for (const SpeedEntry& entry : SPEEDS)
        if (stored == entry.name) return entry.speed;
    return GameSpeed::NORMAL;
}

void saveGameSpeed(SettingsStore& store, GameSpeed speed)
{
    store.writeString(SPEED_SECTION, SPEED_KEY, entryOf(speed).name);
    store.flush();
}

int computerWaitMs(GameSpeed speed) { return entryOf(speed).waitMs; }

int pauseMs(GameSpeed speed, int ms) { return speed == GameSpeed::SLOW ? ms + ms / 2 : ms; }
