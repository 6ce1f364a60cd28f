// A pointer for a wlroots compositor that has none (the headless backend): a virtual pointer
// device on the compositor's seat, driven by commands read from standard input, one a line.
//
//   virtual-pointer WIDTH HEIGHT     WIDTH x HEIGHT: the size of the compositor's layout
//     move X Y                       the pointer to X,Y of the layout
//     click [left|middle|right]      a press and a release (left when none is named)
//
// Each command is answered "ok" on standard output once the compositor has handled it. The
// device lives as long as the program: the seat loses its pointer when the last one goes, and a
// client's open menu with it.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t /*version*/) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void globalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {global, globalRemoved};

uint32_t now() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool buttonNamed(const std::string& name, uint32_t& button) {
    if (name.empty() || name == "left") {
        button = BTN_LEFT;
    } else if (name == "middle") {
        button = BTN_MIDDLE;
    } else if (name == "right") {
        button = BTN_RIGHT;
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: virtual-pointer WIDTH HEIGHT (commands on standard input)\n";
        return 2;
    }
    const auto width = static_cast<uint32_t>(std::stoul(argv[1]));
    const auto height = static_cast<uint32_t>(std::stoul(argv[2]));

    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::cerr << "virtual-pointer: no Wayland display\n";
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    if (globals.manager == nullptr) {
        std::cerr << "virtual-pointer: the compositor offers no zwlr_virtual_pointer_manager_v1\n";
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    if (wl_display_roundtrip(display) < 0) {
        std::cerr << "virtual-pointer: the compositor refused the pointer\n";
        return 1;
    }

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "move") {
            uint32_t x = 0, y = 0;
            if (!(words >> x >> y) || x > width || y > height) {
                std::cerr << "virtual-pointer: bad position: " << line << '\n';
                return 2;
            }
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), x, y, width, height);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (command == "click") {
            std::string name;
            words >> name;
            uint32_t button = 0;
            if (!buttonNamed(name, button)) {
                std::cerr << "virtual-pointer: no button " << name << '\n';
                return 2;
            }
            zwlr_virtual_pointer_v1_button(pointer, now(), button, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, now(), button,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (!command.empty()) {
            std::cerr << "virtual-pointer: unknown command: " << line << '\n';
            return 2;
        }
        if (wl_display_roundtrip(display) < 0) {
            std::cerr << "virtual-pointer: the compositor closed the connection\n";
            return 1;
        }
        std::cout << "ok" << std::endl;
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_disconnect(display);
    return 0;
}
