#include "lifecycle.h"

#include "main_window.h"
#include "number_checks.h"
#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>

#include <gtest/gtest.h>

#include <map>

using namespace pelmora;

namespace {

QString StorePath() { return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Orvane.conf"); }

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StorePath().startsWith(QDir::tempPath())) << "tests must not use the real settings";
        QFile::remove(StorePath());
    }

    static void Store(const std::map<QString, QString>& values) {
        QSettings settings(StorePath(), QSettings::IniFormat);
        for (const auto& [key, value] : values) settings.setValue(QStringLiteral("Dravon/") + key, value);
    }

    static void StoreRaw(const QByteArray& bytes) {
        QFile file(StorePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QVariant Stored(const QString& key) {
        return QSettings(StorePath(), QSettings::IniFormat).value(QStringLiteral("Dravon/") + key);
    }

    // Starts a window the way the program does and hands it back.
    static std::unique_ptr<Form1> Start() {
        auto form = std::make_unique<Form1>();
        SettingsStore store;
        StartUp(form->State(), *form, store);
        form->ShowState();
        return form;
    }

    static void ShutDown(const Form1& form) {
        SettingsStore store;
        SaveOnShutDown(form.State(), form, store);
    }

    static QPoint DefaultPosition() {
        QFile::rename(StorePath(), StorePath() + ".aside");
        const QPoint position = Start()->pos();
        QFile::rename(StorePath() + ".aside", StorePath());
        return position;
    }
};

}  // namespace

TEST_F(Lifecycle, FirstStartIsVatModeAtDefaultPosition) {
    const auto form = Start();
    const CheckerState& state = form->State();
    EXPECT_EQ(state.CurrentMode, kModeVat);
    EXPECT_EQ(state.PromptText(), "VAT registration code");
    EXPECT_TRUE(state.VatMark());
    EXPECT_FALSE(state.CardMark());
    EXPECT_EQ(state.EntryText(), "");
    EXPECT_EQ(state.ResultText(), "");
    EXPECT_EQ(form->findChild<QLabel*>("Label1")->text(), "VAT registration code");
}

TEST_F(Lifecycle, RestoresStoredCardMode) {
    Store({{"Current mode", " 2"}});
    const auto form = Start();
    EXPECT_EQ(form->State().CurrentMode, kModeCard);
    EXPECT_EQ(form->State().PromptText(), "Credit card number");
    EXPECT_FALSE(form->State().VatMark());
    EXPECT_TRUE(form->State().CardMark());
}

TEST_F(Lifecycle, RestoresPositionFromAnyNumberText) {
    for (const char* text : {" 2100", "2100", "2 100", "2.1E3"}) {
        Store({{"Window X", text}, {"Window Y", " 1500"}});
        EXPECT_EQ(Start()->pos(), QPoint(140, 100)) << text;
    }
}

TEST_F(Lifecycle, EdgesOfZeroOrLessAreJudgedSeparately) {
    const QPoint fallback = DefaultPosition();
    for (const char* text : {"0", "-300", "", "abc"}) {
        Store({{"Window X", text}, {"Window Y", " 1500"}});
        EXPECT_EQ(Start()->pos(), QPoint(fallback.x(), 100)) << text;
    }
    Store({{"Window X", " 1500"}, {"Window Y", "-15"}});
    EXPECT_EQ(Start()->pos(), QPoint(100, fallback.y()));
}

TEST_F(Lifecycle, PositionOffEveryScreenIsNotApplied) {
    const QPoint fallback = DefaultPosition();
    // Far beyond the 16-bit range too: read as a 32-bit position, then refused
    // because the title bar would be on no screen.
    Store({{"Window X", " 150000"}, {"Window Y", " 1500"}});
    EXPECT_EQ(Start()->pos(), fallback);
}

TEST_F(Lifecycle, UnknownStoredModeSelectsNoModeAndIsWrittenBackAsZero) {
    for (const char* text : {"0", "abc", "300", "-1"}) {
        Store({{"Current mode", text}});
        const auto form = Start();
        EXPECT_EQ(form->State().CurrentMode, 0) << text;
        EXPECT_TRUE(form->State().VatMark());
        EXPECT_TRUE(form->State().CardMark());
        form->State().SetEntryText("123456782");
        form->State().CheckEntry();
        EXPECT_EQ(form->State().ResultText(), "");
        ShutDown(*form);
        EXPECT_EQ(Stored("Current mode").toString(), " 0");
    }
}

TEST_F(Lifecycle, ShutDownWritesModeAndPositionForTheNextStart) {
    {
        const auto form = Start();
        form->State().SetMode(kModeCard);
        form->move(200, 120);
        ShutDown(*form);
    }
    EXPECT_EQ(Stored("Current mode").toString(), " 2");
    EXPECT_EQ(Stored("Window X").toString(), " 3000");
    EXPECT_EQ(Stored("Window Y").toString(), " 1800");

    const auto again = Start();
    EXPECT_EQ(again->State().CurrentMode, kModeCard);
    EXPECT_EQ(again->pos(), QPoint(200, 120));
}

TEST_F(Lifecycle, UnparsableStoreCountsAsEmptyAndIsReplaced) {
    // The mode would be 2, but the unbalanced bracket makes the file unparsable.
    StoreRaw("[Dravon]\nCurrent%20mode=2\n[[[\n");
    const auto form = Start();
    EXPECT_EQ(form->State().CurrentMode, kModeVat);
    ShutDown(*form);
    EXPECT_EQ(Stored("Current mode").toString(), " 1");
    EXPECT_TRUE(Stored("Window X").isValid());
    EXPECT_TRUE(Stored("Window Y").isValid());
}

TEST_F(Lifecycle, StoreThatCannotBeWrittenDoesNotStopShutDown) {
    // The settings file is taken by a folder: nothing can be read or written.
    ASSERT_TRUE(QDir().mkpath(StorePath()));
    const auto form = Start();
    EXPECT_EQ(form->State().CurrentMode, kModeVat);
    ShutDown(*form);  // must simply return
    QDir(StorePath()).removeRecursively();
}
