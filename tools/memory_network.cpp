// A loopback network in memory for the session fuzz target and network
// self-play, put in place of the system's socket calls by defining them
// here: the program's own transport, session and engine run unchanged
// above it.
//
// On real sockets nine tenths of a fuzz run went to the kernel, a few
// hundred calls a run; here a call is a function call, and a run does not
// hang on the machine's load or its ports. It also keeps the fuzzer off
// the network: a seating from the input may name any address, and only a
// listener of this process ever answers.
//
// The model is what the program relies on from TCP and Unix stream sockets,
// and no more: bytes arrive whole and in order; a listener queues the
// connections made to its port; a closed end gives its peer the end of the
// stream once what was sent has been read, or a reset when it closed over
// unread bytes, and sends to it then fail; every call is non-blocking, since
// with one thread nothing could ever arrive while it waited. Descriptors of
// this network are numbered from FIRST_FD, far above any the system hands
// out, so the calls of the fuzzer's own files and threads pass through to
// the system without touching the table.
#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int FIRST_FD = 1 << 24;
// Room in a receiving end before sends find it full, as a socket buffer.
constexpr size_t ROOM = 1 << 20;
constexpr size_t BACKLOG = 16;
constexpr uint32_t LOOPBACK = 0x7F000001;

struct End {
    bool used = false;
    bool unixDomain = false;
    bool listening = false;
    int flags = O_RDWR;
    uint16_t port = 0;      // local port, once bound or connected
    uint16_t peerPort = 0;
    int peer = -1;          // index of the other end while it is open
    bool peerClosed = false;
    bool reset = false;     // the peer closed over bytes it had not read
    // Bytes sent here and not yet read: those from `read` on.
    std::vector<uint8_t> in;
    size_t read = 0;
    size_t waiting() const { return in.size() - read; }
    std::deque<int> pending;  // a listener's connections not yet accepted
};

std::vector<End>& ends()
{
    static std::vector<End> table;
    return table;
}

bool isFake(int fd) { return fd >= FIRST_FD && static_cast<size_t>(fd - FIRST_FD) < ends().size() && ends()[fd - FIRST_FD].used; }

End& endOf(int fd) { return ends()[static_cast<size_t>(fd - FIRST_FD)]; }

int newEnd(bool unixDomain)
{
    auto& table = ends();
    auto it = std::find_if(table.begin(), table.end(), [](const End& e) { return !e.used; });
    if (it == table.end()) it = table.insert(table.end(), End{});
    *it = End{};
    it->used = true;
    it->unixDomain = unixDomain;
    return FIRST_FD + static_cast<int>(it - table.begin());
}

bool portTaken(uint16_t port)
{
    return std::any_of(ends().begin(), ends().end(), [port](const End& e) { return e.used && e.port == port; });
}

// A port is refused to bind only while a listener holds it, as the program's
// listeners reuse addresses that ended connections still name.
bool listenedOn(uint16_t port)
{
    return std::any_of(ends().begin(), ends().end(),
                       [port](const End& e) { return e.used && e.listening && e.port == port; });
}

uint16_t freePort()
{
    static uint16_t next = 40000;
    for (;;) {
        next = next >= 60000 ? 40000 : next + 1;
        if (!portTaken(next)) return next;
    }
}

int fail(int error)
{
    errno = error;
    return -1;
}

void connectEnds(int a, int b)
{
    endOf(a).peer = b - FIRST_FD;
    endOf(b).peer = a - FIRST_FD;
}

End* peerOf(End& end) { return end.peer >= 0 ? &ends()[static_cast<size_t>(end.peer)] : nullptr; }

void closeEnd(int fd)
{
    End& end = endOf(fd);
    for (const int waiting : end.pending) closeEnd(waiting);
    if (End* peer = peerOf(end)) {
        peer->peer = -1;
        peer->peerClosed = true;
        peer->reset = !end.unixDomain && end.waiting() > 0;
    }
    end = End{};
}

template <typename F>
F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int socket(int domain, int type, int protocol)
{
    if (domain == AF_INET && (type & 0xF) == SOCK_STREAM) return newEnd(false);
    static const auto system = real<int (*)(int, int, int)>("socket");
    return system(domain, type, protocol);
}

int socketpair(int domain, int type, int protocol, int pair[2])
{
    if (domain != AF_UNIX || (type & 0xF) != SOCK_STREAM) {
        static const auto system = real<int (*)(int, int, int, int*)>("socketpair");
        return system(domain, type, protocol, pair);
    }
    pair[0] = newEnd(true);
    pair[1] = newEnd(true);
    connectEnds(pair[0], pair[1]);
    return 0;
}

int bind(int fd, const sockaddr* address, socklen_t size)
{
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, const sockaddr*, socklen_t)>("bind");
        return system(fd, address, size);
    }
    if (size < sizeof(sockaddr_in) || address->sa_family != AF_INET) return fail(EINVAL);
    uint16_t port = ntohs(reinterpret_cast<const sockaddr_in*>(address)->sin_port);
    if (port == 0) port = freePort();
    if (listenedOn(port)) return fail(EADDRINUSE);
    endOf(fd).port = port;
    return 0;
}

int listen(int fd, int backlog)
{
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, int)>("listen");
        return system(fd, backlog);
    }
    End& end = endOf(fd);
    if (end.port == 0) end.port = freePort();
    end.listening = true;
    return 0;
}

int connect(int fd, const sockaddr* address, socklen_t size)
{
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, const sockaddr*, socklen_t)>("connect");
        return system(fd, address, size);
    }
    if (size < sizeof(sockaddr_in) || address->sa_family != AF_INET) return fail(EAFNOSUPPORT);
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    const uint16_t port = ntohs(in->sin_port);
    const uint32_t host = ntohl(in->sin_addr.s_addr);
    if (host != LOOPBACK) return fail(ENETUNREACH);
    auto& table = ends();
    const auto listener = std::find_if(table.begin(), table.end(),
                                       [port](const End& e) { return e.used && e.listening && e.port == port; });
    if (listener == table.end() || listener->pending.size() >= BACKLOG) return fail(ECONNREFUSED);
    const int listenerIndex = static_cast<int>(listener - table.begin());
    // New ends may move the table: the listener is found again by index.
    const int accepted = newEnd(false);
    End& client = endOf(fd);
    client.port = freePort();
    client.peerPort = port;
    End& server = endOf(accepted);
    server.port = port;
    server.peerPort = client.port;
    connectEnds(fd, accepted);
    table[static_cast<size_t>(listenerIndex)].pending.push_back(accepted);
    return 0;
}

int accept(int fd, sockaddr* address, socklen_t* size)
{
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, sockaddr*, socklen_t*)>("accept");
        return system(fd, address, size);
    }
    End& end = endOf(fd);
    if (!end.listening) return fail(EINVAL);
    if (end.pending.empty()) return fail(EAGAIN);
    const int accepted = end.pending.front();
    end.pending.pop_front();
    if (address && size) {
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(LOOPBACK);
        from.sin_port = htons(endOf(accepted).peerPort);
        std::memcpy(address, &from, std::min<size_t>(*size, sizeof from));
        *size = sizeof from;
    }
    return accepted;
}

static int nameOf(int fd, sockaddr* address, socklen_t* size, bool peer)
{
    const End& end = endOf(fd);
    if (peer && end.peer < 0) return fail(ENOTCONN);
    sockaddr_in name{};
    if (end.unixDomain) {
        name.sin_family = AF_UNIX;
    } else {
        name.sin_family = AF_INET;
        name.sin_addr.s_addr = htonl(LOOPBACK);
        name.sin_port = htons(peer ? end.peerPort : end.port);
    }
    std::memcpy(address, &name, std::min<size_t>(*size, sizeof name));
    *size = sizeof name;
    return 0;
}

int getsockname(int fd, sockaddr* address, socklen_t* size)
{
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, sockaddr*, socklen_t*)>("getsockname");
        return system(fd, address, size);
    }
    return nameOf(fd, address, size, false);
}

int getpeername(int fd, sockaddr* address, socklen_t* size)
{
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, sockaddr*, socklen_t*)>("getpeername");
        return system(fd, address, size);
    }
    return nameOf(fd, address, size, true);
}

int setsockopt(int fd, int level, int name, const void* value, socklen_t size)
{
    if (isFake(fd)) return 0;
    static const auto system = real<int (*)(int, int, int, const void*, socklen_t)>("setsockopt");
    return system(fd, level, name, value, size);
}

int getsockopt(int fd, int level, int name, void* value, socklen_t* size)
{
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, int, int, void*, socklen_t*)>("getsockopt");
        return system(fd, level, name, value, size);
    }
    // A connect here succeeds or fails at once: none ever ends in an error.
    if (level != SOL_SOCKET || name != SO_ERROR || !value || !size || *size < sizeof(int)) return fail(ENOPROTOOPT);
    *static_cast<int*>(value) = 0;
    *size = sizeof(int);
    return 0;
}

int fcntl(int fd, int command, ...)
{
    va_list args;
    va_start(args, command);
    const long argument = va_arg(args, long);
    va_end(args);
    if (!isFake(fd)) {
        static const auto system = real<int (*)(int, int, ...)>("fcntl");
        return system(fd, command, argument);
    }
    End& end = endOf(fd);
    if (command == F_GETFL) return end.flags;
    if (command == F_SETFL) end.flags = static_cast<int>(argument);
    return 0;
}

ssize_t send(int fd, const void* data, size_t length, int flags)
{
    if (!isFake(fd)) {
        static const auto system = real<ssize_t (*)(int, const void*, size_t, int)>("send");
        return system(fd, data, length, flags);
    }
    End& end = endOf(fd);
    End* peer = peerOf(end);
    if (!peer) return fail(end.reset ? ECONNRESET : EPIPE);
    if (peer->waiting() >= ROOM) return fail(EAGAIN);
    const size_t n = std::min(length, ROOM - peer->waiting());
    const auto* bytes = static_cast<const uint8_t*>(data);
    peer->in.insert(peer->in.end(), bytes, bytes + n);
    return static_cast<ssize_t>(n);
}

ssize_t recv(int fd, void* buffer, size_t length, int flags)
{
    if (!isFake(fd)) {
        static const auto system = real<ssize_t (*)(int, void*, size_t, int)>("recv");
        return system(fd, buffer, length, flags);
    }
    End& end = endOf(fd);
    if (end.waiting() > 0) {
        const size_t n = std::min(length, end.waiting());
        std::memcpy(buffer, end.in.data() + end.read, n);
        end.read += n;
        if (end.read == end.in.size()) {
            end.in.clear();
            end.read = 0;
        }
        return static_cast<ssize_t>(n);
    }
    if (end.reset) return fail(ECONNRESET);
    if (end.peerClosed) return 0;
    return fail(EAGAIN);
}

int poll(pollfd* fds, nfds_t count, int timeout)
{
    int ready = 0;
    bool anyReal = false;
    for (nfds_t i = 0; i < count; ++i) {
        pollfd& p = fds[i];
        p.revents = 0;
        if (!isFake(p.fd)) {
            anyReal = anyReal || p.fd >= 0;
            continue;
        }
        const End& end = endOf(p.fd);
        if (end.listening) {
            if (!end.pending.empty()) p.revents |= POLLIN & p.events;
        } else {
            if (end.waiting() > 0 || end.peerClosed) p.revents |= POLLIN & p.events;
            if (end.reset) p.revents |= POLLERR;
            if (end.peerClosed && end.unixDomain) p.revents |= POLLHUP;
            const End* peer = end.peer >= 0 ? &ends()[static_cast<size_t>(end.peer)] : nullptr;
            if (!peer || peer->waiting() < ROOM) p.revents |= POLLOUT & p.events;
        }
        ready += p.revents != 0;
    }
    if (anyReal) {
        // Only the fuzzer's own descriptors: asked once, without waiting
        // when this network has something to report.
        static const auto system = real<int (*)(pollfd*, nfds_t, int)>("poll");
        std::vector<pollfd> others;
        for (nfds_t i = 0; i < count; ++i)
            if (!isFake(fds[i].fd)) others.push_back(fds[i]);
        const int more = system(others.data(), others.size(), ready > 0 ? 0 : timeout);
        size_t k = 0;
        for (nfds_t i = 0; i < count; ++i)
            if (!isFake(fds[i].fd)) fds[i].revents = others[k++].revents;
        if (more > 0) ready += more;
    }
    return ready;
}

int close(int fd)
{
    if (fd >= FIRST_FD) {
        if (!isFake(fd)) return fail(EBADF);
        closeEnd(fd);
        return 0;
    }
    static const auto system = real<int (*)(int)>("close");
    return system(fd);
}

}  // extern "C"
