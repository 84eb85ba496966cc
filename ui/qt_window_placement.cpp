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
#include <limits>
#include <string>
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

// A property of an X window as 32-bit values, the whole of it; none where
// it is missing.
std::vector<std::uint32_t> Property(xcb_connection_t* x, xcb_window_t window, const char* name, xcb_atom_t type) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, Atom(x, name), type, 0, std::numeric_limits<std::uint32_t>::max() / 4),
        nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

// Whether a window manager runs on the screen of `root`: it holds the
// screen's WM_Sn selection, and names a window of its own that names itself.
bool ManagerRuns(xcb_connection_t* x, xcb_window_t root) {
    int screen = 0;
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(x)); roots.rem && roots.data->root != root;
         xcb_screen_next(&roots)) {
        ++screen;
    }
    const std::string selection = "WM_S" + std::to_string(screen);
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, Atom(x, selection.c_str())), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    if (!owned) return false;
    const auto manager = Property(x, root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    return manager.size() == 1 && Property(x, manager[0], "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW) == manager;
}

// The frame an X window manager will draw around the window once it is
// shown, asked beforehand (_NET_REQUEST_FRAME_EXTENTS): before that the
// window has no frame. In device-independent pixels, as the window's size;
// the manager answers in the screen's. Nothing where no window manager runs
// that answers such a request, or where it does not answer in time.
std::optional<QMargins> FrameToBeAdded(QWidget& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* x = x11 && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
    if (!x) return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr);
    const xcb_window_t root = tree ? tree->root : XCB_NONE;
    std::free(tree);
    if (!ManagerRuns(x, root)) return std::nullopt;
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
    const qreal scale = window.devicePixelRatioF();
    auto independent = [scale](std::uint32_t pixels) { return qRound(pixels / scale); };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    do {
        // Left, right, top, bottom.
        const auto extents = Property(x, id, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
        if (extents.size() == 4) {
            return QMargins(independent(extents[0]), independent(extents[2]), independent(extents[1]),
                            independent(extents[3]));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

}  // namespace

void QtWindowPlacement::CentreOnPrimaryScreen() {
    // The frame as the platform tells it before the window is shown; an X
    // window manager is asked for its own later, and only if the window is
    // still to stand here.
    const QWindow* native = window_.windowHandle();
    CentreBy(native ? native->frameMargins() : QMargins());
}

void QtWindowPlacement::BeforeShown() {
    if (!centredAt_) return;
    if (const std::optional<QMargins> frame = FrameToBeAdded(window_)) CentreBy(*frame);
}

void QtWindowPlacement::Moved() {
    const QWindow* native = window_.windowHandle();
    if (!centredAt_ || !native || !window_.isVisible()) return;
    // Until the manager draws a frame there is none to judge by. Some say
    // beforehand that they draw none, then draw one (mutter's separate
    // frames client): the window is centred once more, by the frame it has.
    const QMargins frame = native->frameMargins();
    if (frame.isNull()) return;
    const bool stillThere = window_.frameGeometry().topLeft() == *centredAt_;
    centredAt_.reset();
    if (stillThere && frame != centredBy_) MoveFrameTo(CentredCorner(frame));
}

void QtWindowPlacement::CentreBy(const QMargins& frame) {
    if (!QGuiApplication::primaryScreen() || !PlatformPlacesWindows()) return;
    // Known before the move, which may tell of itself at once.
    centredAt_ = CentredCorner(frame);
    centredBy_ = frame;
    MoveFrameTo(*centredAt_);
}

QPoint QtWindowPlacement::CentredCorner(const QMargins& frame) const {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = window_.size().grownBy(frame);
    return area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
}

std::optional<TwipPoint> QtWindowPlacement::TopLeft() const {
    // A Wayland client is never told where its window stands.
    if (!PlatformPlacesWindows()) return std::nullopt;
    const QPoint position = window_.pos();
    return TwipPoint{TwipsFromPixels(position.x(), kLogicalDpi), TwipsFromPixels(position.y(), kLogicalDpi)};
}

void QtWindowPlacement::MoveTo(TwipPoint topLeft) {
    centredAt_.reset();
    MoveFrameTo(Pixels(topLeft));
}

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
