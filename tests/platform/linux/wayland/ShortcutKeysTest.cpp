// The copy and paste keys are found in the user's keymap by their symbols, wherever the layout
// puts them, and a keymap without them types nothing.
#include "platform/linux/wayland/SeatKeyboard.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon.h>

namespace {

using platform::linuxdesk::wayland::FindShortcutKeys;

// A keymap as a compositor sends it, made from the system's layouts.
QByteArray keymapText(const char* layout, const char* variant = "") {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{.rules = "evdev",
                               .model = "pc105",
                               .layout = layout,
                               .variant = variant,
                               .options = nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const QByteArray copy(text);
    std::free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return copy;
}

TEST(ShortcutKeysTest, AreFoundByTheirSymbolsWhereverTheLayoutPutsThem) {
    const auto dvorak = FindShortcutKeys(keymapText("us", "dvorak"));
    ASSERT_TRUE(dvorak);
    EXPECT_EQ(dvorak->control, unsigned(KEY_LEFTCTRL));
    EXPECT_EQ(dvorak->c, unsigned(KEY_I));
    EXPECT_EQ(dvorak->v, unsigned(KEY_DOT));
    // A second layout holds the Latin letters the first lacks.
    const auto russianFirst = FindShortcutKeys(keymapText("ru,us"));
    ASSERT_TRUE(russianFirst);
    EXPECT_EQ(russianFirst->layout, 1u);
    EXPECT_EQ(russianFirst->c, unsigned(KEY_C));

    EXPECT_FALSE(FindShortcutKeys(keymapText("ru")));
    EXPECT_FALSE(FindShortcutKeys(keymapText("us").left(4000)));
    EXPECT_FALSE(FindShortcutKeys(QByteArray()));
}

} // namespace
