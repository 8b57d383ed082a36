// CliRunner: the child process and the fixture files of the orvix-cli tests.
#include "CliRunner.h"

#include <QFile>
#include <QProcess>
#include <QTest>

CliResult cli(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVIX_CLI_PATH), args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
