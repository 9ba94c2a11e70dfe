// Frame costs of the table under a real X server (run it under Xvfb, on a
// screen that holds the large table): BM_DrawTable draws a full table into
// the off-screen image and forces the paint; BM_BlitTable only copies the
// finished image to the window, the floor under every frame. Each iteration
// waits for the server to finish. The argument is the table's size in
// halves (2 small, 3 medium, 4 large).
#include <benchmark/benchmark.h>

#include <fx.h>

#include "engine/game_state.h"
#include "ui/frame.h"

namespace {

FXApp* application = nullptr;
Frame* frame = nullptr;

Card* takeTop(GameState& game)
{
    Card* card = game.deck;
    game.deck = removeCard(game.deck, card);
    return card;
}

// Four hands of six, a trick of four and the turned card.
void layOutTable(GameState& game)
{
    initGame(game);
    configureTable(game, 4);
    const char* names[4] = {"Zed", "Papa Chunks", "Horse", "Lulu"};
    for (int s = 0; s < 4; ++s) {
        setSeatName(game.seats[s], names[s]);
        game.seats[s].kind = s == 0 ? LOCAL_HUMAN : COMPUTER;
        for (int i = 0; i < 6; ++i) game.seats[s].hand = insertSorted(takeTop(game), game.seats[s].hand);
    }
    for (int s : {0, 3, 1, 2}) {
        Card* card = takeTop(game);
        card->holder = s;
        card->next = game.trick;
        game.trick = card;
    }
    game.kicked = takeTop(game);
    game.dealer = 2;
    game.turn = 0;
}

// The window at the benchmark's size, settled on the screen.
void useScale(const benchmark::State& state)
{
    const auto scale = static_cast<CardScale>(state.range(0));
    if (frame->cardScale() == scale && frame->getWidth() == tableSize(scale).width) return;
    frame->setCardScale(scale);
    application->runWhileEvents();
    application->flush(true);
}

void BM_DrawTable(benchmark::State& state)
{
    useScale(state);
    for (auto _ : state) {
        frame->drawTable(true);
        application->flush(true);
    }
}
BENCHMARK(BM_DrawTable)->Unit(benchmark::kMicrosecond)->DenseRange(2, 4);

void BM_BlitTable(benchmark::State& state)
{
    useScale(state);
    frame->drawTable(true);
    FXEvent expose;
    expose.rect = FXRectangle(0, 0, frame->getWidth(), frame->getHeight());
    for (auto _ : state) {
        frame->table().handle(&frame->table(), FXSEL(SEL_PAINT, 0), &expose);
        application->flush(true);
    }
}
BENCHMARK(BM_BlitTable)->Unit(benchmark::kMicrosecond)->DenseRange(2, 4);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    GameState game;
    FXApp app("marvanto-bench", "zok");
    app.init(argc, argv);
    application = &app;
    layOutTable(game);
    frame = new Frame(&app, &game, CardScale::SMALL);
    app.create();
    frame->show(PLACEMENT_SCREEN);
    app.runWhileEvents();
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
