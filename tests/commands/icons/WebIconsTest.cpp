// Site icons for web location files against a server on the loopback interface: the link in
// the page's head or the site's /favicon.ico, and each refusal's alert, one per item.
#include "commands/icons/WebIcons.h"
#include "platform/local/files/CustomIconStore.h"
#include "platform/local/files/ResourceFork.h"
#include "platform/world/World.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WebLocationFixtures.h"
#include "tests/support/WorldAlerts.h"
#include "tests/support/WorldSelection.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>
#include <sys/xattr.h>

namespace {

namespace events = platform::world::events;
using Response = fixtures::LoopbackHttpServer::Response;

QByteArray Png(QColor colour) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    return fixtures::PngBytes(image);
}

Response Html(const QByteArray& head) {
    return {200, "text/html", "<html><head" + head + "</head><body>hi</body></html>"};
}

class WebIconsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    // A web location holding `address` in an AppleDouble file beside it, or in its attribute.
    void webloc(const QString& name, const QUrl& address, bool inAttribute = false) {
        ASSERT_TRUE(fixtures::WriteText(path(name), ""));
        const QByteArray fork = MakeResourceFork({{FOUR_CHAR_CODE("url "), address.toEncoded()}});
        if (inAttribute) {
            ASSERT_EQ(::setxattr(QFile::encodeName(path(name)).constData(),
                                 "user.com.apple.ResourceFork", fork.constData(),
                                 size_t(fork.size()), 0),
                      0);
            return;
        }
        ASSERT_TRUE(fixtures::WriteText(path("._" + name), MakeAppleDouble(fork)));
    }
    QColor iconColour(const QString& name) const {
        const auto file = CustomIconFile(path(name));
        return file ? QImage(*file).pixelColor(8, 8) : QColor();
    }
    QStringList alertMessages() const { return fixtures::AlertMessages(m_world); }

    fixtures::LoopbackHttpServer m_server;
    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(WebIconsTest, TheHeadsLinkInAnyCaseResolvedAgainstThePageElseTheSitesFavicon) {
    m_server.route("/", Html("><LINK REL=\"SHORTCUT ICON\" HREF=\"/img/site.ico\">"));
    m_server.route("/img/site.ico", {200, "image/x-icon", Png(Qt::red)});
    m_server.route("/dir/page.html", Html("><link rel=\"shortcut icon\" href=\"icons/x.ico\">"));
    m_server.route("/dir/icons/x.ico", {200, "image/png", Png(Qt::blue)});
    // Neither writes the link in the one form that is looked for.
    m_server.route("/other.html", Html("><link rel=\"icon\" href=\"/img/site.ico\">"
                                       "<link href=\"/img/site.ico\" rel=\"shortcut icon\">"));
    m_server.route("/favicon.ico", {200, "image/png", Png(Qt::green)});
    webloc("capitals.webloc", m_server.url("/"));
    webloc("relative.WEBLOC", m_server.url("/dir/page.html"), true);
    webloc("fallback.webloc", m_server.url("/other.html"));
    fixtures::SelectInWorld(m_world, {"capitals.webloc", "relative.WEBLOC", "fallback.webloc"});

    SetIconsFromWebLocationsOfSelection();

    EXPECT_TRUE(alertMessages().isEmpty()) << alertMessages().join(u'\n').toStdString();
    EXPECT_EQ(iconColour("capitals.webloc"), QColor(Qt::red));
    EXPECT_EQ(iconColour("relative.WEBLOC"), QColor(Qt::blue));
    EXPECT_EQ(iconColour("fallback.webloc"), QColor(Qt::green));
}

TEST_F(WebIconsTest, LocationsThatKeepTheirAddressInsideTakeTheirSitesIcon) {
    m_server.route("/", Html("><link rel=\"shortcut icon\" href=\"/site.ico\">"));
    m_server.route("/site.ico", {200, "image/png", Png(Qt::red)});
    const QByteArray site = m_server.url("/").toEncoded();
    const std::pair<const char*, QByteArray> files[] = {
        {"xml.webloc", fixtures::XmlWebloc(site)},
        {"binary.webloc", fixtures::BinaryWebloc(site)},
        {"windows.url", fixtures::InternetShortcut(site)},
        {"link.desktop", fixtures::DesktopLink(site)},
        {"script.url", fixtures::InternetShortcut("javascript:alert(1)")},
        {"app.desktop", "[Desktop Entry]\nType=Application\nExec=true\nURL=" + site + "\n"}};
    QStringList names;
    for (const auto& [name, content] : files) {
        names.append(QString::fromLatin1(name));
        ASSERT_TRUE(fixtures::WriteText(path(names.last()), content));
    }
    fixtures::SelectInWorld(m_world, names);

    SetIconsFromWebLocationsOfSelection();

    for (const char* name : {"xml.webloc", "binary.webloc", "windows.url", "link.desktop"})
        EXPECT_EQ(iconColour(QString::fromLatin1(name)), QColor(Qt::red)) << name;
    EXPECT_EQ(alertMessages(), (QStringList{"This web location could not be found.",
                                            "This is not a web location file."}));
}

TEST_F(WebIconsTest, EachItemEndsInTheAlertOfTheStepThatFailedAndNothingChanges) {
    m_server.route("/headless.html", {200, "text/html", "<html><body>no head</body></html>"});
    m_server.route("/favicon.ico", {200, "image/png", Png(Qt::green)});
    m_server.route("/broken.html", Html("><link rel=\"shortcut icon\" href=\"/not-a-picture\">"));
    m_server.route("/not-a-picture", {200, "image/png", "<html>404</html>"});
    webloc("missing.webloc", m_server.url("/missing"));
    webloc("headless.webloc", m_server.url("/headless.html"));
    webloc("broken.webloc", m_server.url("/broken.html"));
    fixtures::SelectInWorld(m_world, {"missing.webloc", "headless.webloc", "broken.webloc"});

    SetIconsFromWebLocationsOfSelection();

    EXPECT_EQ(alertMessages(), (QStringList{"The web page could not be downloaded.",
                                            "The web page header could not be found.",
                                            "The shortcut icon image could not be created."}));
    EXPECT_FALSE(CustomIconFile(path("headless.webloc")));
}

TEST_F(WebIconsTest, SlowSitesAreAskedAtTheSameTime) {
    m_server.hang("/slow");
    QStringList names;
    for (int i = 0; i < 5; ++i) {
        names.append(QStringLiteral("slow %1.webloc").arg(i));
        webloc(names.last(), m_server.url("/slow"));
    }
    fixtures::SelectInWorld(m_world, names);

    SetIconsFromWebLocationsOfSelection();

    EXPECT_EQ(alertMessages(),
              QStringList(5, QStringLiteral("The web page could not be downloaded.")));
    EXPECT_EQ(m_server.peakConnections(), 5) << "the sites were asked one after another";
}

TEST_F(WebIconsTest, ShortcutIconAddressNeedsAHostForTheFallback) {
    const QUrl secure(QStringLiteral("https://example.org:8443/a/b.html"));
    EXPECT_EQ(ShortcutIconAddress(QStringLiteral("<title>x</title>"), secure),
              QUrl(QStringLiteral("http://example.org/favicon.ico")));
    EXPECT_EQ(ShortcutIconAddress(
                  QStringLiteral("<link rel=\"shortcut icon\" href=\"//cdn.example.org/i.png\">"),
                  secure),
              QUrl(QStringLiteral("https://cdn.example.org/i.png")));
    EXPECT_FALSE(ShortcutIconAddress(QString(), QUrl(QStringLiteral("file:///home/a.html"))));
}

} // namespace
