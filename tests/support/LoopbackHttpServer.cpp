#include "tests/support/LoopbackHttpServer.h"

#include <QList>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace fixtures {

namespace {

// A request's head is a line and a few headers; anything longer is not from the client tested.
constexpr qsizetype kMaxRequestBytes = 64 * 1024;
// A client that connects and sends nothing is dropped after this, so the next one is served.
constexpr int kRequestTimeoutMs = 5000;
constexpr int kDripIntervalMs = 100;
constexpr int kDripStatedLength = 1024 * 1024;

enum class Wait { Ready, Timeout, Closed, Stop };

// Waits for `events` on the client, for the client to go, or for the stop pipe.
Wait WaitFor(int client, short events, int stop, int timeoutMs) {
    for (;;) {
        pollfd fds[2] = {{client, events, 0}, {stop, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || fds[1].revents != 0)
            return Wait::Stop;
        if (ready == 0)
            return Wait::Timeout;
        if (fds[0].revents & events)
            return Wait::Ready;
        return Wait::Closed;
    }
}

bool SendAll(int client, int stop, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (WaitFor(client, POLLOUT, stop, -1) != Wait::Ready)
            return false;
        const ssize_t n = ::send(client, bytes.constData() + sent, size_t(bytes.size() - sent),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// The path of the request's first line, without its query; none when no whole head arrives.
std::optional<QByteArray> ReadRequestPath(int client, int stop) {
    QByteArray head;
    while (!head.contains("\r\n\r\n")) {
        if (head.size() > kMaxRequestBytes ||
            WaitFor(client, POLLIN, stop, kRequestTimeoutMs) != Wait::Ready)
            return std::nullopt;
        char buffer[4096];
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return std::nullopt;
        head.append(buffer, n);
    }
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    if (words.size() != 3)
        return std::nullopt;
    const qsizetype query = words[1].indexOf('?');
    return query < 0 ? words[1] : words[1].left(query);
}

QByteArray Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

QByteArray Head(int status, const QList<QByteArray>& headers) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n";
    for (const QByteArray& header : headers)
        head += header + "\r\n";
    return head + "Connection: close\r\n\r\n";
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    const auto fail = [this](const char* what) {
        const int error = errno;
        for (int fd : {m_listener, m_stop[0], m_stop[1]})
            if (fd >= 0)
                ::close(fd);
        throw std::system_error(error, std::generic_category(), what);
    };
    if (::pipe2(m_stop, O_CLOEXEC) != 0)
        fail("pipe2");
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        fail("listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    const char stop = 's';
    while (::write(m_stop[1], &stop, 1) < 0 && errno == EINTR) {
    }
    m_thread.join();
    ::close(m_listener);
    ::close(m_stop[0]);
    ::close(m_stop[1]);
}

void LoopbackHttpServer::route(const QByteArray& path, Response response) {
    const std::lock_guard lock(m_mutex);
    m_routes[path] = Route{Kind::Fixed, std::move(response), {}};
}

void LoopbackHttpServer::redirect(const QByteArray& path, const QByteArray& location) {
    const std::lock_guard lock(m_mutex);
    m_routes[path] = Route{Kind::Fixed, Response{302, "text/plain", "moved"}, location};
}

void LoopbackHttpServer::hang(const QByteArray& path) {
    const std::lock_guard lock(m_mutex);
    m_routes[path] = Route{Kind::Hang, {}, {}};
}

void LoopbackHttpServer::endless(const QByteArray& path) {
    const std::lock_guard lock(m_mutex);
    m_routes[path] = Route{Kind::Endless, {}, {}};
}

void LoopbackHttpServer::drip(const QByteArray& path) {
    const std::lock_guard lock(m_mutex);
    m_routes[path] = Route{Kind::Drip, {}, {}};
}

QUrl LoopbackHttpServer::url(const QByteArray& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port) + QString::fromLatin1(path));
}

LoopbackHttpServer::Route LoopbackHttpServer::routeFor(const QByteArray& path) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_routes.find(path);
    if (found == m_routes.end())
        return Route{Kind::Fixed, Response{404, "text/plain", "not found"}, {}};
    return found->second;
}

void LoopbackHttpServer::serve() {
    std::vector<std::thread> connections;
    for (;;) {
        if (WaitFor(m_listener, POLLIN, m_stop[0], -1) != Wait::Ready)
            break;
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        ++m_connections;
        // Each connection on a thread of its own, as a real server answers clients that fetch
        // several addresses at once; each one ends when the server is stopped.
        const int open = ++m_open;
        for (int peak = m_peak; open > peak && !m_peak.compare_exchange_weak(peak, open);) {
        }
        connections.emplace_back([this, client] {
            answer(client);
            ::close(client);
            --m_open;
        });
    }
    for (std::thread& connection : connections)
        connection.join();
}

void LoopbackHttpServer::answer(int client) {
    const int stop = m_stop[0];
    const auto path = ReadRequestPath(client, stop);
    if (!path)
        return;
    const Route route = routeFor(*path);
    switch (route.kind) {
    case Kind::Fixed: {
        const Response& response = route.response;
        QList<QByteArray> headers{"Content-Length: " + QByteArray::number(response.body.size())};
        if (!response.contentType.isEmpty())
            headers << "Content-Type: " + response.contentType;
        if (!response.contentEncoding.isEmpty())
            headers << "Content-Encoding: " + response.contentEncoding;
        if (!route.location.isEmpty())
            headers << "Location: " + route.location;
        SendAll(client, stop, Head(response.status, headers) + response.body);
        return;
    }
    case Kind::Hang: {
        // Whatever else arrives is read and dropped until the client gives up and closes.
        char buffer[4096];
        while (WaitFor(client, POLLIN, stop, -1) == Wait::Ready &&
               ::recv(client, buffer, sizeof buffer, 0) > 0) {
        }
        return;
    }
    case Kind::Endless: {
        if (!SendAll(client, stop, Head(200, {"Content-Type: text/html"})))
            return;
        const QByteArray chunk(16 * 1024, 'e');
        while (SendAll(client, stop, chunk)) {
        }
        return;
    }
    case Kind::Drip:
        if (!SendAll(client, stop,
                     Head(200, {"Content-Type: text/html",
                                "Content-Length: " + QByteArray::number(kDripStatedLength)})))
            return;
        for (int sent = 0; sent < kDripStatedLength &&
                           WaitFor(client, 0, stop, kDripIntervalMs) == Wait::Timeout &&
                           SendAll(client, stop, "d");
             ++sent) {
        }
        return;
    }
}

} // namespace fixtures
