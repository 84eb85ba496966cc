#include "damaged_copy.h"

#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace pelmora {

namespace {

QString Reason(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

FileStamp StampFrom(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_mode};
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        left -= written;
    }
    return true;
}

// Gives the complete file `from` the name `to` unless that name is taken.
bool RenameWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
    // Some file systems cannot rename without replacing; a second link can.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    if (::link(from.constData(), to.constData()) != 0) return false;
    ::unlink(from.constData());
    return true;
}

// A temporary file in the folder of `path`, removed unless it was renamed.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const QString& path) {
        const QFileInfo info(path);
        name_ =
            QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
        fd_ = ::mkostemp(name_.data(), O_CLOEXEC);  // created 0600: private from the start
    }
    ~TemporaryCopy() {
        if (fd_ >= 0) ::close(fd_);
        if (!renamed_) ::unlink(name_.constData());
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    bool Made() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    QString Name() const { return QFile::decodeName(name_); }
    bool Close() {
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0;
    }
    bool RenameTo(const QByteArray& name) { return renamed_ = RenameWithoutReplacing(name_, name); }

private:
    QByteArray name_;
    int fd_ = -1;
    bool renamed_ = false;
};

bool Parses(const QString& fileName) {
    QSettings settings(fileName, QSettings::IniFormat);
    (void)settings.allKeys();  // each group is parsed only when asked for
    return settings.status() != QSettings::FormatError;
}

}  // namespace

std::optional<FileStamp> StampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return StampFrom(info);
}

std::optional<FileBytes> ReadFile(const QString& path, QString& why) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = Reason(QStringLiteral("it cannot be opened"));
        return std::nullopt;
    }
    FileBytes file;
    struct stat info {};
    qsizetype got = -1;
    if (::fstat(fd, &info) == 0) {
        file.stamp = StampFrom(info);
        file.bytes.resize(info.st_size);
        for (got = 0; got < file.bytes.size();) {
            const ssize_t n = ::read(fd, file.bytes.data() + got, static_cast<size_t>(file.bytes.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) got = -1;
            if (n <= 0) break;
            got += n;
        }
    }
    if (got < 0) why = Reason(QStringLiteral("it cannot be read"));
    // Shorter or longer than its size said: it is being written.
    char extra = 0;
    const bool whole = got == file.bytes.size() && ::read(fd, &extra, 1) == 0;
    if (got >= 0 && !whole) why = QStringLiteral("it changed while it was read");
    ::close(fd);
    return whole ? std::optional(std::move(file)) : std::nullopt;
}

std::optional<QString> KeepIfDamaged(const QString& path, const FileBytes& file, bool damaged) {
    // The check and the copy are one file, in the settings folder: no other
    // folder has to be usable, and a damaged file's copy is made once.
    TemporaryCopy copy(path);
    if (!copy.Made()) return Reason(QStringLiteral("no file can be made beside it"));
    if (!WriteAll(copy.Fd(), file.bytes)) return Reason(QStringLiteral("its copy cannot be written"));
    if (!damaged && Parses(copy.Name())) return std::nullopt;

    // The original's permissions: it may hold other programs' private values.
    if (::fchmod(copy.Fd(), file.stamp.mode & 0777) != 0)
        return Reason(QStringLiteral("its copy cannot be made private"));
    if (::fsync(copy.Fd()) != 0) return Reason(QStringLiteral("its copy cannot be synced"));
    if (!copy.Close()) return Reason(QStringLiteral("its copy cannot be closed"));

    const QByteArray base = QFile::encodeName(path) + ".damaged";
    for (int n = 1; n <= 100; ++n) {
        if (copy.RenameTo(n == 1 ? base : base + '.' + QByteArray::number(n))) {
            // The new name, durable too.
            const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                                      O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            const bool synced = folder >= 0 && ::fsync(folder) == 0;
            if (folder >= 0) ::close(folder);
            if (!synced) return Reason(QStringLiteral("the folder of its copy cannot be synced"));
            return std::nullopt;
        }
        if (errno != EEXIST) return Reason(QStringLiteral("its copy cannot be named"));
    }
    return QStringLiteral("every name for its copy is taken");
}

}  // namespace pelmora
