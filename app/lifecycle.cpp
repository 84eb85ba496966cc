#include "lifecycle.h"

#include "main_window.h"
#include "number_text.h"
#include "settings_store.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace pelmora {

namespace {

constexpr QLatin1String kApplication("Orvane");
constexpr QLatin1String kSection("Dravon");
constexpr QLatin1String kWindowX("Window X");
constexpr QLatin1String kWindowY("Window Y");
constexpr QLatin1String kCurrentMode("Current mode");

// Where a new window stands when no position is stored: centred on the primary screen.
QPoint DefaultPosition(const QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return window.pos();
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    return area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
}

// A window whose title bar is on no screen (a monitor since removed) could
// not be reached by the user.
bool TitleBarOnAScreen(const QWidget& window, QPoint topLeft) {
    const QPoint titleBarMiddle = topLeft + QPoint(window.frameGeometry().width() / 2, 8);
    return QGuiApplication::screenAt(titleBarMiddle) != nullptr;
}

bool PlatformPlacesWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

QString Stored(SettingsStore& store, const QString& key, const QString& fallback = QString()) {
    return store.GetSetting(kApplication, kSection, key, fallback);
}

}  // namespace

void StartUp(CheckerState& state, QWidget& window, SettingsStore& store) {
    state.ModeCaptions[kModeVat] = kVatCaption;
    state.ModeCaptions[kModeCard] = kCardCaption;

    // An edge of 0 or less is not restored; the two edges are judged separately.
    const std::int32_t x = ReadPositionText(Stored(store, kWindowX).toStdString());
    const std::int32_t y = ReadPositionText(Stored(store, kWindowY).toStdString());
    const QPoint fallback = DefaultPosition(window);
    QPoint position = fallback;
    if (x > 0) position.setX(x / kTwipsPerPixel);
    if (y > 0) position.setY(y / kTwipsPerPixel);
    if (PlatformPlacesWindows()) window.move(TitleBarOnAScreen(window, position) ? position : fallback);

    state.CurrentMode = ReadModeText(Stored(store, kCurrentMode, QStringLiteral("1")).toStdString());
    state.SetMode(state.CurrentMode);
}

void SaveOnShutDown(const CheckerState& state, const QWidget& window, SettingsStore& store) {
    const QPoint position = window.pos();
    auto save = [&store](const QString& key, double value) {
        store.SaveSetting(kApplication, kSection, key, QString::fromStdString(FormatNumberText(value)));
    };
    save(kCurrentMode, state.CurrentMode);
    save(kWindowX, static_cast<double>(position.x()) * kTwipsPerPixel);
    save(kWindowY, static_cast<double>(position.y()) * kTwipsPerPixel);
    // A store that cannot be written is not reported: the program ends regardless.
    store.Sync();
}

}  // namespace pelmora
