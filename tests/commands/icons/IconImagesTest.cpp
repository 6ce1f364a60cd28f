// Pictures of icons written into a chosen folder: nothing there replaced, the picture its own
// icon, an icon family file drawn from what it holds, and the folder opened once at the end.
#include "commands/icons/IconImages.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WorldAlerts.h"
#include "tests/support/WorldSelection.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

namespace events = platform::world::events;

// An icon family holding one 512-pixel PNG of a single colour.
QByteArray IconFamily(QColor colour) {
    QImage image(512, 512, QImage::Format_ARGB32);
    image.fill(colour);
    const QByteArray png = fixtures::PngBytes(image);
    const auto be32 = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    const QByteArray element = "ic09" + be32(quint32(8 + png.size())) + png;
    return "icns" + be32(quint32(8 + element.size())) + element;
}

class IconImagesTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    void chooseFolder(const QString& name) {
        QDir().mkpath(path(name));
        m_world.chooseFolderAnswers = {path(name)};
    }
    QStringList entries(const QString& folder) const {
        return QDir(path(folder)).entryList(QDir::Files, QDir::Name);
    }
    QStringList alertMessages() const { return fixtures::AlertMessages(m_world); }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

// Two selected items of one name, whose picture name is taken: each gets a duplicate of its own.
TEST_F(IconImagesTest, EachItemOfATakenNameGetsItsOwnDuplicate) {
    ASSERT_TRUE(fixtures::WriteText(path("report.pdf"), "%PDF-1.4"));
    QDir().mkpath(path("other"));
    ASSERT_TRUE(fixtures::WriteText(path("other/report.pdf"), "%PDF-1.4"));
    chooseFolder("out");
    ASSERT_TRUE(fixtures::WriteText(path("out/report.pdf.png"), "mine"));
    fixtures::SelectInWorld(m_world, {"report.pdf", "other/report.pdf"});

    CreateImagesOfIconsOfSelection();

    EXPECT_TRUE(alertMessages().isEmpty());
    const QStringList made = entries("out");
    ASSERT_EQ(made.size(), 3);
    const QRegularExpression duplicate(QStringLiteral(
        "^report\\.pdf - [0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png$"));
    for (const QString& name : made) {
        if (name == QLatin1String("report.pdf.png"))
            continue;
        EXPECT_TRUE(duplicate.match(name).hasMatch()) << name.toStdString();
    }
    EXPECT_EQ(m_world.eventsOf<events::Open>().size(), 1u);
}

TEST_F(IconImagesTest, AnIconFamilyFileIsDrawnFromTheIconsItHolds) {
    QFile icns(path("Site.ICNS"));
    ASSERT_TRUE(icns.open(QIODevice::WriteOnly));
    icns.write(IconFamily(Qt::blue));
    icns.close();
    chooseFolder("out");
    fixtures::SelectInWorld(m_world, {"Site.ICNS"});
    CreateImagesOfIconsOfSelection();
    const QImage image(path("out/Site.ICNS.png"));
    ASSERT_EQ(image.size(), QSize(512, 512));
    EXPECT_EQ(image.pixelColor(10, 500), QColor(Qt::blue));

    // One that holds no icon has no picture: its empty file still arrives.
    ASSERT_TRUE(fixtures::WriteText(path("empty.icns"), "icns"));
    fixtures::SelectInWorld(m_world, {"empty.icns"});
    m_world.chooseFolderAnswers = {path("out")};
    CreateImagesOfIconsOfSelection();
    EXPECT_EQ(alertMessages(), QStringList{"Icon2Image: An error occurred loading the icon data."});
    EXPECT_EQ(QFileInfo(path("out/empty.icns.png")).size(), 0);
}

TEST_F(IconImagesTest, CancelledOrFailingCopiesLeaveTheFolderClosed) {
    ASSERT_TRUE(fixtures::WriteText(path("a.txt"), "x"));
    const QString longName = QString(252, u'n');
    ASSERT_TRUE(fixtures::WriteText(path(longName), "x"));
    fixtures::SelectInWorld(m_world, {"a.txt"});
    CreateImagesOfIconsOfSelection(); // no folder chosen: cancelled
    EXPECT_TRUE(m_world.eventsOf<events::Alert>().empty());

    // A name that cannot take ".png" fails both file-creation alerts and is skipped.
    chooseFolder("out");
    fixtures::SelectInWorld(m_world, {longName});
    CreateImagesOfIconsOfSelection();
    EXPECT_EQ(alertMessages(), (QStringList{"The output file could not be created.",
                                            "The temporary output file could not be made."}));
    EXPECT_TRUE(m_world.eventsOf<events::Open>().empty());

    // Its picture is made, but a copy under a duplicate name would be longer than a name can
    // be, so it cannot reach a folder that holds one of its own name already.
    const QString named = QString(240, u'm');
    ASSERT_TRUE(fixtures::WriteText(path(named), "x"));
    chooseFolder("taken");
    ASSERT_TRUE(fixtures::WriteText(path("taken/" + named + QStringLiteral(".png")), "kept"));
    fixtures::SelectInWorld(m_world, {named, named});
    CreateImagesOfIconsOfSelection();
    EXPECT_EQ(alertMessages().count(QStringLiteral(
                  "The image output file could not be moved to the destination folder.")),
              2);
    EXPECT_TRUE(m_world.eventsOf<events::Open>().empty());
    EXPECT_EQ(QDir(path("taken")).entryList(QDir::Files), QStringList{named + ".png"});
}

} // namespace
