// SPDX-License-Identifier: GPL-3.0-or-later

// A stand-in for a running companion program: one top-level window with a given title.
//
//   companionwindow TITLE [--iconic] [--framed] [--wm-name-only]
//
// --iconic leaves it unmapped in WM_STATE Iconic, as a minimised window is when no window
// manager runs; --framed puts it into a frame window as reparenting managers do;
// --wm-name-only sets just the old Latin-1 WM_NAME. Prints "ready 0x<window>" once the
// server has it all, then runs until killed.

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

xcb_atom_t atom(xcb_connection_t *c, std::string_view name) {
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.data()), nullptr);
    const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return result;
}

// Two-byte sequences are all a Latin-1 title can hold.
std::string latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[++i]);
            out += static_cast<char>(((byte & 0x03) << 6) | (next & 0x3F));
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

void setText(xcb_connection_t *c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type,
             const std::string &text) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, name, type, 8, text.size(), text.data());
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TITLE [--iconic] [--framed] [--wm-name-only]\n", argv[0]);
        return 2;
    }
    const std::string title = argv[1];
    bool iconic = false;
    bool framed = false;
    bool wmNameOnly = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view option = argv[i];
        iconic |= option == "--iconic";
        framed |= option == "--framed";
        wmNameOnly |= option == "--wm-name-only";
    }

    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_screen_t *screen = screens.data;

    xcb_window_t parent = screen->root;
    if (framed) {
        const xcb_window_t frame = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, frame, screen->root, 10, 10, 220, 140, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(c, frame);
        parent = frame;
    }
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 200, 120, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);

    setText(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, latin1(title));
    if (!wmNameOnly)
        setText(c, window, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), title);

    if (iconic) {
        constexpr std::uint32_t stateHint = 2;
        constexpr std::uint32_t iconicState = 3;
        const std::array<std::uint32_t, 9> hints{stateHint, 0, iconicState};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS,
                            32, hints.size(), hints.data());
        const xcb_atom_t wmState = atom(c, "WM_STATE");
        const std::array<std::uint32_t, 2> state{iconicState, XCB_NONE};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, wmState, wmState, 32, state.size(),
                            state.data());
    } else {
        xcb_map_window(c, window);
    }

    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::printf("ready 0x%x\n", window);
    std::fflush(stdout);

    while (xcb_generic_event_t *event = xcb_wait_for_event(c))
        std::free(event);
    xcb_disconnect(c);
    return 0;
}
