#pragma once

// A test fixture around the settings file in the test's private settings
// folder, and the program itself, started up and ended on a real window.

#include "program.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace pelmora::test_support {

// Each test has a settings folder of its own,
// so that no test sees what another left behind, whatever their order.
class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid() && folder.path().startsWith(QDir::tempPath()))
            << "tests must not use the real settings";
        runFolder = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
        storePath = folder.filePath("Orvane.conf");
    }
    // Back to the run's own folder, which outlives every test.
    void TearDown() override { qputenv("XDG_CONFIG_HOME", runFolder); }

    static QString StorePath() { return storePath; }

    static void Store(const std::map<QString, QString>& values) {
        QSettings settings(StorePath(), QSettings::IniFormat);
        for (const auto& [key, value] : values) settings.setValue(QStringLiteral("Dravon/") + key, value);
    }

    static void StoreRaw(const QByteArray& bytes) {
        QFile file(StorePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QVariant Stored(const QString& key) {
        return QSettings(StorePath(), QSettings::IniFormat).value(QStringLiteral("Dravon/") + key);
    }

    // Starts the program as it starts: its own store and window, started up.
    static std::unique_ptr<Program> Start() { return std::make_unique<Program>(); }
    // What the program does when it ends, short of ending.
    static void ShutDown(Program& program) { program.Window().Presenter().EndProgram(); }

    QTemporaryDir folder;
    QByteArray runFolder;
    static inline QString storePath;
};

}  // namespace pelmora::test_support
