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
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>

#include <utility>
#include <vector>

namespace pelmora {

namespace {

QRect Pixels(TwipRect twips) {
    return {twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel, twips.width / kTwipsPerPixel,
            twips.height / kTwipsPerPixel};
}

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
    if (label->text().isEmpty()) return;
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
    for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/icons/%1/pelmora.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    // Fixed size, no maximize button.
    setWindowFlags(::Qt::Window | ::Qt::CustomizeWindowHint | ::Qt::WindowTitleHint | ::Qt::WindowSystemMenuHint |
                   ::Qt::WindowMinimizeButtonHint | ::Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();  // the real size is known before the window is placed
    placement_.CentreOnPrimaryScreen();
    ShowState();
}

void Form1::CreateControls() {
    const QRect prompt = Pixels(kLabel1Rect);
    const QRect result = Pixels(kLabel2Rect);
    // Set before any control exists: the whole window, menu bar included,
    // uses this one face, so no other font is loaded before it is shown.
    setFont(ControlFont());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(prompt);
    Label1->setAlignment(::Qt::AlignLeft | ::Qt::AlignVCenter);

    Text1 = new QLineEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(Pixels(kText1Rect));
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
            [this](const QString& text) { state_.SetEntryText(text.toStdString()); });
    Text1->installEventFilter(this);
}

void Form1::CreateMenus() {
    FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileExit = FileMenu->addAction(QStringLiteral("E&xit"), this, [this] { EndProgram(); });
    FileExit->setObjectName(QStringLiteral("FileExit"));

    MenuMode = menuBar()->addMenu(QStringLiteral("&Mode"));
    MenuMode->setObjectName(QStringLiteral("MenuMode"));
    ModeVat = MenuMode->addAction(QStringLiteral("&VAT registration code"), this, [this] {
        state_.SetMode(kModeVat);
        ShowState();
        Announce(Label1);
    });
    ModeVat->setObjectName(QStringLiteral("ModeVat"));
    ModeVat->setShortcut(QKeySequence(::Qt::Key_F1));
    ModeCC = MenuMode->addAction(QStringLiteral("&Credit card numbers"), this, [this] {
        state_.SetMode(kModeCard);
        ShowState();
        Announce(Label1);
    });
    ModeCC->setObjectName(QStringLiteral("ModeCC"));
    ModeCC->setShortcut(QKeySequence(::Qt::Key_F2));
    none = MenuMode->addSeparator();
    none->setObjectName(QStringLiteral("none"));
    ModeClear = MenuMode->addAction(QStringLiteral("Cl&ear number"), this, [this] {
        state_.ClearNumber();
        ShowState();
    });
    ModeClear->setObjectName(QStringLiteral("ModeClear"));
    ModeClear->setShortcut(QKeySequence(::Qt::SHIFT | ::Qt::Key_Delete));
    for (QAction* action : {ModeVat, ModeCC, ModeClear}) action->setShortcutContext(::Qt::WindowShortcut);
    ModeVat->setCheckable(true);
    ModeCC->setCheckable(true);

    HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    HelpAbout = HelpMenu->addAction(QStringLiteral("About Dravon..."), this, [this] { ShowAboutBox(this); });
    HelpAbout->setObjectName(QStringLiteral("HelpAbout"));
}

void Form1::ShowState() {
    const QString prompt = ToQString(state_.PromptText());
    const QString entry = ToQString(state_.EntryText());
    const QString result = ToQString(state_.ResultText());
    Label1->setText(prompt);
    // Only a mode switch or Clear number puts text into the field; writing it
    // back otherwise would move the caret under the user's typing.
    if (shownEntryReplacements_ != state_.EntryReplacements()) {
        shownEntryReplacements_ = state_.EntryReplacements();
        Text1->setText(entry);
    }
    Label2->setText(result);
    ModeVat->setChecked(state_.VatMark());
    ModeCC->setChecked(state_.CardMark());

    // A screen reader names the field by its prompt and reads the verdict.
    Text1->setAccessibleName(prompt);
}

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
        if (const auto code = KeyDelivered(*event)) {
            const KeyKind kind = state_.KeyPress(*code);
            ShowState();
            if (kind == KeyKind::Enter) Announce(Label2);
        }
    }
    // The field still handles the key as usual.
    return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (shutDown_) shutDown_();
    event->accept();
}

void Form1::EndProgram() {
    if (shutDown_) {
        shutDown_();
    } else {
        close();
    }
}

}  // namespace pelmora
