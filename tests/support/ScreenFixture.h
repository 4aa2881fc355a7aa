#pragma once
#include "TestDb.h"
#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/ScriptedDialogs.h"
// The screen's parts, whole, for the tests that reach them as a user does.
#include "platform/ui/DockToolbar.h"
#include "platform/ui/ListControl.h"
#include "platform/ui/LogList.h"
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// A screen on a fresh demo database with scripted boxes, a host folder (with Def)
// and a working folder. Any box the test did not script fails the test.
class ScreenFixture : public ::testing::Test {
protected:
    void SetUp() override;
    // The database the screen works on: SQLite unless a parameterised fixture says otherwise.
    virtual QString backend() const { return QStringLiteral("sqlite"); }
    // How long the screen's connection waits for another writer.
    virtual int lockTimeoutMs() const { return Connection::DefaultLockTimeoutMs; }
    void TearDown() override;

    // Writes a file (Windows-1252 text) into the host's Def folder or the working folder.
    void writeDef(const QString& name, const QByteArray& content) { scriviFile(appPath() + "/Def/" + name, content); }
    void writeData(const QString& name, const QByteArray& content) { scriviFile(workingFolder() + '/' + name, content); }
    // No test reaches the real rate service: the web answers this rate (0, none known, unless a test says otherwise).
    void cambioWeb(double cambio);
    Connection& conn() { return global->Database().Connection(); }
    // The log's rows, each as its three columns joined by '|'.
    QStringList log() const;
    // The boxes shown, as "title: text".
    QStringList box() const;
    QString appPath() const { return host.filePath(QStringLiteral("app")); }
    QString workingFolder() const { return host.filePath(QStringLiteral("lavoro")); }

    QTemporaryDir host;
    std::unique_ptr<TestDb> db;
    std::unique_ptr<CGlobal> global;
    ScriptedDialogs dialogs;
    std::unique_ptr<ctlVevAre> screen;
};
