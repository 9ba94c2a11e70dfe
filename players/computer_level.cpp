#include "players/computer_level.h"

const char* computerLevelName(ComputerLevel level) { return level == ComputerLevel::EXPERT ? "Expert" : "Standard"; }

ComputerLevel computerLevelNamed(const std::string& name)
{
    return name == computerLevelName(ComputerLevel::EXPERT) ? ComputerLevel::EXPERT : ComputerLevel::STANDARD;
}
