// The time from a click on a tray icon to its menu on the screen, as the X server sees it: the
// button is pressed and released with XTest, and the clock stops at the MapNotify of the first
// top-level window of a menu's size that appears. The menu is closed with Escape between clicks.
//
// The icon is the window whose id CLICK_ICON_WINDOW gives (bench/click/run finds it in the tray);
// each repetition is one click, so the benchmark's median is the median click.
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Tool tips and the like are smaller than any menu.
constexpr int kSmallestMenuWidth = 40;
constexpr int kSmallestMenuHeight = 20;
constexpr auto kPatience = std::chrono::seconds(10);
constexpr xcb_keycode_t kEscapeKeycode = 9; // the evdev and Xvfb keymaps agree on Escape

struct Connection {
    Connection() : c(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c))
            throw std::runtime_error("no X display");
        root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    ~Connection() { xcb_disconnect(c); }
    xcb_connection_t* c;
    xcb_window_t root;
};

struct Point {
    int16_t x;
    int16_t y;
};

Point centreOf(Connection& x, xcb_window_t window) {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr), &std::free);
    std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> origin(
        xcb_translate_coordinates_reply(x.c, xcb_translate_coordinates(x.c, window, x.root, 0, 0),
                                        nullptr),
        &std::free);
    if (!geometry || !origin)
        throw std::runtime_error("the icon window is gone");
    return {int16_t(origin->dst_x + geometry->width / 2),
            int16_t(origin->dst_y + geometry->height / 2)};
}

bool isMenuSized(Connection& x, xcb_window_t window) {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr), &std::free);
    return geometry && geometry->width >= kSmallestMenuWidth &&
           geometry->height >= kSmallestMenuHeight;
}

// Waits for a top-level window of `type` (XCB_MAP_NOTIFY or XCB_UNMAP_NOTIFY), menu-sized when
// mapped or `window` when unmapped; none when the patience runs out first.
std::optional<xcb_window_t> waitFor(Connection& x, uint8_t type, xcb_window_t window = 0,
                                    Clock::duration patience = kPatience) {
    const auto deadline = Clock::now() + patience;
    while (Clock::now() < deadline) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(x.c),
                                                                         &std::free);
        if (!event) {
            if (xcb_connection_has_error(x.c))
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            continue;
        }
        const uint8_t kind = event->response_type & 0x7f;
        if (kind == XCB_MAP_NOTIFY && type == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
            if (isMenuSized(x, map->window))
                return map->window;
        } else if (kind == XCB_UNMAP_NOTIFY && type == XCB_UNMAP_NOTIFY) {
            const auto* unmap = reinterpret_cast<xcb_unmap_notify_event_t*>(event.get());
            if (unmap->window == window)
                return window;
        }
    }
    return std::nullopt;
}

void fake(Connection& x, uint8_t type, uint8_t detail, Point at = {0, 0}) {
    xcb_test_fake_input(x.c, type, detail, XCB_CURRENT_TIME, XCB_NONE, at.x, at.y, 0);
}

void BM_ClickToMenu(benchmark::State& state) {
    const char* icon = std::getenv("CLICK_ICON_WINDOW");
    if (!icon) {
        state.SkipWithError("CLICK_ICON_WINDOW is not set");
        return;
    }
    Connection x;
    const Point at = centreOf(x, xcb_window_t(std::stoul(icon, nullptr, 0)));
    fake(x, XCB_MOTION_NOTIFY, 0, at);
    xcb_flush(x.c);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (auto _ : state) {
        // Whatever the last close left behind is not this click's.
        while (auto* stale = xcb_poll_for_event(x.c))
            std::free(stale);
        const auto pressed = Clock::now();
        fake(x, XCB_BUTTON_PRESS, 1);
        fake(x, XCB_BUTTON_RELEASE, 1);
        xcb_flush(x.c);
        const auto menu = waitFor(x, XCB_MAP_NOTIFY);
        const auto shown = Clock::now();
        if (!menu) {
            state.SkipWithError("no menu appeared within 10 s of the click");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - pressed).count());
        // The menu grabs the keyboard only once it is mapped: an Escape sent before that goes
        // elsewhere, so it is sent again until the menu closes.
        bool closed = false;
        for (int attempt = 0; attempt < 10 && !closed; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            fake(x, XCB_KEY_PRESS, kEscapeKeycode);
            fake(x, XCB_KEY_RELEASE, kEscapeKeycode);
            xcb_flush(x.c);
            closed =
                waitFor(x, XCB_UNMAP_NOTIFY, *menu, std::chrono::milliseconds(500)).has_value();
        }
        if (!closed) {
            state.SkipWithError("the menu did not close on Escape");
            return;
        }
        // Clicks as far apart as a person's; the tray host also takes a double click for one.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    if (const char* label = std::getenv("CLICK_LABEL"))
        state.SetLabel(label);
}

BENCHMARK(BM_ClickToMenu)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
