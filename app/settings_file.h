#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pelmora {

// A settings file as read: its bytes, or why it could not be read. No file
// (or no folder) reads as no bytes.
struct FileRead {
    bool exists = false;
    QByteArray bytes;
    QString failure;  // empty when read
};
FileRead ReadSettingsFile(const QString& path);

// Replaces the file at `path` (a symbolic link followed, and kept) with
// `bytes` in one step: written in full and synced under a temporary name in
// the same folder, with the original's mode, owner and group (where the
// group cannot be kept, without the group's permissions), then renamed over
// it. A new file takes the user's umask. Returns why not;
// on a failure nothing is left behind.
std::optional<QString> ReplaceFile(const QString& path, const QByteArray& bytes);

}  // namespace pelmora
