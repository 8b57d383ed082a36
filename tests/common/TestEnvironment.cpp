// TestEnvironment: isolation of preferences and the Ui seam.
#include "TestEnvironment.h"

#include "Preferences.h"

TestEnvironment::TestEnvironment()
{
    Preferences::instance().useFile(m_dir.filePath(QStringLiteral("preferences.ini")));
    Preferences::instance().registerDefaults();
    Ui::install(&m_ui);
}

TestEnvironment::~TestEnvironment()
{
    Ui::install(nullptr);
    Preferences::instance().useFile(QString());
}
