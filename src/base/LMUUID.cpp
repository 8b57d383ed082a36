// LMUUID: uuidgen as a child process, and the cheap random() form.
#include "LMUUID.h"

#include "ReferenceDate.h"

#include <QDir>
#include <QProcess>
#include <QUuid>
#include <cmath>
#include <cstdlib>
#include <mutex>

QString LMUUID::generate()
{
    QProcess process;
    process.setWorkingDirectory(QDir::tempPath());
    process.start(QStringLiteral("/usr/bin/uuidgen"), QStringList());
    QString text;
    if (process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        text = QString::fromLatin1(process.readAllStandardOutput());
    // The tool ends its output with a line feed; a name used as a directory must not carry it.
    text = text.trimmed();
    if (text.isEmpty())
        text = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return text;
}

QString LMUUID::generateFast()
{
    static std::once_flag seeded;
    std::call_once(seeded, [] { srandom(static_cast<unsigned>(std::llround(ReferenceDate::now()))); });
    QString out;
    for (int i = 0; i < 5; ++i)
        out += QString::number(static_cast<qulonglong>(random()), 16);
    return out;
}
