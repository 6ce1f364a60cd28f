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

TEST_F(CompletionsTest, OneCompletionALineUnderThePartialWord) {
    m_world.words = QStringList{"hello", "help", "helm", "world", "Helen"};
    setClipboard(QStringLiteral("hel"));
    ShowCompletions(m_window);
    ASSERT_EQ(windows().size(), 1u);
    EXPECT_EQ(windows()[0].title, QStringLiteral("Completions for: hel"));
    EXPECT_EQ(windows()[0].text, QStringLiteral("hello\nhelm\nhelp"));
    EXPECT_EQ(m_world.eventsOf<events::Keystroke>().size(), 1u);

    // The next run replaces the text and the title; several words are one partial word.
    setClipboard(QStringLiteral("hello wor"));
    ShowCompletions(m_window);
    ASSERT_EQ(windows().size(), 2u);
    EXPECT_EQ(windows()[1].title, QStringLiteral("Completions for: hello wor"));
    EXPECT_EQ(windows()[1].text,
              QStringLiteral("The set of completions for \"hello wor\" is empty."));
    EXPECT_EQ(m_window.text(), windows()[1].text);
    EXPECT_TRUE(alerts().empty());
}

// The copy keystroke runs first: what is selected in front is what gets completed.
TEST_F(CompletionsTest, NoTextOrNoWordListIsTheAlert) {
    m_world.words = QStringList{"hello"};
    m_world.clipboard.items.clear();
    ShowCompletions(m_window);
    m_world.words.reset();
    setClipboard(QStringLiteral("hel"));
    ShowCompletions(m_window);
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_EQ(alerts()[0].message, QStringLiteral("No completions were found for:"));
    EXPECT_EQ(alerts()[0].detail, QString());
    EXPECT_EQ(alerts()[1].detail, QStringLiteral("hel"));
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
