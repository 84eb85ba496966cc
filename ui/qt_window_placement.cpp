#include "qt_window_placement.h"

#include "window_layout.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace pelmora {

namespace {

QPoint Pixels(TwipPoint twips) {
    return {PixelsFromTwips(twips.x, kLogicalDpi), PixelsFromTwips(twips.y, kLogicalDpi)};
}

bool PlatformPlacesWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// An X atom by name; none where no client has named it yet.
xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 1, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// A property of an X window as 32-bit values; none where it is missing.
std::vector<std::uint32_t> Property(xcb_connection_t* x, xcb_window_t window, const char* name, xcb_atom_t type) {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(x, xcb_get_property(x, 0, window, Atom(x, name), type, 0, 64), nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

// The frame an X window manager will draw around the window once it is
// shown, asked beforehand (_NET_REQUEST_FRAME_EXTENTS): before that the
// window has no frame. Nothing where no window manager runs that answers
// such a request, or where it does not answer within a quarter second.
std::optional<QMargins> FrameToBeAdded(QWidget& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* x = x11 && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
    if (!x) return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr);
    const xcb_window_t root = tree ? tree->root : XCB_NONE;
    std::free(tree);
    // A manager that runs names its own window, which names itself.
    const auto manager = Property(x, root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    if (manager.size() != 1 || Property(x, manager[0], "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW) != manager) {
        return std::nullopt;
    }
    const xcb_atom_t asked = Atom(x, "_NET_REQUEST_FRAME_EXTENTS");
    const auto supported = Property(x, root, "_NET_SUPPORTED", XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), asked) == supported.end()) return std::nullopt;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = asked;
    xcb_send_event(x, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    for (int wait = 0; wait < 50; ++wait) {
        // Left, right, top, bottom.
        const auto extents = Property(x, id, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
        if (extents.size() == 4) {
            return QMargins(static_cast<int>(extents[0]), static_cast<int>(extents[2]), static_cast<int>(extents[1]),
                            static_cast<int>(extents[3]));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
}

}  // namespace

void QtWindowPlacement::CentreOnPrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !PlatformPlacesWindows()) return;
    const QRect area = screen->availableGeometry();
    // The frame as it will be drawn: where the platform draws it before the
    // window is shown, the frame it tells; under an X window manager, the
    // one the manager says it will add.
    const QWindow* native = window_.windowHandle();
    const QMargins frame = FrameToBeAdded(window_).value_or(native ? native->frameMargins() : QMargins());
    const QSize size = window_.size().grownBy(frame);
    MoveFrameTo(area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2));
}

std::optional<TwipPoint> QtWindowPlacement::TopLeft() const {
    // A Wayland client is never told where its window stands.
    if (!PlatformPlacesWindows()) return std::nullopt;
    const QPoint position = window_.pos();
    return TwipPoint{TwipsFromPixels(position.x(), kLogicalDpi), TwipsFromPixels(position.y(), kLogicalDpi)};
}

void QtWindowPlacement::MoveTo(TwipPoint topLeft) { MoveFrameTo(Pixels(topLeft)); }

void QtWindowPlacement::MoveFrameTo(QPoint topLeft) {
    if (!PlatformPlacesWindows()) return;
    // The corner is the frame's, as TopLeft() reads it. The window manager
    // is told so (north-west gravity) and puts the frame there when it adds
    // it, whatever its size; a plain move of a window that exists would put
    // the client area there and the frame above it.
    window_.move(topLeft);
    if (QWindow* native = window_.windowHandle()) native->setFramePosition(topLeft);
}

bool QtWindowPlacement::TitleBarOnAScreen(TwipPoint topLeft) const {
    const QPoint titleBarMiddle = Pixels(topLeft) + QPoint(window_.frameGeometry().width() / 2, 8);
    return QGuiApplication::screenAt(titleBarMiddle) != nullptr;
}

}  // namespace pelmora
