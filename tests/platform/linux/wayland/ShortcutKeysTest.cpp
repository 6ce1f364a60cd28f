// The copy and paste keys are found in the user's keymap by their symbols, wherever the layout
// puts them, and a keymap without them types nothing.
#include "platform/linux/wayland/VirtualKeyboard.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <memory>
#include <xkbcommon/xkbcommon.h>

namespace {

using platform::linuxdesk::wayland::FindShortcutKeys;

// A keymap as a compositor sends it, made from the system's layouts.
QByteArray keymapText(const char* layout, const char* variant = "") {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{
        .rules = "evdev", .model = "pc105", .layout = layout, .variant = variant, .options = ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    QByteArray text;
    if (char* string =
            keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr) {
        text = string;
        std::free(string);
    }
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return text;
}

TEST(ShortcutKeysTest, AreFoundByTheirSymbolsInTheUsersLayout) {
    const auto qwerty = FindShortcutKeys(keymapText("us"));
    ASSERT_TRUE(qwerty);
    EXPECT_EQ(qwerty->control, unsigned(KEY_LEFTCTRL));
    EXPECT_EQ(qwerty->c, unsigned(KEY_C));
    EXPECT_EQ(qwerty->v, unsigned(KEY_V));
    EXPECT_EQ(qwerty->layout, 0u);
    EXPECT_NE(qwerty->controlMask, 0u);

    const auto dvorak = FindShortcutKeys(keymapText("us", "dvorak"));
    ASSERT_TRUE(dvorak);
    EXPECT_EQ(dvorak->c, unsigned(KEY_I));
    EXPECT_EQ(dvorak->v, unsigned(KEY_DOT));

    // A second layout holds the Latin letters the first lacks.
    const auto russianFirst = FindShortcutKeys(keymapText("ru,us"));
    ASSERT_TRUE(russianFirst);
    EXPECT_EQ(russianFirst->layout, 1u);
    EXPECT_EQ(russianFirst->c, unsigned(KEY_C));
}

TEST(ShortcutKeysTest, AKeymapWithoutThemOrNoKeymapGivesNone) {
    EXPECT_FALSE(FindShortcutKeys(keymapText("ru")));
    EXPECT_FALSE(FindShortcutKeys(QByteArray()));
    EXPECT_FALSE(FindShortcutKeys(QByteArray("xkb_keymap { this is not one")));
    QByteArray truncated = keymapText("us");
    truncated.truncate(truncated.size() / 2);
    EXPECT_FALSE(FindShortcutKeys(truncated));
}

} // namespace
