#include "settings_fixture.h"

#include "number_checks.h"
#include "window_layout.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

using namespace pelmora;

namespace {

class Lifecycle : public test_support::SettingsFixture {
protected:
    static QPoint DefaultPosition() {
        QFile::rename(StorePath(), StorePath() + ".aside");
        const QPoint position = Start()->Window().pos();
        QFile::rename(StorePath() + ".aside", StorePath());
        return position;
    }
};

}  // namespace

TEST_F(Lifecycle, FirstStartIsVatModeAtDefaultPosition) {
    // Another user's or the system's settings are not ours to start from.
    QSettings(folder.filePath("system/Orvane.conf"), QSettings::IniFormat).setValue("Dravon/Current mode", " 2");
    const auto program = Start();
    const CheckerState& state = program->Window().State();
    EXPECT_EQ(state.CurrentMode, kModeVat);
    EXPECT_EQ(state.PromptText(), "VAT registration code");
    EXPECT_TRUE(state.VatMark());
    EXPECT_FALSE(state.CardMark());
    EXPECT_EQ(state.EntryText(), "");
    EXPECT_EQ(state.ResultText(), "");
    EXPECT_EQ(program->Window().findChild<QLabel*>("Label1")->text(), "VAT registration code");
}

TEST_F(Lifecycle, RestoresStoredCardMode) {
    // As the program writes it, and as another writer may: an unquoted comma
    // makes the file format read a list.
    for (const char* line : {"Current%20mode=\" 2\"", "Current%20mode=2,0"}) {
        StoreRaw(QByteArray("[Dravon]\n") + line + "\n");
        const auto program = Start();
        const Form1& form = program->Window();
        EXPECT_EQ(form.State().CurrentMode, kModeCard) << line;
        EXPECT_EQ(form.State().PromptText(), "Credit card number");
        // Shown as soon as the start-up is done, before any event.
        EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), "Credit card number");
        EXPECT_FALSE(form.findChild<QAction*>("ModeVat")->isChecked());
        EXPECT_TRUE(form.findChild<QAction*>("ModeCC")->isChecked());
    }
}

TEST_F(Lifecycle, RestoresPositionFromAnyNumberText) {
    for (const char* text : {" 2100", "2100", "2 100", "2.1E3"}) {
        Store({{"Window X", text}, {"Window Y", " 1500"}});
        EXPECT_EQ(Start()->Window().pos(), QPoint(140, 100)) << text;
    }
}

TEST_F(Lifecycle, EdgesOfZeroOrLessAreJudgedSeparately) {
    const QPoint fallback = DefaultPosition();
    for (const char* text : {"0", "-300", "", "abc"}) {
        Store({{"Window X", text}, {"Window Y", " 1500"}});
        EXPECT_EQ(Start()->Window().pos(), QPoint(fallback.x(), 100)) << text;
    }
    for (const char* text : {"-15", "0"}) {
        Store({{"Window X", " 1500"}, {"Window Y", text}});
        EXPECT_EQ(Start()->Window().pos(), QPoint(100, fallback.y())) << text;
    }
}

TEST_F(Lifecycle, PositionOffEveryScreenIsNotApplied) {
    const QPoint fallback = DefaultPosition();
    // Far beyond the 16-bit range too: read as a 32-bit position, then refused
    // because the title bar would be on no screen.
    Store({{"Window X", " 150000"}, {"Window Y", " 1500"}});
    EXPECT_EQ(Start()->Window().pos(), fallback);
    // The corner would be on the screen, the middle of the title bar not.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Store({{"Window X", QString::number(TwipsFromPixels(screen.right() - 20, kLogicalDpi))}, {"Window Y", " 1500"}});
    EXPECT_EQ(Start()->Window().pos(), fallback);
    Store({{"Window X", QString::number(TwipsFromPixels(screen.right() - 200, kLogicalDpi))}, {"Window Y", " 1500"}});
    EXPECT_EQ(Start()->Window().pos(), QPoint(screen.right() - 200, 100));
}

TEST_F(Lifecycle, UnknownStoredModeSelectsNoModeAndIsWrittenBackAsZero) {
    for (const char* text : {"0", "abc", "300", "-1"}) {
        Store({{"Current mode", text}});
        const auto program = Start();
        FormPresenter& presenter = program->Window().Presenter();
        EXPECT_EQ(presenter.State().CurrentMode, 0) << text;
        EXPECT_TRUE(presenter.State().VatMark());
        EXPECT_TRUE(presenter.State().CardMark());
        presenter.EntryEdited("123456782");
        presenter.KeyDelivered(U'\r');
        EXPECT_EQ(presenter.State().ResultText(), "");
        ShutDown(*program);
        EXPECT_EQ(Stored("Current mode").toString(), " 0");
    }
}

TEST_F(Lifecycle, ShutDownWritesModeAndPositionForTheNextStart) {
    {
        const auto program = Start();
        program->Window().Presenter().Choose(Command::ModeCard);
        program->Window().move(200, 120);
        const int watch = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(watch, QFile::encodeName(folder.path()).constData(), IN_MOVED_TO | IN_CLOSE_WRITE);
        ShutDown(*program);
        // One write per end: the file is replaced once, with all three values.
        alignas(inotify_event) char events[4096];
        int writes = 0;
        for (ssize_t n = read(watch, events, sizeof events), at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            writes += event->len && std::strcmp(event->name, "Orvane.conf") == 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
        close(watch);
        EXPECT_EQ(writes, 1);
    }
    EXPECT_EQ(Stored("Current mode").toString(), " 2");
    EXPECT_EQ(Stored("Window X").toString(), " 3000");
    EXPECT_EQ(Stored("Window Y").toString(), " 1800");

    const auto again = Start();
    EXPECT_EQ(again->Window().State().CurrentMode, kModeCard);
    EXPECT_EQ(again->Window().pos(), QPoint(200, 120));
}

TEST_F(Lifecycle, FirstStartOpensCentredOnThePrimaryScreen) {
    const auto program = Start();
    const Form1& form = program->Window();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred by its frame, which the platform draws around it.
    EXPECT_NE(form.frameGeometry().size(), form.size());
    EXPECT_LE((form.frameGeometry().center() - area.center()).manhattanLength(), 2);
}
