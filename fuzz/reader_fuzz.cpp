// Arbitrary byte streams, cut into pieces at arbitrary points, through the
// real reader and dispatch into a live game. The first input byte chooses
// the cuts, the session mode and whether pauses nest; the rest is the stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "fuzz/fuzz_game.h"
#include "net/transport.h"

namespace {

class NoWatcher : public SocketWatcher {
public:
    void watchSocket(int, int) override {}
    void unwatchSocket(int) override {}
    void watchConnect(int, int) override {}
    void unwatchConnect(int) override {}
    void startTransportTimer(int) override {}
};

bool readable(int socket)
{
    pollfd p{socket, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

// Reads until the transport has taken everything the socket holds.
void deliver(Transport& transport, int socket, int slot, FuzzGame& fuzz)
{
    while (transport.isOpen(slot) && readable(socket)) {
        transport.onSocketReadable(slot);
        fuzz.loopback.deliverAll(fuzz.game);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return 0;
    fcntl(ends[1], F_SETFL, O_NONBLOCK);

    FuzzGame fuzz;
    fuzz.game.sessionMode = (data[0] & 0x80) ? MODE_JOINED : MODE_LOCAL;
    NoWatcher watcher;
    Transport transport(watcher, fuzz.game);
    ActionApplier handler(fuzz.game);
    transport.setHandler(&handler);
    const int slot = transport.allocConnection(ends[0]);
    // Pauses may deliver what is waiting, nested, as in the program; without
    // it the seed games play out as their generator modelled them.
    if (data[0] & 0x40) fuzz.table.pump = [&] { deliver(transport, ends[0], slot, fuzz); };

    uint32_t cut = data[0] | 1u;
    for (size_t at = 1; at < size;) {
        cut = cut * 1103515245u + 12345u;
        const size_t piece = std::min<size_t>(size - at, 1 + (cut >> 16) % 64);
        if (::send(ends[1], data + at, piece, MSG_NOSIGNAL) <= 0) break;
        at += piece;
        deliver(transport, ends[0], slot, fuzz);
    }
    ::close(ends[1]);
    deliver(transport, ends[0], slot, fuzz);
    return 0;
}
