#include "scripts/ScriptRunner.h"

#include "common/ClipboardText.h"
#include "platform/script/ScriptInterpreter.h"
#include "platform/world/World.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ScriptRunnerTest : public ::testing::Test {
protected:
    ScriptRunnerTest() : m_installed(m_world.services()) {
        m_world.resourceFolder = m_resources.path();
        QDir().mkpath(m_resources.path() + QStringLiteral("/scripts"));
    }

    void resource(const QString& name, const QByteArray& text) {
        QFile file(m_resources.path() + QStringLiteral("/scripts/") + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    std::vector<platform::world::events::Log> logs() const {
        return m_world.eventsOf<platform::world::events::Log>();
    }
    std::vector<platform::world::events::Sound> sounds() const {
        return m_world.eventsOf<platform::world::events::Sound>();
    }

    QTemporaryDir m_resources;
    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
};

TEST_F(ScriptRunnerTest, ComponentPathGivesStatusesAndDisplayText) {
    EXPECT_EQ(RunCFStringScript(QStringLiteral("open the pod bay doors")), errOSASyntaxError);
    EXPECT_EQ(RunCFStringScriptAndReturn(QStringLiteral("return \"abc\"")),
              QStringLiteral("\"abc\""));
    // A script with no result has no display text.
    EXPECT_EQ(RunCFStringScriptAndReturn(QStringLiteral("tell application \"System Events\"\n"
                                                        "set visible of every process whose "
                                                        "frontmost is false to false\nend tell")),
              std::nullopt);
}

TEST_F(ScriptRunnerTest, ScriptObjectsLogFailuresAndCanFillTheClipboard) {
    EXPECT_EQ(RunScript2(QStringLiteral("return \"title\""), true), QStringLiteral("title"));
    EXPECT_EQ(ClipboardText(true), QStringLiteral("title"));
    EXPECT_EQ(RunScript2(QStringLiteral("return \"other\""), false), QStringLiteral("other"));
    EXPECT_EQ(ClipboardText(true), QStringLiteral("title"));

    EXPECT_EQ(RunCFStringScript2(QStringLiteral("return missing"), true), std::nullopt);
    ASSERT_EQ(logs().size(), 1u);
    EXPECT_EQ(logs()[0].line, QStringLiteral("RunCFStringScript error = The variable missing "
                                             "is not defined."));
    // A list has no string value: none, and nothing logged.
    EXPECT_EQ(RunScript2(QStringLiteral("return {1, 2}"), true), std::nullopt);
    EXPECT_EQ(logs().size(), 1u);

    // A clipboard another program holds on to: no result, so that nothing older gets pasted.
    m_world.clipboard.heldByOther = true;
    EXPECT_EQ(RunScript2(QStringLiteral("return \"refused\""), true), std::nullopt);
    ASSERT_EQ(logs().size(), 2u);
    EXPECT_EQ(logs()[1].line,
              QStringLiteral("RunCFStringScript error = The clipboard did not take the result."));
}

// Every script resource is read as the UTF-8 it is written in, as the mail template is; bytes
// that are no UTF-8 make no script at all.
TEST_F(ScriptRunnerTest, ResourcesAreUtf8AndTheTargetIsReplacedInAnyCase) {
    resource(QStringLiteral("Latin.applescript"), "return \"caf\x8e\"");
    EXPECT_EQ(RunScriptResource(QStringLiteral("Latin.applescript"), std::nullopt, QString()),
              std::nullopt);
    resource(QStringLiteral("Name.applescript"), "return \"X and x and caf\xc3\xa9\"");
    EXPECT_EQ(RunScriptResource(QStringLiteral("Name.applescript"), QStringLiteral("X"),
                                QStringLiteral("why")),
              QStringLiteral("why and why and caf\u00e9"));
    EXPECT_EQ(RunScriptResource2(QStringLiteral("Name.applescript"), std::nullopt, QString()),
              QStringLiteral("X and x and caf\u00e9"));
    EXPECT_EQ(
        RunScriptResource2(QStringLiteral("Name.applescript"), QString(), QStringLiteral("!")),
        QStringLiteral("X and x and caf\u00e9"));
    EXPECT_EQ(RunScriptResource(QStringLiteral("Missing.applescript"), std::nullopt, QString()),
              std::nullopt);
}

TEST_F(ScriptRunnerTest, FlagsSwitchTheFirstFalseTurnLineBreaksIntoCommasAndPing) {
    resource(QStringLiteral("Switch.applescript"),
             "set reversed to false\nset other to false\nreturn {reversed, other}");
    resource(QStringLiteral("Which.applescript"),
             "set reversed to false -- the switch\nset other to false\nreturn reversed");
    EXPECT_EQ(RunScriptResource(QStringLiteral("Which.applescript"), true, false, false, true),
              QStringLiteral("true"));
    EXPECT_EQ(RunScriptResource(QStringLiteral("Which.applescript"), false, false, false, true),
              QStringLiteral("false"));
    resource(QStringLiteral("Second.applescript"), "set a to false\nset b to false\nreturn b");
    EXPECT_EQ(RunScriptResource(QStringLiteral("Second.applescript"), true, false, false, true),
              QStringLiteral("false"));
    EXPECT_TRUE(sounds().empty());

    resource(QStringLiteral("Lines.applescript"), "return \"a\\r\\nb\\rc\\nd\"");
    EXPECT_EQ(RunScriptResource(QStringLiteral("Lines.applescript"), false, true, true, false),
              QStringLiteral("a,b,c,d"));
    EXPECT_EQ(ClipboardText(true), QStringLiteral("a,b,c,d"));
    ASSERT_EQ(sounds().size(), 1u);
    EXPECT_EQ(sounds()[0].name, QStringLiteral("Ping"));

    // No string, no sound; a missing resource neither.
    EXPECT_EQ(RunScriptResource(QStringLiteral("Switch.applescript"), true, false, false, false),
              std::nullopt);
    EXPECT_EQ(RunScriptResource(QStringLiteral("Missing.applescript"), true, false, false, false),
              std::nullopt);
    EXPECT_EQ(sounds().size(), 1u);
}

} // namespace
