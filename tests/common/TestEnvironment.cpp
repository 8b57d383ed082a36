// TestEnvironment: isolation of preferences and the Ui seam.
#include "TestEnvironment.h"

#include "Preferences.h"

TestEnvironment::TestEnvironment()
{
    Preferences::instance().useFile(m_dir.filePath(QStringLiteral("preferences.ini")));
    Preferences::instance().registerDefaults();
    // The user's data folders (colour styles among them) are the test's own too.
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toLocal8Bit());
    Ui::install(&m_ui);
}

TestEnvironment::~TestEnvironment()
{
    Ui::install(nullptr);
    Preferences::instance().useFile(QString());
    qunsetenv("XDG_DATA_HOME");
}
