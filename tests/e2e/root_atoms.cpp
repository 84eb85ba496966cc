// Sets a property of the root window to a list of atoms, as a window
// manager sets _NET_SUPPORTED: xprop sets one atom at most.
// Usage: root_atoms PROPERTY NAME...
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace

int main(int argc, char** argv) {
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (argc < 2 || xcb_connection_has_error(x)) return 2;
    std::vector<xcb_atom_t> atoms;
    for (int i = 2; i < argc; ++i) atoms.push_back(Atom(x, argv[i]));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const xcb_void_cookie_t set = xcb_change_property_checked(x, XCB_PROP_MODE_REPLACE, root, Atom(x, argv[1]),
                                                              XCB_ATOM_ATOM, 32, atoms.size(), atoms.data());
    xcb_generic_error_t* error = xcb_request_check(x, set);
    const bool failed = error != nullptr;
    std::free(error);
    xcb_disconnect(x);
    return failed ? 1 : 0;
}
