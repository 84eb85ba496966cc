#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>
#include <cstdint>
#include <ctime>

namespace pelmora {

// Which file a name stood for, and when it was last written: another
// writer's save, even one that puts the old time back, changes it.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
};
bool operator==(const FileStamp& a, const FileStamp& b);

// A settings file as read: its bytes, or why it could not be read. No file
// (or no folder) reads as no bytes.
struct FileRead {
    bool exists = false;
    QByteArray bytes;
    QString failure;  // empty when read
    FileStamp stamp;
};
FileRead ReadSettingsFile(const QString& path);

enum class Replaced : std::uint8_t { Done, ChangedMeanwhile, Failed };

// Replaces the file at `path` with `bytes` in one step: written in full and
// synced under a temporary name beside it, with the original's mode, owner
// and group (where the group cannot be kept, without the group's
// permissions), then renamed over it, unless the file no longer has the
// stamp `read` by then. Symbolic links are followed as QSaveFile follows
// them, one to no file yet included, so a link stays a link. A new file
// takes the user's umask. On any failure, `why` says why and nothing is
// left behind.
Replaced ReplaceFile(const QString& path, const QByteArray& bytes, const FileStamp& read, QString& why);

// Bytes in a file that only this process sees, under a name that QSettings
// opens, which no earlier file of this process had: QSettings keeps what it
// read by name, size and time. Empty where no such file can be made.
class PrivateCopy {
public:
    explicit PrivateCopy(const QByteArray& bytes);
    ~PrivateCopy();
    PrivateCopy(const PrivateCopy&) = delete;
    PrivateCopy& operator=(const PrivateCopy&) = delete;

    const QString& Name() const { return name_; }

private:
    int fd_ = -1;
    QString name_;
    QByteArray temporary_;  // where there are no files in memory
};

}  // namespace pelmora
