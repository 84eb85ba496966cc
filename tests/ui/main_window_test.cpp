#include "main_window.h"

#include "about_box.h"
#include "fakes.h"
#include "number_checks.h"

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorSpace>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelmora;

namespace {

// What a screen reader is told about the prompt and the verdict line, in
// order: "Label2 hidden", "Label2 shown", ...
std::vector<std::string> told;
void Listen(QAccessibleEvent* event) {
    const QString name = event->object() ? event->object()->objectName() : QString();
    if ((name == "Label1" || name == "Label2") &&
        (event->type() == QAccessible::ObjectShow || event->type() == QAccessible::ObjectHide)) {
        told.push_back(name.toStdString() + (event->type() == QAccessible::ObjectShow ? " shown" : " hidden"));
    }
}

// A shown, active window started as the program starts it, in VAT mode.
class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        form.Presenter().StartUp(form.Placement(), store);
        form.Presenter().EndProgramWith([this] { ++ends; });
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        text1 = form.findChild<QLineEdit*>("Text1");
        label1 = form.findChild<QLabel*>("Label1");
        label2 = form.findChild<QLabel*>("Label2");
        ASSERT_TRUE(text1 && label1 && label2);
        text1->setFocus();
    }

    // Keys as a real keyboard delivers them, with the text it delivers.
    void Key(Qt::Key key, const QString& text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::sendKeyEvent(QTest::Press, text1, key, text, modifiers);
        QTest::sendKeyEvent(QTest::Release, text1, key, text, modifiers);
    }
    void Type(const QString& text) {
        for (QChar c : text) Key(static_cast<Qt::Key>(c.toUpper().unicode()), QString(c));
    }
    void Enter() { Key(Qt::Key_Return, QStringLiteral("\r")); }
    QAction* Action(const char* name) { return form.findChild<QAction*>(name); }

    test_support::FakeStore store;  // nothing stored: a first start
    Form1 form;
    int ends = 0;
    QLineEdit* text1 = nullptr;
    QLabel* label1 = nullptr;
    QLabel* label2 = nullptr;
};

}  // namespace

TEST(Form1Layout, ControlsStandWhereTheTwipLayoutPutsThem) {
    Form1 form;
    EXPECT_EQ(form.windowTitle(), "Pelmora");
    EXPECT_EQ(form.centralWidget()->size(), QSize(305, 84));
    EXPECT_EQ(form.findChild<QLabel*>("Label1")->geometry(), QRect(8, 8, 145, 17));
    EXPECT_EQ(form.findChild<QLineEdit*>("Text1")->geometry(), QRect(152, 4, 145, 25));
    EXPECT_EQ(form.findChild<QLabel*>("Label2")->geometry(), QRect(62, 40, 185, 17));
    EXPECT_EQ(form.findChild<QLineEdit*>("Text1")->maxLength(), 20);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());  // fixed size
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    // The icon is sharp at every scale: 16, 32 and 48 pixels each drawn from an image of its own size.
    for (const double scale : {1.0, 1.25, 1.5, 2.0}) {
        for (const int size : {16, 32, 48}) {
            QImage drawn = form.windowIcon().pixmap(QSize(size, size), scale).toImage();
            const QImage own(QStringLiteral(":/icons/%1/pelmora.png").arg(std::lround(size * scale)));
            drawn.setDevicePixelRatio(1);
            drawn.setColorSpace(own.colorSpace());
            EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                      own.convertToFormat(QImage::Format_ARGB32_Premultiplied))
                << size << " at " << scale;
        }
    }
}

TEST(Form1Layout, EveryCaptionAndVerdictFitsItsLabel) {
    Form1 form;
    // Run once more under a stand-in face by the name the window asks for
    // first, which must be the one drawn.
    if (qEnvironmentVariableIsSet("FACE")) {
        EXPECT_EQ(QFontInfo(form.font()).family(), qEnvironmentVariable("FACE"));
    }
    for (const char* name : {"Label1", "Label2"}) {
        const QLabel* label = form.findChild<QLabel*>(name);
        const QFontMetrics metrics(label->font());
        const QStringList texts =
            QString(name) == "Label1"
                ? QStringList{"VAT registration code", "Credit card number"}
                : QStringList{QString::fromUtf8(kWrongNumberOfDigits.data()), QString::fromUtf8(kValidVatCode.data()),
                              QString::fromUtf8(kValidCardNumber.data())};
        for (const QString& text : texts) {
            EXPECT_LE(metrics.horizontalAdvance(text), label->width()) << text.toStdString();
            EXPECT_LE(metrics.height(), label->height() + 2) << text.toStdString();
        }
    }
}

TEST(Form1Layout, MenusAsTheUserSeesThem) {
    Form1 form;
    const auto menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Mode");
    EXPECT_EQ(menus[2]->text(), "&Help");
    const auto mode = form.findChild<QMenu*>("MenuMode")->actions();
    ASSERT_EQ(mode.size(), 4);
    EXPECT_EQ(mode[0]->text(), "&VAT registration code");
    EXPECT_EQ(mode[0]->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(mode[1]->text(), "&Credit card numbers");
    EXPECT_EQ(mode[1]->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_TRUE(mode[2]->isSeparator());
    EXPECT_EQ(mode[2]->objectName(), "none");
    EXPECT_EQ(mode[3]->text(), "Cl&ear number");
    EXPECT_EQ(mode[3]->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    // Both marks are on until the first mode is set.
    EXPECT_TRUE(mode[0]->isChecked());
    EXPECT_TRUE(mode[1]->isChecked());
    EXPECT_EQ(form.findChild<QAction*>("FileExit")->text(), "E&xit");
    EXPECT_EQ(form.findChild<QAction*>("HelpAbout")->text(), "About Dravon...");
    // Each menu is drawn in the form's face, not the platform's default.
    const QString face = QFontInfo(form.findChild<QLabel*>("Label1")->font()).family();
    for (const char* name : {"FileMenu", "MenuMode", "HelpMenu"}) {
        EXPECT_EQ(QFontInfo(form.findChild<QMenu*>(name)->font()).family(), face) << name;
    }
}

TEST_F(Form1Test, EnterShowsVerdictAndKeepsEntry) {
    Type("GB 123 4567 82");
    Enter();
    EXPECT_EQ(label2->text(), "is a valid VAT code");
    EXPECT_EQ(text1->text(), "GB 123 4567 82");
    Enter();
    EXPECT_EQ(label2->text(), "is a valid VAT code");
    text1->clear();
    Type("12345678");
    Key(Qt::Key_Enter, QStringLiteral("\r"), Qt::KeypadModifier);
    EXPECT_EQ(label2->text(), "has wrong number of digits");
    // Typed fast, Enter goes down before the last digit comes up: the
    // verdict stays, since a key coming up delivers no character.
    QTest::sendKeyEvent(QTest::Press, text1, Qt::Key_2, QStringLiteral("2"), Qt::NoModifier);
    Enter();
    QTest::sendKeyEvent(QTest::Release, text1, Qt::Key_2, QStringLiteral("2"), Qt::NoModifier);
    EXPECT_EQ(label2->text(), "is a valid VAT code");
}

TEST_F(Form1Test, CtrlMAndKeypadEnterWithoutTextCheckToo) {
    Type("123456782");
    Key(Qt::Key_M, QStringLiteral("\r"), Qt::ControlModifier);
    EXPECT_EQ(label2->text(), "is a valid VAT code");
    EXPECT_EQ(text1->text(), "123456782");
    Type("3");
    Key(Qt::Key_Enter, QString(), Qt::KeypadModifier);
    EXPECT_EQ(label2->text(), "has wrong number of digits");
    Key(Qt::Key_Backspace, QStringLiteral("\b"));
    Key(Qt::Key_Return);  // as some input methods send it
    EXPECT_EQ(label2->text(), "is a valid VAT code");
}

TEST_F(Form1Test, TabAndShiftTabLeaveTheVerdictAndInsertNothing) {
    Type("123456782");
    Enter();
    text1->setText("1");  // a check of this would give another verdict
    Key(Qt::Key_Tab, QStringLiteral("\t"));
    Key(Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    EXPECT_EQ(label2->text(), "is a valid VAT code");
    EXPECT_EQ(text1->text(), "1");
    Key(Qt::Key_J, QStringLiteral("\n"), Qt::ControlModifier);  // a control character is typing
    EXPECT_EQ(label2->text(), "");
}

TEST_F(Form1Test, TypingMidFieldInsertsAtTheCaretAndReplacesASelection) {
    Type("456782");
    Key(Qt::Key_Home);
    Type("123");
    EXPECT_EQ(text1->text(), "123456782");
    Enter();
    EXPECT_EQ(label2->text(), "is a valid VAT code");
    text1->setSelection(3, 4);
    Type("9");
    EXPECT_EQ(text1->text(), "123982");
    EXPECT_EQ(text1->cursorPosition(), 4);
    EXPECT_EQ(form.State().EntryText(), "123982");
}

TEST_F(Form1Test, EveryKeyDeliveringACharacterClearsTheVerdict) {
    const struct {
        Qt::Key key;
        QString text;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {Qt::Key_5, "5", Qt::NoModifier},          {Qt::Key_Space, " ", Qt::NoModifier},
        {Qt::Key_Backspace, "\b", Qt::NoModifier}, {Qt::Key_Escape, "\x1b", Qt::NoModifier},
        {Qt::Key_A, "\x01", Qt::ControlModifier},
    };
    for (const auto& k : keys) {
        text1->setText("123456782");
        Enter();
        ASSERT_FALSE(label2->text().isEmpty());
        Key(k.key, k.text, k.modifiers);
        EXPECT_EQ(label2->text(), "") << k.text.toStdString();
    }
}

TEST_F(Form1Test, KeysDeliveringNoCharacterKeepTheVerdict) {
    Type("123456782");
    Enter();
    text1->setText("9123456782");  // a check of this would give another verdict
    Key(Qt::Key_Left);
    Key(Qt::Key_End);
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete, QStringLiteral("\x7f"));
    Key(Qt::Key_F5);
    Key(Qt::Key_Shift, QString(), Qt::ShiftModifier);
    EXPECT_EQ(label2->text(), "is a valid VAT code");
    EXPECT_EQ(text1->text(), "123456782");  // Delete at the start still deletes
}

TEST_F(Form1Test, TwentyFirstCharacterIsRefusedButClearsTheVerdict) {
    Type("12345678901234567890");
    Enter();
    ASSERT_EQ(label2->text(), "has wrong number of digits");
    Type("1");
    EXPECT_EQ(text1->text(), "12345678901234567890");
    EXPECT_EQ(label2->text(), "");
}

TEST_F(Form1Test, PasteWithCtrlVIsCutToTwentyAndClearsTheVerdict) {
    QApplication::clipboard()->setText("4111 1111 1111 1111 2222 3333");
    Enter();
    ASSERT_FALSE(label2->text().isEmpty());
    Key(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
    EXPECT_EQ(text1->text(), "4111 1111 1111 1111 ");
    EXPECT_EQ(label2->text(), "");
    EXPECT_EQ(form.State().EntryText(), "4111 1111 1111 1111 ");
}

TEST_F(Form1Test, InputMethodCommitClearsTheVerdict) {
    Enter();
    ASSERT_FALSE(label2->text().isEmpty());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("7"));
    QApplication::sendEvent(text1, &commit);
    EXPECT_EQ(text1->text(), "7");
    EXPECT_EQ(label2->text(), "");
}

TEST_F(Form1Test, FunctionKeysSwitchModeAndClearEverything) {
    Type("4111 1111 1111 1111");
    Enter();
    QTest::keyClick(text1, Qt::Key_F2);
    EXPECT_EQ(label1->text(), "Credit card number");
    EXPECT_EQ(text1->text(), "");
    EXPECT_EQ(label2->text(), "");
    EXPECT_FALSE(Action("ModeVat")->isChecked());
    EXPECT_TRUE(Action("ModeCC")->isChecked());
    Type("4111 1111 1111 1111");
    Enter();
    EXPECT_EQ(label2->text(), "is a valid credit card number");

    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(label1->text(), "VAT registration code");
    EXPECT_TRUE(Action("ModeVat")->isChecked());
    EXPECT_FALSE(Action("ModeCC")->isChecked());
    EXPECT_EQ(label2->text(), "");
}

TEST_F(Form1Test, ShiftDeleteClearsNumberNotCutsIt) {
    QApplication::clipboard()->setText("untouched");
    Type("123456783");
    Enter();
    text1->selectAll();
    Key(Qt::Key_Delete, QStringLiteral("\x7f"), Qt::ShiftModifier);
    EXPECT_EQ(text1->text(), "");
    EXPECT_EQ(label2->text(), "is not valid");
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
    Enter();
    EXPECT_EQ(label2->text(), "has wrong number of digits");
}

TEST_F(Form1Test, ChoosingMenuItemsRunsTheirOperations) {
    Action("ModeCC")->trigger();
    EXPECT_EQ(label1->text(), "Credit card number");
    Type("79927398713");
    Enter();
    Action("ModeClear")->trigger();
    EXPECT_EQ(text1->text(), "");
    EXPECT_EQ(label2->text(), "is a valid credit card number");
}

TEST_F(Form1Test, AboutBoxIsModalOverTheWindowInTheFormsFace) {
    QString face;
    QWidget* owner = nullptr;
    bool shown = false;
    bool modal = false;
    // What the box is, noted and the box closed before anything is judged:
    // a box left open would keep the test waiting.
    QTimer::singleShot(0, &form, [&] {
        for (QWidget* box : QApplication::topLevelWidgets()) {
            if (!qobject_cast<QMessageBox*>(box) || !box->isVisible()) continue;
            shown = true;
            modal = box == QApplication::activeModalWidget();
            face = QFontInfo(box->font()).family();
            owner = box->parentWidget();
            box->close();
        }
    });
    Action("HelpAbout")->trigger();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(modal);
    EXPECT_EQ(owner, &form);
    EXPECT_EQ(face, QFontInfo(label1->font()).family());
}

TEST_F(Form1Test, ExitAndClosingEndTheProgram) {
    Action("FileExit")->trigger();
    EXPECT_EQ(ends, 1);
    form.close();
    EXPECT_EQ(ends, 2);  // the program itself ends at the first
}

TEST_F(Form1Test, ControlsCarryAccessibleNames) {
    for (QWidget* widget : {static_cast<QWidget*>(label1), static_cast<QWidget*>(text1)}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << widget->objectName().toStdString();
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(text1)->text(QAccessible::Name), "VAT registration code");
    // An empty verdict line says nothing; a verdict, and a new prompt, are
    // announced as notifications.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label2)->text(QAccessible::Name), "");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label1)->role(), QAccessible::Notification);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label2)->role(), QAccessible::Notification);
    Type("123456782");
    Enter();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label2)->text(QAccessible::Name), "is a valid VAT code");
}

TEST_F(Form1Test, ScreenReaderIsToldEachVerdictAndEachNewPrompt) {
    // As when a screen reader is running.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QAccessible::installUpdateHandler(Listen);
    told.clear();
    Type("123456782");
    Enter();
    Enter();  // the same verdict again
    QTest::keyClick(text1, Qt::Key_F2);
    Enter();
    Action("ModeVat")->trigger();
    QAccessible::installUpdateHandler(nullptr);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    // A reader speaks a notification as it is shown, so each is hidden first.
    const std::vector<std::string> verdict = {"Label2 hidden", "Label2 shown"};
    const std::vector<std::string> prompt = {"Label1 hidden", "Label1 shown"};
    std::vector<std::string> expected;
    for (const auto* told : {&verdict, &verdict, &prompt, &verdict, &prompt}) {
        expected.insert(expected.end(), told->begin(), told->end());
    }
    EXPECT_EQ(told, expected);
}
