#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

#include <optional>

namespace pelmora {

// What tells cheaply whether a file still holds the bytes it held: which
// file it is, its size and its modification time to the nanosecond.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    mode_t mode = 0;
    friend bool operator==(const FileStamp& a, const FileStamp& b) {
        return a.device == b.device && a.inode == b.inode && a.size == b.size &&
               a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
    }
};

// The stamp of the regular file at `path` (symbolic links followed);
// nothing where there is no regular file.
std::optional<FileStamp> StampOf(const QString& path);

// A file's bytes with the stamp they were read under.
struct FileBytes {
    FileStamp stamp;
    QByteArray bytes;
};

// Reads the regular file at `path`; on failure `why` says why.
std::optional<FileBytes> ReadFile(const QString& path, QString& why);

// Whether `bytes` parse as a settings file, and if not, a copy of them kept
// beside `path`, as private as the original: written under a temporary name
// in the same folder, flushed and synced, then named `path`.damaged, or
// .damaged.2, .damaged.3, ... (the first free name; an older copy is never
// replaced). `damaged` says the bytes are already known not to parse.
// Returns why no complete copy could be kept, or nothing once the bytes are
// safe: sound, or copied.
std::optional<QString> KeepIfDamaged(const QString& path, const FileBytes& file, bool damaged);

}  // namespace pelmora
