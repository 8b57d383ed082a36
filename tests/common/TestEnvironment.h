// TestEnvironment: per-test-program isolation: preferences and user data in a temporary folder, the scripted Ui.
#pragma once

#include "ScriptedUi.h"

#include <QTemporaryDir>
#include <memory>

class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    ScriptedUi &ui() { return m_ui; }
    QString tempPath() const { return m_dir.path(); }
    // A fresh path inside the temporary directory (not created).
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    ScriptedUi m_ui;
};
