// Start-up: the application object, the game, the window, the settings and
// high scores, the listening socket and the session, then the event loop
// until the program quits.
#include <cstdlib>
#include <ctime>

#include <fx.h>

#include "engine/game_state.h"
#include "net/player_names.h"
#include "net/session.h"
#include "net/transport.h"
#include "net/computer_choice.h"
#include "players/background_expert.h"
#include "players/computer.h"
#include "players/computer_level.h"
#include "records/high_scores.h"
#include "records/record_writer.h"
#include "ui/background.h"
#include "ui/fox_settings.h"
#include "ui/frame.h"
#include "ui/screen_size.h"
#include "ui/saved_rules.h"

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

    // init() has read the registry.
    FoxSettings settings(app.reg());
    game.pendingRules = loadRules(settings);
    game.rules = game.pendingRules;
    PlayerNames names(settings);
    // The size chosen last time, or at the first start the largest the screen has room for.
    // A size kept from a larger screen gives way here to the largest that fits.
    const PixelSize screen = screenSize(app);
    const CardScale scale =
        largestFitting(parseCardScale(settings.readString(CARD_SIZE_SECTION, CARD_SIZE_KEY))
                           .value_or(firstStartScale(screen.width, screen.height)),
                       workAreaSize(app));
    // Tooltips say why a menu entry or a control is greyed out.
    new FXToolTip(&app);
    auto* frame = new Frame(&app, &game, scale);
    app.create();
    frame->setBackgroundImage(loadBackgroundFromSettings(&app));
    frame->drawTable(false);
    HighScoreTable highScores = loadHighScores(settings);

    Transport transport(*frame, game);
    Session session(game, transport, frame->sessionUi());
    ComputerChoice computerChoice(settings);
    ComputerStrategy standard;
    ExpertSettings expertSettings;
    expertSettings.seed = static_cast<uint64_t>(std::time(nullptr));
    BackgroundExpert expert(expertSettings);
    LevelledComputers computers(standard, expert, [&computerChoice] { return computerChoice.level(); });
    frame->watchSocket(expert.wakeDescriptor(), Frame::ID_EXPERT_READY);
    game.outbox = &transport;
    game.computers = &computers;
    // Every computer, whatever its level, waits for the table's pace.
    standard.setPace(frame);
    expert.setPace(frame);
    game.hooks = &session;
    transport.setHandler(&session);
#ifdef MARVANTO_TEST_BUILD
    // Only the build the tests run: their waits are run out in seconds, not
    // the half minute a player gets. The program itself takes no option.
    if (const char* ms = std::getenv("MARVANTO_WAIT_MS")) {
        const int wait = std::atoi(ms);
        if (wait > 0) session.setWaits(SessionWaits{wait, wait});
    }
#endif
    // Every game is kept as it is played, from the actions the dispatcher applies.
    RecordWriter records(defaultRecordFolder(), "marvanto " MARVANTO_VERSION,
                         [&computerChoice] { return std::string(computerLevelName(computerChoice.level())); });
    game.afterAction = [&records, &game](const GameAction& action) { records.onAction(game, action); };
    session.setResultRecorder([&highScores, &settings, &records, &computerChoice](const GameState& finished) {
        records.onGameEnd(finished);
        recordGameResult(highScores, finished, settings, computerLevelName(computerChoice.level()));
    });
    frame->setTransport(&transport);
    frame->attach({&session, &names, &highScores, &settings, &computerChoice, &expert, &records});
    transport.openListener(NET_LISTEN_PORT);

    frame->show(PLACEMENT_SCREEN);
    app.addTimeout(frame, Frame::ID_SETUP_TIMER, 0);
    return app.run();
}
