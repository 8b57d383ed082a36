// CliRunner: runs the orvix-cli under test as a child process and writes the files its commands read.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct CliResult {
    int code = -1; // -1 when the program did not finish
    QByteArray out;
    QString err;
    // Standard output read as UTF-8.
    QString text() const { return QString::fromUtf8(out); }
};

// One run with `args`, offscreen, waiting up to a minute.
CliResult cli(const QStringList &args);
// Writes `bytes` to `path`, failing the current test when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);
