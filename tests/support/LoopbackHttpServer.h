// An HTTP/1.1 server on 127.0.0.1 for tests of HTTP clients: each path answers as the test
// sets it up, including the ways hostile or broken servers answer (never, forever, a byte at a
// time, in a circle of redirects).
//
// It listens on a port of the system's choosing and serves each connection on a thread of its
// own, closing each after its answer; the destructor stops them all at once, even in the middle
// of an answer that would never end.
#pragma once

#include <QByteArray>
#include <QUrl>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace fixtures {

class LoopbackHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        // Sent as Content-Encoding when not empty; the body is then sent as it is given.
        QByteArray contentEncoding = {};
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Paths not set up answer 404. A path is matched without its query.
    void route(const QByteArray& path, Response response);
    // A 302 whose Location is `location` as given: a path, or a whole address of any scheme.
    void redirect(const QByteArray& path, const QByteArray& location);
    // Reads the request and never answers.
    void hang(const QByteArray& path);
    // Sends a 200 without a length, then bytes until the client goes.
    void endless(const QByteArray& path);
    // Sends a 200 stating a length of 1 MiB, then one byte every 100 ms.
    void drip(const QByteArray& path);

    // http://127.0.0.1:port/path
    QUrl url(const QByteArray& path) const;
    int port() const { return m_port; }
    // How many connections were accepted so far.
    int connections() const { return m_connections; }
    // The most connections that were open at the same time.
    int peakConnections() const { return m_peak; }

private:
    enum class Kind { Fixed, Hang, Endless, Drip };
    struct Route {
        Kind kind = Kind::Fixed;
        Response response;
        QByteArray location;
    };

    void serve();
    void answer(int client);
    Route routeFor(const QByteArray& path);

    int m_listener = -1;
    int m_stop[2] = {-1, -1};
    int m_port = 0;
    std::atomic<int> m_connections = 0;
    std::atomic<int> m_open = 0;
    std::atomic<int> m_peak = 0;
    std::mutex m_mutex;
    std::map<QByteArray, Route> m_routes;
    std::thread m_thread;
};

} // namespace fixtures
