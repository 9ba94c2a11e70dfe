// The level of the computer players of a game, chosen in Game Setup: the
// standard rules or the Expert search, for every computer seat alike.
#pragma once

#include <string>

#include "engine/game_state.h"

enum class ComputerLevel { STANDARD, EXPERT };

// "Standard" and "Expert", as the setup dialog shows them and the settings
// keep them.
const char* computerLevelName(ComputerLevel level);
// Standard for anything that is not a level's name.
ComputerLevel computerLevelNamed(const std::string& name);

// The computer players the engine calls: those of the chosen level.
class LevelledComputers : public ComputerPlayers {
public:
    LevelledComputers(ComputerPlayers& standard, ComputerPlayers& expert) : standard_(standard), expert_(expert) {}

    void runComputerTurn(GameState& game) override { current().runComputerTurn(game); }
    bool dealerAcceptsBeg(const GameState& game) override { return current().dealerAcceptsBeg(game); }

    ComputerLevel level = ComputerLevel::STANDARD;

private:
    ComputerPlayers& current() { return level == ComputerLevel::EXPERT ? expert_ : standard_; }

    ComputerPlayers& standard_;
    ComputerPlayers& expert_;
};
