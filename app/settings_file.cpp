#include "settings_file.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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

// The file a path names, symbolic links followed, so that a link stays one.
QByteArray Target(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    char resolved[PATH_MAX];
    return ::realpath(name.constData(), resolved) ? QByteArray(resolved) : name;
}

}  // namespace

FileRead ReadSettingsFile(const QString& path) {
    FileRead file;
    // Not blocking: a pipe in the file's place must not hang the program.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR) file.failure = Reason("it cannot be opened");
        return file;
    }
    file.exists = true;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        file.failure = QStringLiteral("it is not a regular file");
    } else {
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

std::optional<QString> ReplaceFile(const QString& path, const QByteArray& bytes) {
    const QByteArray target = Target(path);
    const QString folder = QFileInfo(QFile::decodeName(target)).absolutePath();
    struct stat original {};
    const bool exists = ::stat(target.constData(), &original) == 0;
    // Read-only for everyone is read-only for root too.
    if (exists && ((original.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0)) {
        return QStringLiteral("it is read-only");
    }

    const QByteArray prefix =
        QFile::encodeName(folder) + "/." + QFileInfo(QFile::decodeName(target)).fileName().toUtf8();
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = prefix + '.' + QByteArray::number(::getpid()) + '.' + QByteArray::number(attempt);
        // Private until it has the original's owner and mode; a new file
        // takes the umask, as any file the user makes.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Reason("no file can be made beside it");

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
    if (!failure && ::rename(temporary.constData(), target.constData()) != 0) failure = Reason("it cannot be replaced");
    if (failure) {
        ::unlink(temporary.constData());
        return failure;
    }
    // The new name durable too, where the file system allows.
    if (const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

}  // namespace pelmora
