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
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>

using namespace pelmora;

// Faults of the file system and of other programs, in the calls the store
// makes on the settings file and its temporary copy: each call below is the
// system's own unless a fault is armed and the call is on one of those.
namespace {

enum class Fault { None, CloseFails, RenameFails, ReadFails, SizeReadsZero, EditedWhileSaved, EditedAtEverySave };
std::atomic<Fault> armed{Fault::None};
std::atomic<bool> editedOnce{false};
void Arm(Fault fault) {
    editedOnce = false;
    armed = fault;
}

// What an open file descriptor names: "file" for the settings file, "copy"
// for its temporary copy, "" for anything else.
std::string Named(int fd) {
    char path[PATH_MAX] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    if (::readlink(link.c_str(), path, sizeof path - 1) < 0) return "";
    const std::string name = path;
    if (name.find("/.Orvane.conf.") != std::string::npos) return "copy";
    return name.size() > 12 && name.compare(name.size() - 12, 12, "/Orvane.conf") == 0 ? "file" : "";
}
bool On(Fault fault, int fd, const char* what) { return armed == fault && Named(fd) == what; }

// Another program edits the settings file in place, same size, and puts its
// time stamp back: "blue" becomes "pink".
void EditInPlace(const char* path) {
    struct stat before = {};
    const int fd = static_cast<int>(::syscall(SYS_open, path, O_RDWR));
    if (fd < 0 || ::syscall(SYS_fstat, fd, &before) != 0) return;
    std::string bytes(static_cast<std::size_t>(before.st_size), '\0');
    if (::syscall(SYS_pread64, fd, bytes.data(), bytes.size(), 0) == before.st_size) {
        if (const auto at = bytes.find("blue"); at != std::string::npos) {
            (void)::syscall(SYS_pwrite64, fd, "pink", 4, at);
        }
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    (void)::syscall(SYS_utimensat, fd, nullptr, times, 0);
    ::syscall(SYS_close, fd);
}

std::string settingsFile;  // the path EditInPlace edits

}  // namespace

extern "C" int close(int fd) {
    const bool fails = On(Fault::CloseFails, fd, "copy");
    const long closed = ::syscall(SYS_close, fd);
    if (!fails) return static_cast<int>(closed);
    errno = EIO;
    return -1;
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (armed == Fault::RenameFails && std::strstr(from, "/.Orvane.conf.")) return errno = EACCES, -1;
    return static_cast<int>(::syscall(SYS_rename, from, to));
}

extern "C" ssize_t read(int fd, void* buffer, size_t size) {
    if (On(Fault::ReadFails, fd, "file")) return errno = EIO, -1;
    return ::syscall(SYS_read, fd, buffer, size);
}

extern "C" int fstat(int fd, struct stat* info) noexcept {
    const long done = ::syscall(SYS_fstat, fd, info);
    if (done == 0 && On(Fault::SizeReadsZero, fd, "file")) info->st_size = 0;
    return static_cast<int>(done);
}

extern "C" int stat(const char* path, struct stat* info) noexcept {
    const long done = ::syscall(SYS_stat, path, info);
    if (done == 0 && armed == Fault::SizeReadsZero && path == settingsFile) info->st_size = 0;
    return static_cast<int>(done);
}

extern "C" int fsync(int fd) {
    if ((On(Fault::EditedWhileSaved, fd, "copy") && !editedOnce.exchange(true)) ||
        On(Fault::EditedAtEverySave, fd, "copy")) {
        EditInPlace(settingsFile.c_str());
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

class SettingsFile : public test_support::SettingsFixture {
protected:
    // One run of the program's store: read at start, the three values saved
    // at the end (and at each save the session asked for before); what it
    // said on standard error.
    static std::string Session(const std::function<void()>& meanwhile = {}, int saves = 1) {
        testing::internal::CaptureStderr();
        QtSettingsStore store;
        (void)store.GetSetting("Orvane", "Dravon", "Current mode", "1");
        if (meanwhile) meanwhile();
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
        struct stat info = {};
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
    // link (relative, absolute, or a chain of two); a pipe, a file that
    // cannot be read, a temporary name another run left beside it, or an
    // empty lock left 6 s ago by a writer that died as it took it.
    enum Place { Plain, NoFolder, Link, AbsoluteLink, LinkChain, Pipe, Unreadable, Leftover, EmptyLock };
    const struct {
        const char* what;
        QByteArray before, after;
        Place place = Plain;
        const char* told = nullptr;  // why it is left as it is, on standard error
        Fault fault = Fault::None;   // what the system does meanwhile
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
         "[Other]\nColour=blue\n[Dravon]\nWindow%20X=\"12\n[Other]\nColour=red\n\"\n", Plain,
         "the edit would change another value, Other/Colour"},
        {"a header with blanks, as written by hand", "[ Dravon ]\nCurrent%20mode=1\n", "[ Dravon ]\n" + ours},
        {"a value of ours run on over four lines, ours among them, the last empty at the end",
         "[Other]\nA=1\n[Dravon]\nWindow%20X=1\\\nWindow%20Y=2\\\nCurrent%20mode=3\\\n",
         "[Other]\nA=1\n[Dravon]\nWindow%20X=\" 3000\"\nWindow%20Y=\" 1500\"\nCurrent%20mode=\" 2\"\n"},
        {"CR lines without the group", "[Other]\rA=1\r",
         "[Other]\rA=1\r\r[Dravon]\rCurrent%20mode=\" 2\"\rWindow%20X=\" 3000\"\rWindow%20Y=\" 1500\"\r"},
        {"the same values, spelled otherwise: no write",
         "Dravon\\Window%20Y=\" 1500\"\n[Dravon]\nCurrent%20mode = \" \\x32\" ; by hand\nWindow%20X=\" 3000\"\n",
         "Dravon\\Window%20Y=\" 1500\"\n[Dravon]\nCurrent%20mode = \" \\x32\" ; by hand\nWindow%20X=\" 3000\"\n"},
        {"values of every kind",
         "[Dravon]\nCurrent%20mode=@Rect(1 2)\nWindow%20X=@@1, 2\nWindow%20Y=@ByteArray(\\x8d\\x1)\nSub\\x=1\n"
         "[Dravon\\Sub]\nx=2\n[Other]\nWhen=@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0\\0\\0%"
         "\\x84\\xe3\\0\\xa8\\x88\\x88\\x1)\n"
         "Quoted=\"a\"  \nCut=\xe2\x82\nNan=@Variant(\\0\\0\\0\\x6\\x7f\\xf8\\0\\0\\0\\0\\0\\0)\n",
         "[Dravon]\nCurrent%20mode=\" 2\"\nWindow%20X=\" 3000\"\nWindow%20Y=\" 1500\"\nSub\\x=1\n"
         "[Dravon\\Sub]\nx=2\n[Other]\nWhen=@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0\\0\\0%"
         "\\x84\\xe3\\0\\xa8\\x88\\x88\\x1)\n"
         "Quoted=\"a\"  \nCut=\xe2\x82\nNan=@Variant(\\0\\0\\0\\x6\\x7f\\xf8\\0\\0\\0\\0\\0\\0)\n"},
        {"the same values: no write", "[Dravon]\r\n" + ours, "[Dravon]\r\n" + ours},
        {"behind a symbolic link to a file", "[Other]\nA=1\n", "[Other]\nA=1\n\n[Dravon]\n" + ours, Link},
        {"behind a symbolic link to no file yet", "(none)", "[Dravon]\n" + ours, Link},
        {"behind an absolute symbolic link", "[Other]\nA=1\n", "[Other]\nA=1\n\n[Dravon]\n" + ours, AbsoluteLink},
        {"behind a chain of two symbolic links", "[Other]\nA=1\n", "[Other]\nA=1\n\n[Dravon]\n" + ours, LinkChain},
        {"a pipe: not read, not replaced", "(pipe)", "(pipe)", Pipe, "it is not a regular file"},
        {"a file that cannot be read", "[Dravon]\nCurrent%20mode=1\n", "[Dravon]\nCurrent%20mode=1\n", Unreadable,
         "it cannot be opened: Permission denied"},
        {"a read error: not written from nothing", "[Other]\nA=1\n", "[Other]\nA=1\n", Plain,
         "it cannot be read: Input/output error", Fault::ReadFails},
        {"a size that reads as 0: read to its end", "[Other]\nA=1\n", "[Other]\nA=1\n\n[Dravon]\n" + ours, Plain,
         nullptr, Fault::SizeReadsZero},
        {"a copy whose close reports an error: not renamed", "[Other]\nA=1\n", "[Other]\nA=1\n", Plain,
         "it cannot be written: Input/output error", Fault::CloseFails},
        {"a rename that fails: no copy left", "[Other]\nA=1\n", "[Other]\nA=1\n", Plain,
         "it cannot be replaced: Permission denied", Fault::RenameFails},
        {"another program's edit in place as it is saved, its time put back: kept", "[Other]\nColour=blue\n",
         "[Other]\nColour=pink\n\n[Dravon]\n" + ours, Plain, nullptr, Fault::EditedWhileSaved},
        {"another program that edits it at every save: left to it, at last", "[Other]\nColour=blue\n",
         "[Other]\nColour=pink\n", Plain, "another program keeps writing it", Fault::EditedAtEverySave},
        {"a temporary name left by an earlier run", "", "[Dravon]\n" + ours, Leftover},
        {"an empty lock a writer left as it died", "", "[Dravon]\n" + ours, EmptyLock},
    };
    const QString leftover = QStringLiteral(".Orvane.conf.%1.0").arg(::getpid());
    for (const auto& row : rows) {
        const bool linked = row.place == Link || row.place == AbsoluteLink || row.place == LinkChain;
        const QString file = linked ? folder.filePath("dots/Orvane.conf") : StorePath();
        settingsFile = QFile::encodeName(file).toStdString();
        if (row.place == NoFolder) {
            ASSERT_TRUE(QDir(folder.path()).removeRecursively());
        } else if (row.place == Link) {
            ASSERT_TRUE(QDir(folder.path()).mkpath("dots") && QFile::link("dots/Orvane.conf", StorePath()));
        } else if (row.place == AbsoluteLink) {
            ASSERT_TRUE(QDir(folder.path()).mkpath("dots") && QFile::link(file, StorePath()));
        } else if (row.place == LinkChain) {
            ASSERT_TRUE(QDir(folder.path()).mkpath("dots") && QFile::link("dots/shared.conf", StorePath()) &&
                        QFile::link("Orvane.conf", folder.filePath("dots/shared.conf")));
        } else if (row.place == Pipe) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(StorePath()).constData(), 0600), 0);
        } else if (row.place == Leftover) {
            ASSERT_TRUE(QFile(folder.filePath(leftover)).open(QIODevice::WriteOnly));
        } else if (row.place == EmptyLock) {
            QFile lock(StorePath() + ".lock");
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly) &&
                        lock.setFileTime(QDateTime::currentDateTime().addSecs(-6), QFileDevice::FileModificationTime));
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
        WithoutRootsReadRights(row.place == Unreadable, [&] {
            Arm(row.fault);
            said = Session();
            Arm(Fault::None);
        });
        ::alarm(0);
        ::umask(mask);
        if (row.place == Unreadable) ::chmod(QFile::encodeName(file).constData(), 0600);
        const bool pipe = S_ISFIFO(StatOf().st_mode);
        EXPECT_EQ((pipe ? QByteArray("(pipe)") : Bytes(file)).toStdString(), row.after.toStdString()) << row.what;
        const std::string reason = std::string("Orvane.conf is left as it is and the settings are not saved: ") +
                                   (row.told ? row.told : "") + "\n";
        EXPECT_TRUE(row.told ? said.size() >= reason.size() && said.ends_with(reason) : said.empty())
            << row.what << ": " << said;
        // A new file takes the umask, as any file the user makes.
        if (row.before == "(none)") {
            EXPECT_EQ(StatOf(file).st_mode & 0777, 0640u) << row.what;
        }
        EXPECT_EQ(QFileInfo(StorePath()).isSymLink(), linked) << row.what;
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

    // Run by a user other than root (uid 65534, in group 4 besides its own),
    // whose rights access() tells (root's it does not): a file the user may
    // not write is left; a group the user is not in cannot be kept, and then
    // gives nothing; a group the user is in is kept, the owner though not.
    if (geteuid() != 0) return;
    ASSERT_EQ(::chown(QFile::encodeName(folder.path()).constData(), 65534, 65534), 0);
    const struct {
        uid_t owner;
        gid_t group;
        mode_t mode;
        uid_t ownerAfter;
        gid_t groupAfter;
        mode_t modeAfter;
        bool replaced;
    } users[] = {{0, 0, 0644, 0, 0, 0644, false},
                 {65534, 0, 0660, 65534, 65534, 0600, true},
                 {0, 4, 0666, 65534, 4, 0666, true}};
    for (const auto& user : users) {
        StoreRaw("[Other]\nSecret=1\n");
        ASSERT_EQ(::chown(QFile::encodeName(StorePath()).constData(), user.owner, user.group), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(StorePath()).constData(), user.mode), 0);
        int said[2];
        ASSERT_EQ(::pipe(said), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const gid_t groups[] = {4};
            if (::setgroups(1, groups) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            const std::string text = Session();
            ::_exit(::write(said[1], text.data(), text.size()) == ssize_t(text.size()) ? 0 : 3);
        }
        ::close(said[1]);
        char text[512] = {};
        const ssize_t got = ::read(said[0], text, sizeof text - 1);
        ::close(said[0]);
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        const struct stat after = StatOf();
        EXPECT_EQ(Bytes().contains("[Dravon]"), user.replaced) << user.mode << ": " << text;
        EXPECT_EQ(got > 0 && std::strstr(text, ": it is read-only\n"), !user.replaced) << text;
        EXPECT_EQ(after.st_uid, user.ownerAfter) << user.mode;
        EXPECT_EQ(after.st_gid, user.groupAfter) << user.mode;
        EXPECT_EQ(after.st_mode & 07777, user.modeAfter) << user.mode;
    }
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
    // ends, and writes once ours has come to the lock and looked whose it
    // is: ours waits for it, then edits what it wrote. The writer says when
    // it holds the lock, and when it has written.
    StoreRaw("[Another%20Program]\nColour=blue\n[Dravon]\nCurrent%20mode=1\n");
    int told[2];
    ASSERT_EQ(::pipe(told), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        QLockFile lock(StorePath() + ".lock");
        const bool held = lock.tryLock(0);
        const int watch = inotify_init1(IN_CLOEXEC);
        inotify_add_watch(watch, QFile::encodeName(StorePath() + ".lock").constData(), IN_OPEN);
        (void)!::write(told[1], held ? "h" : "-", 1);
        pollfd looked{watch, POLLIN, 0};
        const bool came = ::poll(&looked, 1, 10000) == 1;
        QSaveFile file(StorePath());
        file.open(QIODevice::WriteOnly);
        file.write("[Another%20Program]\nColour=pink\n[Dravon]\nCurrent%20mode=1\n");
        const bool written = file.commit();
        (void)!::write(told[1], written ? "w" : "-", 1);
        ::_exit(held && came && written ? 0 : 1);
    }
    char said[3] = {};
    ASSERT_EQ(::read(told[0], said, 1), 1);
    Session();
    ASSERT_EQ(::read(told[0], said + 1, 1), 1);
    int status = -1;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(std::string(said) == "hw" && WIFEXITED(status) && WEXITSTATUS(status) == 0) << said;
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
    // At least 1,000 files however slow the machine, more while 3 s allow.
    int files = 0;
    int refused = 0;
    for (; files < 5000 && (files < 1000 || time.elapsed() < 3000); ++files) {
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
    // A sound file's edit is never refused (EditFault above); damaged files
    // are refused now and then, but not all of them.
    EXPECT_TRUE(refused > 0 && refused < files / 2) << refused << " of " << files;
}
