// SqlServers: each server lives in its own temporary folder, listens on 127.0.0.1 only and is stopped when dropped.
#include "SqlServers.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kTimeoutMs = 120000;

// A loopback port nobody listens on right now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &args, const QString &input = QString(),
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!input.isEmpty())
        process.setStandardInputFile(input);
    process.start(program, args);
    Run result;
    if (!process.waitForStarted(kTimeoutMs)) {
        result.err = program + QStringLiteral(": ") + process.errorString();
        return result;
    }
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = program + QStringLiteral(" did not finish");
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString readLog(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000)) : QString();
}

QString findProgram(const QString &name, const QStringList &folders)
{
    const QString found = QStandardPaths::findExecutable(name, folders);
    return found.isEmpty() ? QStandardPaths::findExecutable(name) : found;
}

// The newest PostgreSQL server programs that Debian's packages install.
QString postgresBin()
{
    const QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    for (auto it = versions.crbegin(); it != versions.crend(); ++it)
        if (QFile::exists(root.filePath(*it + QStringLiteral("/bin/initdb"))))
            return root.filePath(*it + QStringLiteral("/bin"));
    return QString();
}

class Postgres : public SqlServer {
public:
    bool installed() const override
    {
        return !postgresBin().isEmpty() && !QStandardPaths::findExecutable(QStringLiteral("psql")).isEmpty();
    }

    bool start(QString *error) override
    {
        m_bin = postgresBin();
        if (!installed()) {
            *error = QStringLiteral("PostgreSQL's initdb or psql is missing (scripts/install-deps.sh installs them)");
            return false;
        }
        // The server refuses to run as root: then it runs as the packages' postgres user, or nobody.
        if (::geteuid() == 0) {
            const passwd *user = ::getpwnam("postgres");
            if (!user)
                user = ::getpwnam("nobody");
            if (!user) {
                *error = QStringLiteral("no user to run PostgreSQL as");
                return false;
            }
            m_runAs = QString::fromLocal8Bit(user->pw_name);
            ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
        }
        m_data = m_dir.filePath(QStringLiteral("data"));
        QDir().mkpath(m_dir.filePath(QStringLiteral("socket")));
        if (!m_runAs.isEmpty()) {
            const passwd *user = ::getpwnam(m_runAs.toLocal8Bit().constData());
            ::chown(QFile::encodeName(m_dir.filePath(QStringLiteral("socket"))).constData(), user->pw_uid,
                    user->pw_gid);
            QDir().mkpath(m_data);
            ::chown(QFile::encodeName(m_data).constData(), user->pw_uid, user->pw_gid);
        }
        m_port = freePort();
        const Run init = asServer(QStringLiteral("initdb"),
                                  {QStringLiteral("-D"), m_data, QStringLiteral("-A"), QStringLiteral("trust"),
                                   QStringLiteral("-U"), QStringLiteral("orvix"), QStringLiteral("-E"),
                                   QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")});
        if (init.code != 0) {
            *error = QStringLiteral("initdb failed: ") + init.err;
            return false;
        }
        const QString options = QStringLiteral("-h 127.0.0.1 -p %1 -k %2 -c fsync=off")
                                    .arg(m_port)
                                    .arg(m_dir.filePath(QStringLiteral("socket")));
        const Run up = asServer(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-o"), options,
                                                           QStringLiteral("-l"), m_data + QStringLiteral("/server.log"),
                                                           QStringLiteral("-w"), QStringLiteral("start")});
        if (up.code != 0) {
            QFile log(m_data + QStringLiteral("/server.log"));
            log.open(QIODevice::ReadOnly);
            *error =
                QStringLiteral("the PostgreSQL server did not start: ") + up.err + QString::fromUtf8(log.readAll());
            return false;
        }
        m_running = true;
        return true;
    }

    ~Postgres() override
    {
        if (m_running)
            asServer(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-m"),
                                                QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    }

    bool load(const QString &scriptPath, QString *error) override
    {
        const Run r = psql({QStringLiteral("-f"), scriptPath});
        *error = r.err;
        return r.code == 0 && r.err.isEmpty();
    }

    QString query(const QString &select, QString *error) override
    {
        const Run r = psql({QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-F"), QStringLiteral("\t"),
                            QStringLiteral("-P"), QStringLiteral("null=NULL"), QStringLiteral("-c"), select});
        *error = r.code == 0 ? r.err : r.err + QStringLiteral(" (exit %1)").arg(r.code);
        return r.out;
    }

private:
    Run asServer(const QString &program, const QStringList &args) const
    {
        const QString path = m_bin + QLatin1Char('/') + program;
        if (m_runAs.isEmpty())
            return run(path, args);
        return run(QStringLiteral("runuser"),
                   QStringList{QStringLiteral("-u"), m_runAs, QStringLiteral("--"), path} + args);
    }

    Run psql(const QStringList &args) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PGCLIENTENCODING"), QStringLiteral("UTF8"));
        return run(QStringLiteral("psql"),
                   QStringList{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
                               QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                               QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                               QStringLiteral("orvix"), QStringLiteral("-d"), QStringLiteral("postgres")} +
                       args,
                   QString(), environment);
    }

    QTemporaryDir m_dir;
    QString m_bin;
    QString m_data;
    QString m_runAs;
    int m_port = 0;
    bool m_running = false;
};

class MariaDb : public SqlServer {
public:
    bool installed() const override { return !server().isEmpty() && !installer().isEmpty() && !client().isEmpty(); }

    bool start(QString *error) override
    {
        if (!installed()) {
            *error = QStringLiteral("mariadbd, mariadb-install-db or mariadb is missing (scripts/install-deps.sh "
                                    "installs them)");
            return false;
        }
        const QString data = m_dir.filePath(QStringLiteral("data"));
        QStringList user;
        if (::geteuid() == 0)
            user << QStringLiteral("--user=root");
        const Run init =
            run(installer(), QStringList{QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + data,
                                         QStringLiteral("--auth-root-authentication-method=normal"),
                                         QStringLiteral("--skip-test-db")} +
                                 user);
        if (init.code != 0) {
            *error = QStringLiteral("mariadb-install-db failed: ") + init.err + init.out;
            return false;
        }
        m_port = freePort();
        const QString log = m_dir.filePath(QStringLiteral("server.log"));
        m_server.start(server(),
                       QStringList{QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + data,
                                   QStringLiteral("--socket=") + m_dir.filePath(QStringLiteral("sock")),
                                   QStringLiteral("--port=%1").arg(m_port), QStringLiteral("--bind-address=127.0.0.1"),
                                   QStringLiteral("--pid-file=") + m_dir.filePath(QStringLiteral("pid")),
                                   QStringLiteral("--character-set-server=utf8mb4"),
                                   QStringLiteral("--skip-grant-tables"), QStringLiteral("--log-error=") + log,
                                   QStringLiteral("--innodb-flush-log-at-trx-commit=0")} +
                           user);
        if (!m_server.waitForStarted(kTimeoutMs)) {
            *error = QStringLiteral("mariadbd did not start: ") + m_server.errorString();
            return false;
        }
        // Up once the client gets an answer.
        for (int attempt = 0; attempt < 240; ++attempt) {
            if (m_server.state() != QProcess::Running) {
                *error = QStringLiteral("mariadbd stopped: ") + readLog(log);
                return false;
            }
            if (mariadb({QStringLiteral("-e"), QStringLiteral("CREATE DATABASE IF NOT EXISTS orvix")}).code == 0)
                return true;
            QThread::msleep(250);
        }
        *error = QStringLiteral("mariadbd did not answer: ") + readLog(log);
        return false;
    }

    ~MariaDb() override
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(60000)) {
                m_server.kill();
                m_server.waitForFinished();
            }
        }
    }

    bool load(const QString &scriptPath, QString *error) override
    {
        const Run r = mariadb({QStringLiteral("orvix")}, scriptPath);
        *error = r.err;
        return r.code == 0 && r.err.isEmpty();
    }

    QString query(const QString &select, QString *error) override
    {
        const Run r = mariadb({QStringLiteral("-B"), QStringLiteral("-N"), QStringLiteral("-r"),
                               QStringLiteral("orvix"), QStringLiteral("-e"), select});
        *error = r.code == 0 ? r.err : r.err + QStringLiteral(" (exit %1)").arg(r.code);
        return r.out;
    }

private:
    static QString server() { return findProgram(QStringLiteral("mariadbd"), {QStringLiteral("/usr/sbin")}); }
    static QString installer()
    {
        return findProgram(QStringLiteral("mariadb-install-db"), {QStringLiteral("/usr/bin")});
    }
    static QString client() { return findProgram(QStringLiteral("mariadb"), {QStringLiteral("/usr/bin")}); }

    Run mariadb(const QStringList &args, const QString &input = QString()) const
    {
        return run(client(),
                   QStringList{QStringLiteral("--no-defaults"), QStringLiteral("--protocol=TCP"), QStringLiteral("-h"),
                               QStringLiteral("127.0.0.1"), QStringLiteral("-P"), QString::number(m_port),
                               QStringLiteral("-u"), QStringLiteral("root"),
                               QStringLiteral("--default-character-set=utf8mb4")} +
                       args,
                   input);
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    int m_port = 0;
};

// SQLite needs no server: a database file and the sqlite3 shell.
class SqliteFile : public SqlServer {
public:
    bool installed() const override { return !QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty(); }
    bool start(QString *error) override
    {
        if (!installed())
            *error = QStringLiteral("sqlite3 is missing (scripts/install-deps.sh installs it)");
        return installed();
    }
    bool load(const QString &scriptPath, QString *error) override
    {
        const Run r = run(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), database()}, scriptPath);
        *error = r.err;
        return r.code == 0 && r.err.isEmpty();
    }
    QString query(const QString &select, QString *error) override
    {
        const Run r =
            run(QStringLiteral("sqlite3"), {QStringLiteral("-separator"), QStringLiteral("\t"),
                                            QStringLiteral("-nullvalue"), QStringLiteral("NULL"), database(), select});
        *error = r.code == 0 ? r.err : r.err + QStringLiteral(" (exit %1)").arg(r.code);
        return r.out;
    }

private:
    QString database() const { return m_dir.filePath(QStringLiteral("loaded.db")); }
    QTemporaryDir m_dir;
};
} // namespace

std::unique_ptr<SqlServer> makeSqliteFile()
{
    return std::make_unique<SqliteFile>();
}

std::unique_ptr<SqlServer> makePostgresServer()
{
    return std::make_unique<Postgres>();
}

std::unique_ptr<SqlServer> makeMariaDbServer()
{
    return std::make_unique<MariaDb>();
}
