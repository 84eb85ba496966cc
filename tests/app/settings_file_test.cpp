// The shared settings file is edited, never regenerated: a session changes
// the program's own three lines and leaves every other byte as it was.
#include "settings_fixture.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace pelmora;

namespace {

class SettingsFile : public test_support::SettingsFixture {
protected:
    // One run of the program's store: read at start, the three values saved
    // at the end; what it said on standard error.
    static std::string Session(const std::function<void()>& meanwhile = [] {}) {
        testing::internal::CaptureStderr();
        QtSettingsStore store;
        (void)store.GetSetting("Orvane", "Dravon", "Current mode", "1");
        meanwhile();
        store.SaveSetting("Orvane", "Dravon", "Current mode", " 2");
        store.SaveSetting("Orvane", "Dravon", "Window X", " 3000");
        store.SaveSetting("Orvane", "Dravon", "Window Y", " 1500");
        store.Flush();
        return testing::internal::GetCapturedStderr();
    }
    static QByteArray Bytes() {
        QFile file(StorePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    static struct stat StatOf() {
        struct stat info {};
        ::stat(QFile::encodeName(StorePath()).constData(), &info);
        return info;
    }
    QStringList Listing() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
};

}  // namespace

TEST_F(SettingsFile, OnlyTheProgramsOwnLinesChange) {
    const QByteArray ours = "Current%20mode=\" 2\"\nWindow%20X=\" 3000\"\nWindow%20Y=\" 1500\"\n";
    const struct {
        const char* what;
        QByteArray before, after;
    } rows[] = {
        {"no file", "(none)", "[Dravon]\n" + ours},
        {"other groups with comments and spacing",
         "; shared\n[Another%20Program]\nColour = blue ; kept\n\n[Dravon]\nCurrent%20mode=\" 1\"\n"
         "Window%20X = \" 10\"  ; ours\nWindow%20Y=7\n\n  [Zeta]\n\tA=1\n",
         "; shared\n[Another%20Program]\nColour = blue ; kept\n\n[Dravon]\nCurrent%20mode=\" 2\"\n"
         "Window%20X = \" 3000\"  ; ours\nWindow%20Y=\" 1500\"\n\n  [Zeta]\n\tA=1\n"},
        {"damaged lines before, inside and after the group",
         "no equals\n[Dravon]\nCurrent%20mode=1\nnot a key\n[Other\nx\n",
         "no equals\n[Dravon]\nCurrent%20mode=\" 2\"\nnot a key\nWindow%20X=\" 3000\"\nWindow%20Y=\" "
         "1500\"\n[Other\nx\n"},
        {"group missing, last line without a newline", "[Other]\nA=1", "[Other]\nA=1\n\n[Dravon]\n" + ours},
        {"group and key repeated, the last read",
         "[Dravon]\nWindow%20X=7\nCurrent%20mode=1\n[Other]\nA=1\n[Dravon]\nWindow%20X=5",
         "[Dravon]\nWindow%20X=7\nCurrent%20mode=\" 2\"\n[Other]\nA=1\n[Dravon]\nWindow%20X=\" 3000\"\n"
         "Window%20Y=\" 1500\""},
        {"CRLF lines", "[Other]\r\nA=1\r\n\r\n[Dravon]\r\nCurrent%20mode=1\r\n",
         "[Other]\r\nA=1\r\n\r\n[Dravon]\r\nCurrent%20mode=\" 2\"\r\nWindow%20X=\" 3000\"\r\nWindow%20Y=\" 1500\"\r\n"},
        {"keys as QSettings reads them: escaped, quoted, from the general group",
         "Dravon\\Window%20Y=9\n[%44ravon]\nWindow X=\"1\\x32\"\nCurrent%20mode=\" \\\"\\n\" , 2\n",
         "Dravon\\Window%20Y=9\n[%44ravon]\nWindow X=\" 3000\"\nCurrent%20mode=\" 2\"\n"
         "Window%20Y=\" 1500\"\n"},
        {"the same values: no write", "[Dravon]\r\n" + ours, "[Dravon]\r\n" + ours},
    };
    for (const auto& row : rows) {
        if (row.before != "(none)") StoreRaw(row.before);
        // Read as QSettings reads them.
        QtSettingsStore store;
        for (const char* key : {"Current mode", "Window X", "Window Y"}) {
            QSettings settings(StorePath(), QSettings::IniFormat);
            (void)settings.allKeys();  // the whole file, as the program always read it
            const QVariant value = settings.value(QStringLiteral("Dravon/") + key);
            EXPECT_EQ(store.GetSetting("Orvane", "Dravon", key, "(none)"),
                      value.isValid() ? value.toStringList().join(',').toStdString() : "(none)")
                << row.what << ": " << key;
        }
        const struct stat before = StatOf();
        Session();
        EXPECT_EQ(Bytes(), row.after) << row.what;
        // Unchanged, the file is not touched at all.
        const struct stat after = StatOf();
        if (row.before == row.after) {
            EXPECT_TRUE(after.st_ino == before.st_ino && after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
                        after.st_mtim.tv_nsec == before.st_mtim.tv_nsec)
                << row.what;
        }
        EXPECT_EQ(Listing(), QStringList{"Orvane.conf"}) << row.what;
        QFile::remove(StorePath());
    }
}

TEST_F(SettingsFile, KeepsModeAndGroup) {
    StoreRaw("[Other]\nSecret=1\n");
    // A group the file can be given that is not the user's own.
    gid_t groups[64];
    const int count = getgroups(64, groups);
    const gid_t other = geteuid() == 0 ? 4 : (count > 0 && groups[0] != getegid() ? groups[0] : getegid());
    if (other == getegid()) GTEST_SKIP() << "no second group to give the file";
    ASSERT_EQ(::chown(QFile::encodeName(StorePath()).constData(), static_cast<uid_t>(-1), other), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(StorePath()).constData(), 0640), 0);
    Session();
    EXPECT_EQ(StatOf().st_mode & 07777, 0640u);
    EXPECT_EQ(StatOf().st_gid, other);
    EXPECT_TRUE(Bytes().startsWith("[Other]\nSecret=1\n\n[Dravon]\n"));
}

TEST_F(SettingsFile, AnotherWritersChangeIsKept) {
    StoreRaw("[Another%20Program]\nColour=blue\n[Dravon]\nCurrent%20mode=1\n");
    // Same size, and the old time stamp put back, as `cp -p` does.
    Session([] {
        const QDateTime stamp = QFileInfo(StorePath()).lastModified();
        StoreRaw("[Another%20Program]\nColour=pink\n[Dravon]\nCurrent%20mode=1\n");
        QFile file(StorePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(stamp, QFileDevice::FileModificationTime));
    });
    EXPECT_EQ(Bytes(),
              "[Another%20Program]\nColour=pink\n[Dravon]\nCurrent%20mode=\" 2\"\nWindow%20X=\" 3000\"\n"
              "Window%20Y=\" 1500\"\n");
}

TEST_F(SettingsFile, ReadOnlyDamagedFileIsLeftAsItWas) {
    const QByteArray damaged = "[Dravon]\nCurrent%20mode=\" 1\"\n[Broken\n";
    StoreRaw(damaged);
    ASSERT_EQ(::chmod(QFile::encodeName(StorePath()).constData(), 0444), 0);
    for (int start = 1; start <= 3; ++start) {
        const std::string said = Session();
        EXPECT_NE(said.find("Orvane.conf is left as it is and the settings are not saved: it is read-only"),
                  std::string::npos)
            << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << "once per start: " << said;
    }
    EXPECT_EQ(Bytes(), damaged);
    EXPECT_EQ(Listing(), QStringList{"Orvane.conf"});
}
