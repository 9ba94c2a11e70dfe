// Start-up: the application object, the game, the window, the listening
// socket, then the event loop until the program quits.
#include <cstdlib>
#include <ctime>

#include <fx.h>

#include "engine/game_state.h"
#include "net/transport.h"
#include "ui/background.h"
#include "ui/frame.h"

int main(int argc, char** argv)
{
    // The window points into the game, so the game outlives the application.
    GameState game;
    FXApp app("marvanto", "zok");
    app.init(argc, argv);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    game.turn = TURN_IDLE;
    app.setBaseColor(FXRGB(206, 206, 204));
    app.setSelbackColor(FXRGB(76, 89, 166));
    initGame(game);
    game.rules = RuleSettings{};
    game.pendingRules = game.rules;

    const TableFonts fonts = TableFonts::create(&app);
    auto* frame = new Frame(&app, &game, fonts);
    app.create();
    frame->setBackgroundImage(loadBackgroundFromSettings(&app));
    frame->drawTable(false);

    Transport transport(*frame, game);
    game.outbox = &transport;
    frame->setTransport(&transport);
    transport.openListener(NET_LISTEN_PORT);

    frame->show(PLACEMENT_SCREEN);
    app.addTimeout(frame, Frame::ID_SETUP_TIMER, 0);
    return app.run();
}
