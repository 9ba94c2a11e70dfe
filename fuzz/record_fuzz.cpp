// Arbitrary text through the game record reader and the replay: whatever
// the file holds, reading it ends in a record or an error naming a line of
// it, never in a crash. What reads back is written again token by token as
// it was read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "records/game_record.h"
#include "records/record_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    RecordError error;
    const auto record = parseGameRecord(text, error);
    if (!record) {
        if (error.line < 0 || error.what.empty()) std::abort();
        return 0;
    }
    for (const RecordedAction& a : record->actions) {
        const auto again = parseActionToken(actionToken(a.action));
        if (!again || again->action != a.action.action || again->card != a.action.card) std::abort();
    }
    for (const RecordedHint& hint : record->hints) {
        std::string token;
        appendHintToken(token, hint.seat);
        RecordError hintError;
        const auto again = parseGameRecord(token + "\n", hintError);
        if (hint.before > record->actions.size() || !again || again->hints.size() != 1 || again->hints[0].seat != hint.seat)
            std::abort();
    }
    for (const auto& [name, value] : record->tags) {
        RecordError tagError;
        const auto tag = parseGameRecord(tagLine(name, value) + "\n", tagError);
        if (!tag || tag->tag(name) != value) std::abort();
    }
    bool ended = false;
    if (!checkRecord(*record, error, &ended) && (error.line < 0 || error.what.empty())) std::abort();
    return 0;
}
