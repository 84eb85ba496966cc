#include "qt_window_placement.h"

#include "window_layout.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace pelmora {

namespace {

QPoint Pixels(TwipPoint twips) {
    return {PixelsFromTwips(twips.x, kLogicalDpi), PixelsFromTwips(twips.y, kLogicalDpi)};
}

bool PlatformPlacesWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace

void QtWindowPlacement::CentreOnPrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !PlatformPlacesWindows()) return;
    const QRect area = screen->availableGeometry();
    const QSize size = window_.frameGeometry().size();
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
