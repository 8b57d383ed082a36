// SqlServers: private PostgreSQL and MariaDB servers on 127.0.0.1 for loading exported scripts, stopped when dropped.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// One server of a test: started in a temporary folder on a free loopback port, run with its own client.
class SqlServer {
public:
    virtual ~SqlServer() = default;
    // False with `error` set when the server's programs are missing or it does not come up.
    virtual bool start(QString *error) = 0;
    // Runs `script` with the server's client, stopping at the first error; the client's standard error
    // (empty when it loaded) in `error`.
    virtual bool load(const QString &scriptPath, QString *error) = 0;
    // The rows of `select`, one line each, fields separated by tabs, NULL written "NULL".
    virtual QString query(const QString &select, QString *error) = 0;
    // Whether the programs are there at all (a missing one is a failed install, not a failed server).
    virtual bool installed() const = 0;
};

std::unique_ptr<SqlServer> makePostgresServer();
std::unique_ptr<SqlServer> makeSqliteFile();
std::unique_ptr<SqlServer> makeMariaDbServer();
