#include "platform/local/network/HttpFetch.h"
#include "platform/local/media/LargestImage.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MediaFixtures.h"

#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using fixtures::LoopbackHttpServer;

// The whole-transfer time-out is 6 s; the rest is room for a loaded machine.
constexpr qint64 kGivenUpWithinMs = 8000;

const QByteArray kPage = "<html><head><link rel=\"shortcut icon\" href=\"/i.ico\"></head></html>";

QByteArray Png(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return fixtures::PngBytes(image);
}

// A genuine PNG of one-bit pixels: a few kilobytes however large the picture, which Qt's reader
// decodes when it fits its own allocation limit.
QByteArray MonoPng(int width, int height) {
    QImage image(width, height, QImage::Format_Mono);
    image.fill(0);
    return fixtures::PngBytes(image);
}

// An .ico of PNG entries, each listed in the directory with the sides given there.
QByteArray Ico(const QList<std::pair<QSize, QByteArray>>& entries) {
    QByteArray directory(6 + 16 * entries.size(), '\0');
    QByteArray images;
    auto* header = reinterpret_cast<uchar*>(directory.data());
    qToLittleEndian<quint16>(1, header + 2);
    qToLittleEndian<quint16>(quint16(entries.size()), header + 4);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        uchar* entry = header + 6 + 16 * i;
        entry[0] = uchar(entries[i].first.width());
        entry[1] = uchar(entries[i].first.height());
        qToLittleEndian<quint16>(1, entry + 4);
        qToLittleEndian<quint16>(32, entry + 6);
        qToLittleEndian<quint32>(quint32(entries[i].second.size()), entry + 8);
        qToLittleEndian<quint32>(quint32(directory.size() + images.size()), entry + 12);
        images += entries[i].second;
    }
    return directory + images;
}

class HttpFetchTest : public ::testing::Test {
protected:
    // A proxy named in the environment would carry these requests away from the loopback.
    static void SetUpTestSuite() { qputenv("no_proxy", "127.0.0.1"); }

    std::optional<QByteArray> page(const QByteArray& path, BeyondCap beyond = BeyondCap::Cut) {
        return FetchURL(server.url(path), kMaxPageBytes, beyond);
    }
    std::optional<QImage> icon(const QByteArray& path) {
        return ImageWithContentsOfURL(server.url(path));
    }
    qint64 millisecondsToFail(const QByteArray& path) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(page(path)) << path.constData();
        return timer.elapsed();
    }

    LoopbackHttpServer server;
};

TEST_F(HttpFetchTest, PageIsFetchedThroughRedirectsUpToTheirLimit) {
    server.route("/page.html", {200, "text/html", kPage});
    EXPECT_EQ(page("/page.html"), kPage);

    server.redirect("/moved", server.url("/relative").toEncoded());
    server.redirect("/relative", "/page.html");
    EXPECT_EQ(page("/moved?from=menu"), kPage);

    // /r0 -> /r1 -> ... -> /r5 -> the page: the last redirect from /r0 is one too many.
    for (int i = 0; i < kMaxRedirects; ++i)
        server.redirect("/r" + QByteArray::number(i), "/r" + QByteArray::number(i + 1));
    server.redirect("/r" + QByteArray::number(kMaxRedirects), "/page.html");
    EXPECT_EQ(page("/r1"), kPage);
    EXPECT_FALSE(page("/r0"));
}

TEST_F(HttpFetchTest, RedirectLoopsAndRedirectsAwayFromHttpFail) {
    server.redirect("/self", "/self");
    server.redirect("/ping", "/pong");
    server.redirect("/pong", "/ping");
    EXPECT_LT(millisecondsToFail("/self"), 2000);
    EXPECT_LT(millisecondsToFail("/ping"), 2000);

    QTemporaryFile secret;
    ASSERT_TRUE(secret.open() && secret.write("secret") == 6 && secret.flush());
    server.redirect("/file", QUrl::fromLocalFile(secret.fileName()).toEncoded());
    EXPECT_FALSE(page("/file"));
    server.redirect("/ftp", "ftp://127.0.0.1:" + QByteArray::number(server.port()) + "/page.html");
    const int before = server.connections();
    EXPECT_FALSE(page("/ftp"));
    EXPECT_EQ(server.connections(), before + 1);
}

TEST_F(HttpFetchTest, OnlyHttpAddressesWithAHostAreAskedAndOnlyTheirPagesTaken) {
    server.route("/page.html", {200, "text/html", kPage});
    QTemporaryFile local;
    ASSERT_TRUE(local.open() && local.write(kPage) == kPage.size() && local.flush());
    const QString port = QString::number(server.port());
    for (const QUrl& url :
         {QUrl::fromLocalFile(local.fileName()), QUrl("ftp://127.0.0.1:" + port + "/page.html"),
          QUrl("gopher://127.0.0.1:" + port + "/page.html"), QUrl("http:///page.html"),
          QUrl("/page.html"), QUrl()})
        EXPECT_FALSE(FetchURL(url, kMaxPageBytes, BeyondCap::Cut)) << url.toString().toStdString();
    EXPECT_EQ(server.connections(), 0);
    EXPECT_FALSE(FetchURL(server.url("/page.html"), 0, BeyondCap::Cut));

    // Nor is an error status or an empty body a page.
    server.route("/error", {500, "text/html", kPage});
    server.route("/empty", {200, "text/html", {}});
    EXPECT_FALSE(page("/missing"));
    EXPECT_FALSE(page("/error"));
    EXPECT_FALSE(page("/empty"));
    EXPECT_FALSE(icon("/missing"));
}

TEST_F(HttpFetchTest, ServersThatNeverFinishAreLeftWithinTheTransferBound) {
    server.hang("/hang");
    server.drip("/drip");
    EXPECT_LT(millisecondsToFail("/hang"), kGivenUpWithinMs);
    // Bytes keep arriving, so only the bound on the whole transfer ends this one.
    EXPECT_LT(millisecondsToFail("/drip"), kGivenUpWithinMs);
}

TEST_F(HttpFetchTest, BodiesBeyondTheCapAreCutThereOrRefused) {
    server.endless("/endless");
    const auto cut = page("/endless");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), kMaxPageBytes);
    EXPECT_FALSE(page("/endless", BeyondCap::Fail));

    // A length stated beyond the cap still gives the body's start when cutting.
    const QByteArray large(kMaxPageBytes + 1, 'l');
    server.route("/large", {200, "text/html", large});
    EXPECT_EQ(page("/large"), large.left(kMaxPageBytes));
    EXPECT_FALSE(page("/large", BeyondCap::Fail));
    EXPECT_EQ(FetchURL(server.url("/large"), large.size(), BeyondCap::Fail), large);

    // The cap counts decoded bytes: 16 MiB of zeros travel as some 16 KiB.
    const QByteArray zeros(4 * kMaxPageBytes, '\0');
    server.route("/bomb", {200, "text/html", qCompress(zeros).mid(4), "deflate"});
    EXPECT_EQ(page("/bomb"), zeros.left(kMaxPageBytes));
    EXPECT_FALSE(page("/bomb", BeyondCap::Fail));
}

TEST_F(HttpFetchTest, IconIsTheLargestPictureOfAnIcoThatIsWhatItClaims) {
    server.route("/two.ico",
                 {200, "image/x-icon",
                  Ico({{{16, 16}, Png(16, 16, Qt::red)}, {{48, 32}, Png(48, 32, Qt::blue)}})});
    const auto largest = icon("/two.ico");
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->size(), QSize(48, 32));
    EXPECT_EQ(largest->pixelColor(0, 0), QColor(Qt::blue));

    // The directory says 32 x 32; the PNG inside says, and holds, 20000 x 20000.
    server.route("/lying.ico",
                 {200, "image/x-icon",
                  Ico({{{32, 32}, MonoPng(20000, 20000)}, {{8, 8}, Png(8, 8, Qt::green)}})});
    const auto honest = icon("/lying.ico");
    ASSERT_TRUE(honest);
    EXPECT_EQ(honest->size(), QSize(8, 8));
}

TEST_F(HttpFetchTest, IconsThatAreTooLargeOrNoPicturesGiveNone) {
    server.route("/dot.png", {200, "text/plain", Png(1, 1, Qt::red)});
    const auto dot = icon("/dot.png");
    ASSERT_TRUE(dot);
    EXPECT_EQ(dot->size(), QSize(1, 1));
    EXPECT_EQ(dot->pixelColor(0, 0), QColor(Qt::red));

    server.route("/bound.png", {200, "image/png", MonoPng(kMaxDecodedSide, kMaxDecodedSide)});
    const auto bound = icon("/bound.png");
    ASSERT_TRUE(bound);
    EXPECT_EQ(bound->size(), QSize(kMaxDecodedSide, kMaxDecodedSide));
    // Qt's allocation limit lets this through; only our bound on a side refuses it.
    server.route("/wide.png", {200, "image/png", MonoPng(kMaxDecodedSide + 1, 1)});
    EXPECT_FALSE(icon("/wide.png"));
    server.route("/page.ico", {200, "image/x-icon", kPage});
    EXPECT_FALSE(icon("/page.ico"));
    server.route("/large.png", {200, "image/png", QByteArray(kMaxIconBytes + 1, 'p')});
    EXPECT_FALSE(icon("/large.png"));
}

} // namespace
