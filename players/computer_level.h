// The level of the computer players of a game, chosen in Game Setup: the
// standard rules or the Expert search, for every computer seat alike.
#pragma once

#include <functional>
#include <string>

#include "engine/game_state.h"

enum class ComputerLevel { STANDARD, EXPERT };

// "Standard" and "Expert", as the setup dialog shows them and the settings
// keep them.
const char* computerLevelName(ComputerLevel level);
// Standard for anything that is not a level's name.
ComputerLevel computerLevelNamed(const std::string& name);

// The computer players the engine calls: those of the level chosen now.
class LevelledComputers : public ComputerPlayers {
public:
    LevelledComputers(ComputerPlayers& standard, ComputerPlayers& expert, std::function<ComputerLevel()> level)
        : standard_(standard), expert_(expert), level_(std::move(level))
    {
    }

    void runComputerTurn(GameState& game) override { current().runComputerTurn(game); }
    bool dealerAcceptsBeg(const GameState& game) override { return current().dealerAcceptsBeg(game); }

private:
    ComputerPlayers& current() { return level_() == ComputerLevel::EXPERT ? expert_ : standard_; }

    ComputerPlayers& standard_;
    ComputerPlayers& expert_;
    std::function<ComputerLevel()> level_;
};
