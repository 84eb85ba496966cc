// Whatever the settings file holds, or wherever it cannot be, the program
// starts, works and ends; where the store can be written, it is left with the
// three keys, well-formed.
#include "settings_fixture.h"

#include "number_checks.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <random>

#include <sys/resource.h>
#include <csignal>

using namespace pelmora;

namespace {

class HostileSettings : public test_support::SettingsFixture {
protected:
    // Starts the window on the prepared store, checks a number with it, ends it.
    static void StartUseAndEnd() {
        const auto program = Start();
        Form1& form = program->Window();
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        auto* text1 = form.findChild<QLineEdit*>("Text1");
        QTest::keyClick(&form, Qt::Key_F1);
        QTest::keyClicks(text1, "GB 123 4567 82");
        QTest::keyClick(text1, Qt::Key_Return);
        EXPECT_EQ(form.findChild<QLabel*>("Label2")->text(), "is a valid VAT code");
        ShutDown(*program);
    }

    static void ExpectWellFormedStore() {
        QSettings settings(StorePath(), QSettings::IniFormat);
        // Keys the program does not know are left alone: they may belong to
        // another program of the same publisher.
        const QRegularExpression numberText(QStringLiteral("^[ -][0-9]+$"));
        for (const QString key : {"Dravon/Current mode", "Dravon/Window X", "Dravon/Window Y"}) {
            EXPECT_TRUE(numberText.match(settings.value(key).toString()).hasMatch())
                << key.toStdString() << " = '" << settings.value(key).toString().toStdString() << "'";
        }
        EXPECT_EQ(settings.value("Dravon/Current mode").toString(), " 1");
    }

    // Either the program's keys are written, or, where a damaged line
    // takes their place, the file is left byte for byte and the user told.
    static void ExpectSurvives(const QByteArray& content) {
        StoreRaw(content);
        testing::internal::CaptureStderr();
        StartUseAndEnd();
        const std::string said = testing::internal::GetCapturedStderr();
        QFile file(StorePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        if (file.readAll() != content) return ExpectWellFormedStore();
        EXPECT_NE(said.find("a damaged line takes the place"), std::string::npos) << said;
        ++refused;
    }
    static inline int refused = 0;

    // The program run to its end leaves the store as it is, and says why.
    static void ExpectLeftBecause(const std::string& why) {
        testing::internal::CaptureStderr();
        StartUseAndEnd();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("Orvane.conf is left as it is and the settings are not saved: " + why + "\n"),
                  std::string::npos)
            << said;
    }
};

}  // namespace

TEST_F(HostileSettings, RandomBytes) {
    std::mt19937 rng(42);
    refused = 0;
    for (int round = 0; round < 20; ++round) {
        QByteArray bytes(4096, '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        if (round % 2) bytes.prepend("[Dravon]\n");
        ExpectSurvives(bytes);
    }
    // Both happen: most random files swallow the end of the file in a quote.
    EXPECT_TRUE(refused > 0 && refused < 20) << refused;
}

TEST_F(HostileSettings, EmptyFile) { ExpectSurvives(QByteArray()); }

TEST_F(HostileSettings, TenMegabyteFile) {
    ExpectSurvives("[Dravon]\nWindow%20X=" + QByteArray(10 << 20, '9') + "\nCurrent%20mode=1\n");
    QByteArray lines;
    while (lines.size() < (10 << 20)) lines += "Key" + QByteArray::number(lines.size()) + "=value\n";
    ExpectSurvives("[Dravon]\n" + lines);
}

TEST_F(HostileSettings, MalformedLines) {
    ExpectSurvives("[Dravon]\nno equals sign here\nCurrent%20mode\n=\n");
    ExpectSurvives("[Dravon\nCurrent%20mode=2\n]]]\n[[[\n");
    ExpectSurvives("[Dravon]\nCurrent%20mode=\"2\nWindow%20X=\"\\\n");
    ExpectSurvives("[Dravon]\nCurrent%20mode=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\aQRegExp)\nWindow%20X=@ByteArray(\n");
}

TEST_F(HostileSettings, KeysOutOfRangeOrOverlong) {
    const QString overlong(100000, QLatin1Char('7'));
    const std::map<QString, QString> cases[] = {
        {{"Window X", "-5000"}, {"Window Y", "-1"}, {"Current mode", "-2"}},
        {{"Window X", "99999999999"}, {"Window Y", "-99999999999"}, {"Current mode", "300"}},
        {{"Window X", "1E3"}, {"Window Y", "2D308"}, {"Current mode", "1e-400"}},
        {{"Window X", overlong}, {"Window Y", "." + overlong}, {"Current mode", overlong}},
        {{"Window X", "nan"}, {"Window Y", "inf"}, {"Current mode", "infinity"}},
    };
    for (const auto& values : cases) {
        Store(values);
        StartUseAndEnd();
        ExpectWellFormedStore();
    }
}

TEST_F(HostileSettings, SettingsPathTakenByAFolder) {
    ASSERT_TRUE(QDir().mkpath(StorePath()));
    ExpectLeftBecause("it is not a regular file");
    EXPECT_TRUE(QFileInfo(StorePath()).isDir());
}

TEST_F(HostileSettings, StoreThatCannotBeWritten) {
    // The settings folder's parent is a regular file, which even root cannot
    // create a folder in.
    QTemporaryFile blocker;
    ASSERT_TRUE(blocker.open());
    qputenv("XDG_CONFIG_HOME", (blocker.fileName() + "/config").toLocal8Bit());
    ExpectLeftBecause("its folder cannot be made");
    EXPECT_TRUE(QFileInfo(blocker.fileName()).isFile());
}

TEST_F(HostileSettings, FileThatCannotBeRewrittenIsLeftAsItWas) {
    // Damaged and larger than any file may now grow, as on a full disk.
    const QByteArray damaged = "[Dravon]\nCurrent%20mode=\" 2\"\n[Other\n" + QByteArray(64 << 10, 'x') + "\n";
    StoreRaw(damaged);
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit small{16 << 10, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    StartUseAndEnd();
    const std::string said = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, SIG_DFL);

    QFile file(StorePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray left = file.readAll();
    EXPECT_TRUE(left == damaged) << left.left(200).toStdString() << said;
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Orvane.conf"});
    EXPECT_NE(said.find("Orvane.conf is left as it is"), std::string::npos) << said;
}
