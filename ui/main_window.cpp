#include "main_window.h"

#include "about_box.h"
#include "identity.h"
#include "key_text.h"
#include "number_checks.h"
#include "qt_text.h"
#include "window_layout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>

#include <utility>
#include <vector>

namespace pelmora {

namespace {

QRect ToQRect(PixelRect pixels) { return {pixels.left, pixels.top, pixels.width, pixels.height}; }

// The window's face where it is installed, else a face of the same width.
QFont ControlFont() {
    QFont font;
    // Picking the first installed face here is much cheaper than letting the
    // font matcher try each missing one in turn.
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {kFontFace, "Microsoft Sans Serif", "Liberation Sans", "Arimo", "Arial", "Helvetica"}) {
        if (installed.contains(QLatin1String(family), ::Qt::CaseInsensitive)) {
            font.setFamily(QLatin1String(family));
            break;
        }
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kFontPoints);
    return font;
}

// The captions a label can show, with the label's width.
using CaptionWidths = std::vector<std::pair<QStringList, int>>;

// Whether every caption fits its label's width in `font`.
bool CaptionsFit(const QFont& font, const CaptionWidths& captionsPerWidth) {
    const QFontMetrics metrics(font);
    for (const auto& [captions, width] : captionsPerWidth) {
        for (const QString& caption : captions) {
            if (metrics.horizontalAdvance(caption) > width) return false;
        }
    }
    return true;
}

// The prompt and the verdict line are announcements: a screen reader speaks a
// notification when it is shown, which it does not do for a label's new text.
class Announcement : public QAccessibleWidget {
public:
    explicit Announcement(QLabel* label) : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text kind) const override {
        // An empty verdict line has an empty name, not a placeholder.
        if (kind == QAccessible::Name) return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* AnnouncementFactory(const QString&, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    if (!label) return nullptr;
    const QString name = label->objectName();
    return name == QLatin1String("Label1") || name == QLatin1String("Label2") ? new Announcement(label) : nullptr;
}

// Has a screen reader speak the label's text now, the same text again included.
void Announce(QLabel* label) {
    // A reader speaks the notification when its showing state turns on, so it
    // is turned off first: otherwise only the first one would be heard.
    QAccessibleEvent hidden(label, QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
    QAccessibleEvent shown(label, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    static const bool factoryInstalled = (QAccessible::installFactory(AnnouncementFactory), true);
    (void)factoryInstalled;
    setWindowTitle(ToQString(identity::kProductName));
    QIcon icon;
    // 16, 32 and 48 pixels and what they become at scales 1.25, 1.5 and 2,
    // each read now: an image Qt 6.8 reads only when first asked for takes
    // that request's scale, and is then taken for every size at that scale.
    for (int size : {16, 20, 24, 32, 40, 48, 60, 64, 72, 96}) {
        icon.addPixmap(QPixmap(QStringLiteral(":/icons/%1/pelmora.png").arg(size)));
    }
    setWindowIcon(icon);
    // Fixed size, no maximize button.
    setWindowFlags(::Qt::Window | ::Qt::CustomizeWindowHint | ::Qt::WindowTitleHint | ::Qt::WindowSystemMenuHint |
                   ::Qt::WindowMinimizeButtonHint | ::Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    // The native window, and with it the frame's size where the platform
    // knows it before the window is shown, exists before the window is placed.
    (void)winId();
    placement_.CentreOnPrimaryScreen();
    presenter_.Show();
}

void Form1::CreateControls() {
    const PixelLayout layout = LayoutAt(kLogicalDpi);
    const QRect prompt = ToQRect(layout.label1);
    const QRect result = ToQRect(layout.label2);
    // Set before any control exists: the whole program, its menus and message
    // boxes included, uses this one face, so no other font is loaded before
    // the window is shown, and no window falls back to another face.
    const QFont face = ControlFont();
    QApplication::setFont(face);
    setFont(face);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(layout.clientWidth, layout.clientHeight);

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(prompt);
    Label1->setAlignment(::Qt::AlignLeft | ::Qt::AlignVCenter);

    Text1 = new QLineEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(ToQRect(layout.text1));
    Text1->setMaxLength(kEntryLimit);
    Label1->setBuddy(Text1);

    Label2 = new QLabel(client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(result);
    Label2->setAlignment(::Qt::AlignCenter);

    // If the face is still too wide for a label, the size steps down until
    // every caption fits, so no text is ever clipped.
    const CaptionWidths captions = {
        {{ToQString(kVatCaption), ToQString(kCardCaption)}, prompt.width()},
        {{ToQString(kWrongNumberOfDigits), ToQString(kValidVatCode), ToQString(kValidCardNumber), ToQString(kNotValid)},
         result.width()},
    };
    QFont font = this->font();
    while (!CaptionsFit(font, captions) && font.pointSizeF() > 6.0) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        setFont(font);
    }
    setCentralWidget(client);
    Text1->setFocus();

    connect(Text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { presenter_.EntryEdited(text.toStdString()); });
    Text1->installEventFilter(this);
}

void Form1::CreateMenus() {
    auto choose = [this](Command command) { return [this, command] { presenter_.Choose(command); }; };
    FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileExit = FileMenu->addAction(QStringLiteral("E&xit"), this, choose(Command::Exit));
    FileExit->setObjectName(QStringLiteral("FileExit"));

    MenuMode = menuBar()->addMenu(QStringLiteral("&Mode"));
    MenuMode->setObjectName(QStringLiteral("MenuMode"));
    ModeVat = MenuMode->addAction(QStringLiteral("&VAT registration code"), this, choose(Command::ModeVat));
    ModeVat->setObjectName(QStringLiteral("ModeVat"));
    ModeVat->setShortcut(QKeySequence(::Qt::Key_F1));
    ModeCC = MenuMode->addAction(QStringLiteral("&Credit card numbers"), this, choose(Command::ModeCard));
    ModeCC->setObjectName(QStringLiteral("ModeCC"));
    ModeCC->setShortcut(QKeySequence(::Qt::Key_F2));
    none = MenuMode->addSeparator();
    none->setObjectName(QStringLiteral("none"));
    ModeClear = MenuMode->addAction(QStringLiteral("Cl&ear number"), this, choose(Command::ClearNumber));
    ModeClear->setObjectName(QStringLiteral("ModeClear"));
    ModeClear->setShortcut(QKeySequence(::Qt::SHIFT | ::Qt::Key_Delete));
    for (QAction* action : {ModeVat, ModeCC, ModeClear}) action->setShortcutContext(::Qt::WindowShortcut);
    ModeVat->setCheckable(true);
    ModeCC->setCheckable(true);

    HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    HelpAbout = HelpMenu->addAction(QStringLiteral("About Dravon..."), this, choose(Command::About));
    HelpAbout->setObjectName(QStringLiteral("HelpAbout"));
}

void Form1::ShowPrompt(const std::string& text) {
    const QString prompt = ToQString(text);
    Label1->setText(prompt);
    // A screen reader names the field by its prompt.
    Text1->setAccessibleName(prompt);
}

void Form1::ShowEntry(const std::string& text) { Text1->setText(ToQString(text)); }

void Form1::ShowVerdict(const std::string& text) { Label2->setText(ToQString(text)); }

void Form1::ShowMarks(bool vat, bool card) {
    ModeVat->setChecked(vat);
    ModeCC->setChecked(card);
}

void Form1::AnnouncePrompt() { Announce(Label1); }

void Form1::AnnounceVerdict() { Announce(Label2); }

void Form1::ShowAbout(const std::string& title, const std::string& text) { ShowAboutBox(this, title, text); }

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1) {
        if (event->type() == QEvent::ShortcutOverride) {
            // The field would take Shift+Del as "cut"; here it clears the number.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->keyCombination() == QKeyCombination(::Qt::ShiftModifier, ::Qt::Key_Delete)) {
                event->ignore();
                return true;
            }
        }
        // Qt moves the focus on Tab before the field could see it.
        if (const auto code = KeyDelivered(*event)) presenter_.KeyDelivered(*code);
    }
    // The field still handles the key as usual.
    return QMainWindow::eventFilter(watched, event);
}

void Form1::showEvent(QShowEvent*) { placement_.BeforeShown(); }

void Form1::moveEvent(QMoveEvent*) { placement_.Moved(); }

void Form1::closeEvent(QCloseEvent* event) {
    presenter_.EndProgram();
    event->accept();
}

}  // namespace pelmora
