#pragma once

// A test fixture around the settings file in the test's private settings
// folder, and the program's start-up and shut-down run on a real window.

#include "lifecycle.h"
#include "main_window.h"
#include "qt_settings_store.h"

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

// Each test has a settings folder of its own, user and system scope alike,
// so that no test sees what another left behind, whatever their order.
class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid() && folder.path().startsWith(QDir::tempPath()))
            << "tests must not use the real settings";
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, folder.filePath("system"));
        storePath = folder.filePath("Orvane.conf");
    }
    // Back to the run's own folder, which outlives every test.
    void TearDown() override {
        for (auto scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(QSettings::NativeFormat, scope, qEnvironmentVariable("XDG_CONFIG_HOME"));
        }
    }

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

    // Starts a window the way the program does and hands it back.
    static std::unique_ptr<Form1> Start() {
        auto form = std::make_unique<Form1>();
        QtSettingsStore store;
        StartUp(*form, store);
        return form;
    }
    static void StartUp(Form1& form, SettingsStore& store) {
        pelmora::StartUp(form.State(), form.Placement(), store);
        form.ShowState();
    }

    static void ShutDown(Form1& form) {
        QtSettingsStore store;
        ShutDown(form, store);
    }
    static void ShutDown(Form1& form, SettingsStore& store) { SaveOnShutDown(form.State(), form.Placement(), store); }

    QTemporaryDir folder;
    static inline QString storePath;
};

}  // namespace pelmora::test_support
