// The shared settings file is edited, never regenerated: a session changes
// the program's own three lines and leaves every other byte as it was.
#include "settings_file.h"
#include "settings_fixture.h"
#include "settings_oracle.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QRect>
#include <QSaveFile>
#include <QTimeZone>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <unistd.h>
#include <random>

using namespace pelmora;

namespace {

class SettingsFile : public test_support::SettingsFixture {
protected:
    // One run of the program's store: read at start, the three values saved
    // at the end (and at each save the session asked for before); what it
    // said on standard error.
    static std::string Session(
        const std::function<void()>& meanwhile = [] {}, int saves = 1) {
        testing::internal::CaptureStderr();
        QtSettingsStore store;
        (void)store.GetSetting("Orvane", "Dravon", "Current mode", "1");
        meanwhile();
        for (int save = 0; save < saves; ++save) {
            store.SaveSetting("Orvane", "Dravon", "Current mode", " 2");
            store.SaveSetting("Orvane", "Dravon", "Window X", " 3000");
            store.SaveSetting("Orvane", "Dravon", "Window Y", " 1500");
            store.Flush();
        }
        return testing::internal::GetCapturedStderr();
    }
    static QByteArray Bytes(const QString& path = StorePath()) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    static struct stat StatOf(const QString& path = StorePath()) {
        struct stat info {};
        ::stat(QFile::encodeName(path).constData(), &info);
        return info;
    }
    QStringList Listing() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
};

// Root reads any file: a file that cannot be read takes root without that
// right.
void WithoutRootsReadRights(bool drop, const std::function<void()>& run) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct rights[2]{};
    const __u32 read = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    drop = drop && ::geteuid() == 0 && ::syscall(SYS_capget, &header, rights) == 0;
    rights[0].effective &= ~read;
    EXPECT_EQ(drop ? ::syscall(SYS_capset, &header, rights) : 0, 0);
    run();
    rights[0].effective |= read;
    EXPECT_EQ(drop ? ::syscall(SYS_capset, &header, rights) : 0, 0);
}

}  // namespace

TEST_F(SettingsFile, OnlyTheProgramsOwnLinesChange) {
    const QByteArray ours = "Current%20mode=\" 2\"\nWindow%20X=\" 3000\"\nWindow%20Y=\" 1500\"\n";
    // Where the file stands: the settings path itself, or behind a symbolic
    // link; a pipe, a file that cannot be read, or a temporary name another
    // run left beside it.
    enum Place { Plain, NoFolder, Link, Pipe, Unreadable, Leftover };
    const struct {
        const char* what;
        QByteArray before, after;
        Place place = Plain;
        bool told = false;  // why it is left as it is, on standard error
    } rows[] = {
        {"no folder, no file", "(none)", "[Dravon]\n" + ours, NoFolder},
        {"other groups with comments and spacing",
         "; shared\n[Another%20Program]\nColour = blue ; kept\n\n[Dravon]\nWindow%20X = \" 10\"  ; ours\n"
         "Current%20mode=\" 1\"\n\n  [Zeta]\n\tA=1\n",
         "; shared\n[Another%20Program]\nColour = blue ; kept\n\n[Dravon]\nWindow%20X = \" 3000\"  ; ours\n"
         "Current%20mode=\" 2\"\nWindow%20Y=\" 1500\"\n\n  [Zeta]\n\tA=1\n"},
        {"damaged lines before, inside and after the group",
         "no equals\n[Dravon]\nCurrent%20mode=1=2\nnot a key\nOther=x\\\n\n[Other\nx\n",
         "no equals\n[Dravon]\nCurrent%20mode=\" 2\"\nnot a key\nOther=x\\\n\nWindow%20X=\" 3000\"\nWindow%20Y=\" "
         "1500\"\n[Other\nx\n"},
        {"group missing, last line without a newline", "[Other]\nA=1", "[Other]\nA=1\n\n[Dravon]\n" + ours},
        {"group and key repeated, the last read",
         "[Dravon]\nWindow%20X=7\nCurrent%20mode=1\n[Other]\nA=1\n[Dravon]\nWindow%20X=5",
         "[Dravon]\nWindow%20X=7\nCurrent%20mode=\" 2\"\n[Other]\nA=1\n[Dravon]\nWindow%20X=\" 3000\"\n"
         "Window%20Y=\" 1500\""},
        {"CRLF lines, the last with a comment", "[Other]\r\nA=1\r\n\r\n[Dravon]\r\nCurrent%20mode=1 ; by hand\r\n",
         "[Other]\r\nA=1\r\n\r\n[Dravon]\r\nCurrent%20mode=\" 2\" ; by hand\r\nWindow%20X=\" 3000\"\r\n"
         "Window%20Y=\" 1500\"\r\n"},
        {"CR lines, a byte-order mark, names with one",
         "\xef\xbb\xbf[Dravon]\rCurrent%20mode=1\r[Dravon\xef\xbb\xbf]\rWindow%20Y=4\r[Dravon]\r\xef\xbb\xbfWindow%20X="
         "5\r",
         "\xef\xbb\xbf[Dravon]\rCurrent%20mode=\" 2\"\r[Dravon\xef\xbb\xbf]\rWindow%20Y=4\r[Dravon]\r"
         "\xef\xbb\xbfWindow%20X=\" 3000\"\rWindow%20Y=\" 1500\"\r"},
        {"keys as QSettings reads them: escaped, quoted, from the general group",
         "Dravon\\Window%20Y=9\n[%U0x44ravon]\nWindow X=\"1\\x32\"\nCurrent%20mode=1\nCurrent%U 020mode=\" \\\"\\n\" , "
         "2\n"
         "Window%U+020Y=3\n",
         "Dravon\\Window%20Y=9\n[%U0x44ravon]\nWindow X=\" 3000\"\nCurrent%20mode=1\nCurrent%U 020mode=\" 2\"\n"
         "Window%U+020Y=\" 1500\"\n"},
        {"values that run on past their line: cut to it, the lines after kept",
         "[Dravon]\nWindow%20Y=12\\\nColour=red\nWindow%20X=\"12\n[Another%20Program]\nSecret=kept by hand\n",
         "[Dravon]\nWindow%20Y=\" 1500\"\nColour=red\nWindow%20X=\" 3000\"\nCurrent%20mode=\" 2\"\n"
         "[Another%20Program]\nSecret=kept by hand\n"},
        {"a value that swallowed another program's line: left as it was, and said",
         "[Other]\nColour=blue\n[Dravon]\nWindow%20X=\"12\n[Other]\nColour=red\n\"\n",
         "[Other]\nColour=blue\n[Dravon]\nWindow%20X=\"12\n[Other]\nColour=red\n\"\n", Plain, true},
        {"values of every kind",
         "[Dravon]\nCurrent%20mode=@Rect(1 2)\nWindow%20X=@@1, 2\nWindow%20Y=@ByteArray(\\x8d\\x1)\nSub\\x=1\n"
         "[Dravon\\Sub]\nx=2\n[Other]\nWhen=@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0\\0\\0%"
         "\\x84\\xe3\\0\\xa8\\x88\\x88\\x1)\n"
         "Quoted=\"a\"  \nCut=\xe2\x82\n",
         "[Dravon]\nCurrent%20mode=\" 2\"\nWindow%20X=\" 3000\"\nWindow%20Y=\" 1500\"\nSub\\x=1\n"
         "[Dravon\\Sub]\nx=2\n[Other]\nWhen=@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0\\0\\0%"
         "\\x84\\xe3\\0\\xa8\\x88\\x88\\x1)\n"
         "Quoted=\"a\"  \nCut=\xe2\x82\n"},
        {"the same values: no write", "[Dravon]\r\n" + ours, "[Dravon]\r\n" + ours},
        {"behind a symbolic link to a file", "[Other]\nA=1\n", "[Other]\nA=1\n\n[Dravon]\n" + ours, Link},
        {"behind a symbolic link to no file yet", "(none)", "[Dravon]\n" + ours, Link},
        {"a pipe: not read, not replaced", "(pipe)", "(pipe)", Pipe, true},
        {"a file that cannot be read", "[Dravon]\nCurrent%20mode=1\n", "[Dravon]\nCurrent%20mode=1\n", Unreadable,
         true},
        {"a temporary name left by an earlier run", "", "[Dravon]\n" + ours, Leftover},
    };
    const QString leftover = QStringLiteral(".Orvane.conf.%1.0").arg(::getpid());
    for (const auto& row : rows) {
        const QString file = row.place == Link ? folder.filePath("dots/Orvane.conf") : StorePath();
        if (row.place == NoFolder) {
            ASSERT_TRUE(QDir(folder.path()).removeRecursively());
        } else if (row.place == Link) {
            ASSERT_TRUE(QDir(folder.path()).mkpath("dots") && QFile::link("dots/Orvane.conf", StorePath()));
        } else if (row.place == Pipe) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(StorePath()).constData(), 0600), 0);
        } else if (row.place == Leftover) {
            ASSERT_TRUE(QFile(folder.filePath(leftover)).open(QIODevice::WriteOnly));
        }
        if (row.before != "(none)" && row.place != Pipe) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(row.before) == row.before.size());
        }
        // Read as QSettings itself reads them, the whole file.
        if (row.place == Plain) {
            QtSettingsStore store;
            QSettings settings(StorePath(), QSettings::IniFormat);
            (void)settings.allKeys();
            for (const char* key : {"Current mode", "Window X", "Window Y"}) {
                const QVariant value = settings.value(QStringLiteral("Dravon/") + key);
                const bool list = value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList;
                const QString text = list ? value.toStringList().join(',') : value.toString();
                EXPECT_EQ(store.GetSetting("Orvane", "Dravon", key, "(none)"),
                          value.isValid() ? text.toStdString() : "(none)")
                    << row.what << ": " << key;
            }
        }
        const struct stat before = StatOf();
        const mode_t mask = ::umask(027);
        if (row.place == Unreadable) ::chmod(QFile::encodeName(file).constData(), 0200);
        std::string said;
        // A settings file that no one writes to must not hang the program.
        ::alarm(10);
        WithoutRootsReadRights(row.place == Unreadable, [&] { said = Session(); });
        ::alarm(0);
        ::umask(mask);
        if (row.place == Unreadable) ::chmod(QFile::encodeName(file).constData(), 0600);
        const bool pipe = S_ISFIFO(StatOf().st_mode);
        EXPECT_EQ(pipe ? QByteArray("(pipe)") : Bytes(file), row.after) << row.what;
        EXPECT_EQ(said.empty(), !row.told) << row.what << ": " << said;
        // A new file takes the umask, as any file the user makes.
        if (row.before == "(none)") {
            EXPECT_EQ(StatOf(file).st_mode & 0777, 0640u) << row.what;
        }
        EXPECT_EQ(QFileInfo(StorePath()).isSymLink(), row.place == Link) << row.what;
        // Unchanged, the file is not touched at all.
        const struct stat after = StatOf();
        if (row.before == row.after) {
            EXPECT_TRUE(after.st_ino == before.st_ino && after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
                        after.st_mtim.tv_nsec == before.st_mtim.tv_nsec)
                << row.what;
        }
        const QStringList left =
            row.place == Leftover ? QStringList{leftover, "Orvane.conf"} : QStringList{"Orvane.conf"};
        EXPECT_EQ(Listing(), left) << row.what;
        QFile::remove(StorePath());
        QFile::remove(folder.filePath(leftover));
        QDir(folder.filePath("dots")).removeRecursively();
    }
}

TEST_F(SettingsFile, KeepsOwnerModeAndGroup) {
    StoreRaw("[Other]\nSecret=1\n");
    // Root, as under sudo, keeps the user's file the user's.
    const uid_t owner = geteuid() == 0 ? 1 : geteuid();
    // A group the file can be given that is not the user's own.
    gid_t groups[64];
    const int count = getgroups(64, groups);
    const gid_t other = geteuid() == 0 ? 4 : (count > 0 && groups[0] != getegid() ? groups[0] : getegid());
    if (other == getegid()) GTEST_SKIP() << "no second group to give the file";
    ASSERT_EQ(::chown(QFile::encodeName(StorePath()).constData(), owner, other), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(StorePath()).constData(), 0640), 0);
    Session();
    EXPECT_EQ(StatOf().st_mode & 07777, 0640u);
    EXPECT_EQ(StatOf().st_uid, owner);
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
    const QByteArray both =
        "[Another%20Program]\nColour=pink\n[Dravon]\nCurrent%20mode=\" 2\"\nWindow%20X=\" 3000\"\nWindow%20Y=\" "
        "1500\"\n";
    EXPECT_EQ(Bytes(), both);

    // Another program holds the lock QSettings' writers take while ours
    // ends, and writes: ours waits for it, then edits what it wrote.
    StoreRaw("[Another%20Program]\nColour=blue\n[Dravon]\nCurrent%20mode=1\n");
    int locked[2];
    ASSERT_EQ(::pipe(locked), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        QLockFile lock(StorePath() + ".lock");
        const bool held = lock.tryLock(0);
        (void)!::write(locked[1], held ? "1" : "0", 1);
        ::usleep(500000);
        QSaveFile file(StorePath());
        file.open(QIODevice::WriteOnly);
        file.write("[Another%20Program]\nColour=pink\n[Dravon]\nCurrent%20mode=1\n");
        ::_exit(file.commit() && held ? 0 : 1);
    }
    char held = 0;
    ASSERT_EQ(::read(locked[0], &held, 1), 1);
    Session();
    int status = -1;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(held == '1' && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Bytes(), both);

    // A writer that takes no lock, between the last reading and the rename:
    // the file is not replaced over what it wrote.
    QString why;
    EXPECT_EQ(ReplaceFile(StorePath(), "[Dravon]\n", ReadSettingsFile(StorePath() + ".gone").stamp, why),
              Replaced::ChangedMeanwhile);
    EXPECT_EQ(Bytes(), both);
    EXPECT_EQ(Listing(), QStringList{"Orvane.conf"});
}

TEST_F(SettingsFile, ReadOnlyDamagedFileIsLeftAsItWas) {
    const QByteArray damaged = "[Dravon]\nCurrent%20mode=\" 1\"\n[Broken\n";
    StoreRaw(damaged);
    ASSERT_EQ(::chmod(QFile::encodeName(StorePath()).constData(), 0444), 0);
    for (int start = 1; start <= 3; ++start) {
        const std::string said = Session([] {}, 2);
        EXPECT_NE(said.find("Orvane.conf is left as it is and the settings are not saved: it is read-only"),
                  std::string::npos)
            << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << "once a run: " << said;
    }
    EXPECT_EQ(Bytes(), damaged);
    EXPECT_EQ(Listing(), QStringList{"Orvane.conf"});
}

namespace {

// A settings file as QSettings writes one from random keys and values of
// many kinds, then mangled as people and other programs leave files. Sound
// where nothing in it is damaged.
QByteArray GeneratedFile(std::mt19937& random, bool& sound) {
    auto pick = [&](qsizetype n) { return qsizetype(random() % n); };
    auto text = [&] {
        const QString chars = QStringLiteral(
            " \t\"\\;,=@%[]\n\r\x01"
            "aZ9\u00e9\u0416\ufeff");
        QString result;
        for (qsizetype n = pick(8); n-- > 0;) result += chars[pick(chars.size())];
        return result;
    };
    const QStringList groups = {"Dravon", "Another Program", "General", "Dravon/Sub", "\u00fcn\u00ef"};
    const QStringList keys = {
        "Current mode", "Window X", "Window Y", "Colour", "a/b", "x=y;z", "\u043a\u043b\u044e\u0447"};
    QTemporaryFile file;
    if (!file.open()) return {};
    {
        QSettings settings(file.fileName(), QSettings::IniFormat);
        for (qsizetype n = pick(12); n-- > 0;) {
            const QVariant values[] = {text(),
                                       int(random()),
                                       double(random()) / 7,
                                       QStringList{text(), text()},
                                       text().toUtf8() + char(random()),
                                       QRect(1, 2, int(pick(9)), 4),
                                       QDateTime::fromSecsSinceEpoch(random(), QTimeZone::utc()),
                                       QVariantList{1, text()}};
            const QString group = pick(4) ? groups[pick(groups.size())] + '/' : QString();
            settings.setValue(group + keys[pick(keys.size())], values[pick(std::size(values))]);
        }
    }
    // Changes as people and other programs make them, then what damages a
    // file: an open quote, a line run on, a header not closed, a NUL byte, a
    // character cut short; each at the start of a line (^), its end ($), the
    // start of the file (0) or anywhere.
    const std::pair<char, QByteArray> changes[] = {{'^', "; a comment \"with a quote\n"},
                                                   {'^', " \t"},
                                                   {'0', "Dravon\\Current%20mode=1\n"},
                                                   {'^', "[Dravon]\n"},
                                                   {'^', "[%U0x44ravon]\n"},
                                                   {'$', " ; a note"},
                                                   {'^', "\xef\xbb\xbf"},
                                                   {'*', "\""},
                                                   {'$', "\\"},
                                                   {'^', "[Broken\n"},
                                                   {'*', QByteArray("\0", 1)},
                                                   {'*', "\xe2\x82"}};
    QByteArray bytes = file.readAll();
    sound = true;
    for (qsizetype n = pick(5); n-- > 0;) {
        const auto& [where, change] = changes[pick(std::size(changes))];
        sound = sound && &change < &changes[7].second;
        qsizetype at = where == '0' ? 0 : pick(bytes.size() + 1);
        if (where == '^') at = at > 0 ? bytes.lastIndexOf('\n', at - 1) + 1 : 0;
        if (where == '$') at = bytes.indexOf('\n', at) < 0 ? bytes.size() : bytes.indexOf('\n', at);
        bytes.insert(at, change);
    }
    const char* const spellings[] = {"%U0020", "%U0x20", "%U+020", "%U 020", "%20"};
    bytes.replace("%20", spellings[pick(std::size(spellings))]);
    bytes.replace('\n', pick(3) == 0 ? "\r\n" : pick(4) == 0 ? "\r" : "\n");
    if (pick(4) == 0) bytes.prepend("\xef\xbb\xbf");
    if (pick(3) == 0) bytes.chop(1);
    return bytes;
}

}  // namespace

TEST(SettingsEdit, QSettingsJudgesEditsOfGeneratedFiles) {
    std::mt19937 random(36);
    QElapsedTimer time;
    time.start();
    int files = 0;
    int refused = 0;
    for (; files < 5000 && time.elapsed() < 3000; ++files) {
        bool sound = false;
        const QByteArray before = GeneratedFile(random, sound);
        const QVariant stored = test_support::ReadByQSettings(before).value("Dravon/Window X");
        // As the program writes them; now and then the value the file holds.
        const std::map<QString, QString> values = {{"Dravon/Current mode", random() % 2 ? " 2" : " 0"},
                                                   {"Dravon/Window X", random() % 3 ? stored.toString() : "-300"},
                                                   {"Dravon/Window Y", random() % 2 ? " 1500" : "\"1\\5\";\n"}};
        const std::string fault = test_support::EditFault(before, values, sound);
        ASSERT_EQ(fault, "") << "file " << files << (sound ? " (sound)" : "") << ":\n" << before.toStdString();
        const std::optional<QVariantMap> reading = QSettingsReading(before);
        refused += reading && !EditSettings(before, *reading, values).refusal.isEmpty();
    }
    std::printf("%d generated files in %lld ms, %d edits refused on damaged ones\n", files, time.elapsed(), refused);
}
