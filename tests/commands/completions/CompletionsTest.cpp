// "List Completions" in a world with a word list, and the case rule of the word index.
#include "commands/completions/Completions.h"
#include "common/TextWindow.h"
#include "platform/local/text/WordIndex.h"
#include "platform/world/World.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

namespace events = platform::world::events;

class CompletionsTest : public ::testing::Test {
protected:
    // The application in front, with `text` selected, answering the copy keystroke after
    // `delay` or never.
    void select(const std::optional<QString>& text, std::chrono::milliseconds delay = {},
                bool answers = true) {
        m_world.frontApp = platform::world::FrontApplication{QStringLiteral("TextEdit"), QString(),
                                                             text, delay, answers};
        m_world.pendingCopy.reset();
    }
    void setClipboard(const QString& text) {
        m_world.clipboard.items = {{{{QStringLiteral("public.utf8-plain-text"), text.toUtf8()}}}};
        m_world.clipboard.modified = true;
    }
    std::vector<events::Window> windows() const { return m_world.eventsOf<events::Window>(); }
    std::vector<events::Alert> alerts() const { return m_world.eventsOf<events::Alert>(); }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
    TextWindow m_window;
};

// The copy keystroke runs first: what is selected in front is what gets completed.
TEST_F(CompletionsTest, NoSelectedTextIsTheAlert) {
    m_world.words = QStringList{"hello"};
    select(QString());
    ShowCompletions(m_window);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0].message, QStringLiteral("No completions were found for:"));
    EXPECT_EQ(alerts()[0].detail, QString());
    EXPECT_TRUE(windows().empty());
}

// An application that answers the copy keystroke too late or not at all is named as the cause,
// and what the clipboard held before is never completed in its place.
TEST_F(CompletionsTest, NoAnswerToTheCopyIsTheAlert) {
    m_world.words = QStringList{"hello", "world"};
    setClipboard(QStringLiteral("hel"));
    select("wor", kCopyAnswerLimit + std::chrono::milliseconds(3000));
    ShowCompletions(m_window);
    select("wor", {}, false);
    ShowCompletions(m_window);
    m_world.frontApp.reset();
    m_world.pendingCopy.reset();
    ShowCompletions(m_window);
    ASSERT_EQ(alerts().size(), 3u);
    for (const auto& alert : alerts())
        EXPECT_EQ(alert.message,
                  QStringLiteral("No text was copied from the application in front."));
    EXPECT_TRUE(windows().empty());
}

TEST(WordIndex, CaseIsHandledAsASpellCheckerCompletesAWord) {
    const WordIndex index(QByteArray("hello\nhelp\nHelen\nhello's\nHELLO\nhel\n  helm  \n\nworld\n"
                                     "\xc3\xa9t\xc3\xa9\n"));
    EXPECT_EQ(index.completions(QStringLiteral("hel")), QStringList({"hello", "helm", "help"}));
    EXPECT_EQ(index.completions(QStringLiteral("Hel")),
              QStringList({"Helen", "HELLO", "Hello", "Helm", "Help"}));
    EXPECT_EQ(index.completions(QStringLiteral("HEL")),
              QStringList({"HELEN", "HELLO", "HELM", "HELP"}));
    EXPECT_EQ(index.completions(QStringLiteral("\u00e9")), QStringList({"\u00e9t\u00e9"}));
    EXPECT_EQ(index.completions(QStringLiteral("\u00c9")), QStringList({"\u00c9t\u00e9"}));
    for (const QString& nothing : {QString(), QStringLiteral("hello"), QStringLiteral("he\nl"),
                                   QStringLiteral("\u4e16"), QStringLiteral("h").repeated(1 << 20)})
        EXPECT_TRUE(index.completions(nothing).isEmpty());
    EXPECT_TRUE(WordIndex(QByteArray()).isEmpty());
}

} // namespace
