#include "settings_file.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace pelmora {

namespace {

QString Reason(const char* what) {
    return QString::fromUtf8(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

bool WriteAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += written;
    }
    return true;
}

FileStamp StampOf(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

// The file a name stands for, symbolic links followed as far as they go (a
// link to no file yet included), relative ones from the link's own folder;
// nothing where the links go round.
std::optional<QByteArray> Target(const QString& path) {
    QByteArray name = QFile::encodeName(path);
    for (int links = 0; links < 40; ++links) {
        char target[PATH_MAX];
        const ssize_t size = ::readlink(name.constData(), target, sizeof target);
        if (size < 0) return name;
        if (size == sizeof target) return std::nullopt;
        const QByteArray next(target, size);
        name = next.startsWith('/') ? next : name.left(name.lastIndexOf('/') + 1) + next;
    }
    return std::nullopt;
}

}  // namespace

bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec && a.changed.tv_sec == b.changed.tv_sec &&
           a.changed.tv_nsec == b.changed.tv_nsec;
}

FileRead ReadSettingsFile(const QString& path) {
    FileRead file;
    // Not blocking: a pipe in the file's place must not hang the program.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR) file.failure = Reason("it cannot be opened");
        return file;
    }
    file.exists = true;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        file.failure = QStringLiteral("it is not a regular file");
    } else {
        file.stamp = StampOf(info);
        file.bytes.resize(info.st_size);
        qsizetype got = 0;
        for (ssize_t n = 1; n != 0;) {
            // One byte more than the size said, to see that it ends there.
            if (got == file.bytes.size()) file.bytes.resize(got + 4096);
            n = ::read(fd, file.bytes.data() + got, static_cast<size_t>(file.bytes.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                file.failure = Reason("it cannot be read");
                break;
            }
            got += n;
        }
        file.bytes.truncate(got);
    }
    ::close(fd);
    if (!file.failure.isEmpty()) file.bytes.clear();
    return file;
}

Replaced ReplaceFile(const QString& path, const QByteArray& bytes, const FileStamp& read, QString& why) {
    const std::optional<QByteArray> target = Target(path);
    if (!target) {
        why = QStringLiteral("its symbolic links go round in a loop");
        return Replaced::Failed;
    }
    const QString folder = QFileInfo(QFile::decodeName(*target)).absolutePath();
    struct stat original = {};
    const bool exists = ::stat(target->constData(), &original) == 0;
    // Read-only for everyone is read-only for root too.
    if (exists && ((original.st_mode & 0222) == 0 || ::access(target->constData(), W_OK) != 0)) {
        why = QStringLiteral("it is read-only");
        return Replaced::Failed;
    }

    const QByteArray prefix =
        QFile::encodeName(folder) + "/." + QFileInfo(QFile::decodeName(*target)).fileName().toUtf8();
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = prefix + '.' + QByteArray::number(::getpid()) + '.' + QByteArray::number(attempt);
        // Private until it has the original's owner and mode; a new file
        // takes the umask, as any file the user makes.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        why = Reason("no file can be made beside it");
        return Replaced::Failed;
    }

    std::optional<QString> failure;
    if (exists) {
        mode_t mode = original.st_mode & 07777;
        // A group that cannot be kept must not be given the group's rights.
        if (::fchown(fd, original.st_uid, original.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), original.st_gid) != 0) {
            mode &= ~static_cast<mode_t>(S_IRWXG);
        }
        if (::fchmod(fd, mode) != 0) failure = Reason("its permissions cannot be kept");
    }
    if (!failure && !WriteAll(fd, bytes)) failure = Reason("it cannot be written");
    if (!failure && ::fsync(fd) != 0) failure = Reason("it cannot be synced");
    if (::close(fd) != 0 && !failure) failure = Reason("it cannot be written");
    // The last look before the rename: a writer that takes no lock may have
    // saved since the file was read.
    struct stat now = {};
    const FileStamp current = ::stat(target->constData(), &now) == 0 ? StampOf(now) : FileStamp{};
    const bool changed = !failure && !(current == read);
    if (!failure && !changed && ::rename(temporary.constData(), target->constData()) != 0) {
        failure = Reason("it cannot be replaced");
    }
    if (failure || changed) {
        ::unlink(temporary.constData());
        why = failure.value_or(QString());
        return changed ? Replaced::ChangedMeanwhile : Replaced::Failed;
    }
    // The new name durable too, where the file system allows.
    if (const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return Replaced::Done;
}

PrivateCopy::PrivateCopy(const QByteArray& bytes) {
    // A time of its own for every copy, so that no reading QSettings kept
    // of an earlier copy under the same name is taken for this one.
    static std::int64_t copies = 0;
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(++copies), 0}};
    auto fill = [&](int fd) { return WriteAll(fd, bytes) && ::futimens(fd, times) == 0; };
    // In memory, where the system has such files and names them.
    fd_ = ::memfd_create("settings", MFD_CLOEXEC);
    const QByteArray inMemory = "/proc/self/fd/" + QByteArray::number(fd_);
    if (fd_ >= 0 && fill(fd_) && ::access(inMemory.constData(), R_OK) == 0) {
        name_ = QString::fromLatin1(inMemory);
        return;
    }
    if (fd_ >= 0) ::close(fd_);
    QByteArray temporary = QFile::encodeName(QDir::tempPath()) + "/.pelmora-XXXXXX";
    fd_ = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd_ < 0) return;
    temporary_ = temporary;
    if (fill(fd_)) name_ = QFile::decodeName(temporary);
}

PrivateCopy::~PrivateCopy() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
}

}  // namespace pelmora
