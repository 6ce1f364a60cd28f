#include "platform/local/network/HttpFetch.h"

#include "platform/local/media/LargestImage.h"

#include <curl/curl.h>
#include <memory>

namespace {

// A server that does not accept the connection by then is down or filtered; a reachable one
// accepts within a fraction of a second, even across the world.
constexpr long kConnectTimeoutMs = 3000;
// The whole transfer, redirects included: the user waits on the menu command for it, so a
// server that hangs or trickles is given up after this however it behaves.
constexpr long kTransferTimeoutMs = 6000;
// The only protocols spoken, asked for and redirected to: a page's redirect must not reach a
// local file, an FTP server or any other of libcurl's protocols.
constexpr char kProtocols[] = "http,https";
// Sent as the User-Agent: some sites refuse requests that name no client.
constexpr char kUserAgent[] = "Velmora";

struct EasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;

// libcurl's global state is set up once for the process, by whichever thread fetches first.
bool LibcurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// Where the body goes as it arrives, already decoded from any Content-Encoding, so that the cap
// holds for what is kept whatever the server compressed.
struct Body {
    QByteArray bytes;
    qint64 maxBytes = 0;
    bool beyondCap = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* context) {
    auto* body = static_cast<Body*>(context);
    const qint64 arrived = qint64(size * count);
    const qint64 room = body->maxBytes - body->bytes.size();
    if (arrived > room) {
        // Keeping what fits and answering a short count stops the transfer with a write error.
        body->bytes.append(data, room);
        body->beyondCap = true;
        return size_t(room);
    }
    body->bytes.append(data, arrived);
    return size_t(arrived);
}

bool IsHttp(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool SetOptions(CURL* handle, const QByteArray& address, Body* body, BeyondCap beyond) {
    bool set = true;
    const auto option = [&](CURLoption name, auto value) {
        set = set && curl_easy_setopt(handle, name, value) == CURLE_OK;
    };
    option(CURLOPT_URL, address.constData());
    option(CURLOPT_PROTOCOLS_STR, kProtocols);
    option(CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
    option(CURLOPT_FOLLOWLOCATION, 1L);
    option(CURLOPT_MAXREDIRS, kMaxRedirects);
    option(CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    option(CURLOPT_TIMEOUT_MS, kTransferTimeoutMs);
    // Time-outs by SIGALRM would interrupt whatever the GUI thread is doing; without signals
    // the name lookup is bounded by libcurl's threaded resolver instead.
    option(CURLOPT_NOSIGNAL, 1L);
    option(CURLOPT_FAILONERROR, 1L);
    // Every encoding this libcurl decodes is offered.
    option(CURLOPT_ACCEPT_ENCODING, "");
    option(CURLOPT_USERAGENT, kUserAgent);
    option(CURLOPT_WRITEFUNCTION, WriteBody);
    option(CURLOPT_WRITEDATA, body);
    // A stated length beyond the cap refuses the body before any of it arrives; when cutting,
    // the start of such a body is still wanted. The length stated is that of the body as sent:
    // compressed, it is less than what it decodes to, except by a few bytes of framing when
    // compression could not shrink it.
    if (beyond == BeyondCap::Fail)
        option(CURLOPT_MAXFILESIZE_LARGE, curl_off_t(body->maxBytes));
    return set;
}

} // namespace

std::optional<QByteArray> FetchURL(const QUrl& url, qint64 maxBytes, BeyondCap beyond) {
    if (maxBytes <= 0 || !IsHttp(url) || !LibcurlReady())
        return std::nullopt;
    const EasyHandle handle(curl_easy_init());
    if (!handle)
        return std::nullopt;
    Body body;
    body.maxBytes = maxBytes;
    if (!SetOptions(handle.get(), url.toEncoded(), &body, beyond))
        return std::nullopt;
    const CURLcode result = curl_easy_perform(handle.get());
    const bool complete = result == CURLE_OK && !body.beyondCap;
    const bool cut = result == CURLE_WRITE_ERROR && body.beyondCap && beyond == BeyondCap::Cut;
    if (!(complete || cut) || body.bytes.isEmpty())
        return std::nullopt;
    return std::move(body.bytes);
}

std::optional<QImage> ImageWithContentsOfURL(const QUrl& url) {
    const auto bytes = FetchURL(url, kMaxIconBytes, BeyondCap::Fail);
    if (!bytes)
        return std::nullopt;
    return LargestImageInData(*bytes);
}
