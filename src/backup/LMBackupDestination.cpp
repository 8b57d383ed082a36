// LMBackupDestination: the local folder and the libcurl destinations (FTP, SFTP, WebDAV over HTTP(S)).
#include "LMBackupDestination.h"

#include "LMBackupDefinition.h"
#include "LMPackageWrapper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <curl/curl.h>

using namespace LMBackupDefinition;

namespace {
void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

// A test hook: a pause before the finished copy is renamed, so a test can interrupt a copy in progress.
void pauseBeforeRename()
{
    const int ms = qEnvironmentVariableIntValue("ORVIX_BACKUP_AGENT_PAUSE_MS");
    if (ms > 0)
        QThread::msleep(ms);
}

class FolderDestination : public LMBackupDestination {
public:
    explicit FolderDestination(const QString &folder) : m_folder(folder) {}
    bool storesFolders() const override { return true; }

    bool putFolder(const Value &wrapper, const QString &temporaryName, const QString &finalName,
                   QString *error) override
    {
        if (!QDir().mkpath(m_folder)) {
            setError(error, QStringLiteral("The folder \"%1\" could not be created.").arg(m_folder));
            return false;
        }
        const QString temporary = QDir(m_folder).filePath(temporaryName);
        QDir(temporary).removeRecursively(); // a leftover of an interrupted copy
        if (!LMPackageWrapper::write(wrapper, temporary, error)) {
            QDir(temporary).removeRecursively();
            return false;
        }
        pauseBeforeRename();
        if (!QDir().rename(temporary, QDir(m_folder).filePath(finalName))) {
            QDir(temporary).removeRecursively();
            setError(error, QStringLiteral("The copy could not be renamed to \"%1\".").arg(finalName));
            return false;
        }
        return true;
    }

    bool putFile(const QByteArray &bytes, const QString &temporaryName, const QString &finalName,
                 QString *error) override
    {
        QFile file(QDir(m_folder).filePath(temporaryName));
        if (!QDir().mkpath(m_folder) || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.flush()) {
            file.remove();
            setError(error, QStringLiteral("The copy could not be written in \"%1\".").arg(m_folder));
            return false;
        }
        file.close();
        pauseBeforeRename();
        return QFile::rename(file.fileName(), QDir(m_folder).filePath(finalName));
    }

    bool list(QStringList *names, QString *error) override
    {
        const QDir dir(m_folder);
        if (!dir.exists()) {
            setError(error, QStringLiteral("The folder \"%1\" does not exist.").arg(m_folder));
            return false;
        }
        *names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        return true;
    }

    bool remove(const QString &name, QString *error) override
    {
        const QString target = QDir(m_folder).filePath(name);
        const bool ok = QFileInfo(target).isDir() ? QDir(target).removeRecursively() : QFile::remove(target);
        if (!ok)
            setError(error, QStringLiteral("\"%1\" could not be deleted.").arg(target));
        return ok;
    }

private:
    QString m_folder;
};

size_t collect(char *data, size_t size, size_t count, void *target)
{
    static_cast<QByteArray *>(target)->append(data, qsizetype(size * count));
    return size * count;
}

struct Upload {
    const QByteArray *bytes;
    qsizetype offset = 0;
};

size_t supply(char *buffer, size_t size, size_t count, void *source)
{
    auto *upload = static_cast<Upload *>(source);
    const qsizetype n = qMin<qsizetype>(qsizetype(size * count), upload->bytes->size() - upload->offset);
    memcpy(buffer, upload->bytes->constData() + upload->offset, size_t(n));
    upload->offset += n;
    return size_t(n);
}

class CurlDestination : public LMBackupDestination {
public:
    enum class Protocol { Ftp, Sftp, Dav, SecureDav };

    CurlDestination(Protocol protocol, const Value &definition) : m_protocol(protocol)
    {
        static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == 0;
        Q_UNUSED(initialised);
        const char *scheme = protocol == Protocol::Ftp    ? "ftp"
                             : protocol == Protocol::Sftp ? "sftp"
                             : protocol == Protocol::Dav  ? "http"
                                                          : "https";
        QString server = definition.value(Key::Server).toString().trimmed();
        // A server typed with its own scheme keeps its host and port only.
        const int schemeEnd = server.indexOf(QStringLiteral("://"));
        if (schemeEnd >= 0)
            server = server.mid(schemeEnd + 3);
        while (server.endsWith(QLatin1Char('/')))
            server.chop(1);
        QString directory = definition.value(Key::Directory).toString().trimmed();
        if (!directory.startsWith(QLatin1Char('/')))
            directory.prepend(QLatin1Char('/'));
        if (!directory.endsWith(QLatin1Char('/')))
            directory.append(QLatin1Char('/'));
        m_base = QStringLiteral("%1://%2").arg(QLatin1String(scheme), server);
        m_directory = directory;
        m_username = definition.value(Key::Username).toString();
        m_password = definition.value(Key::Password).toString();
        m_serverEmpty = server.isEmpty();
    }

    bool storesFolders() const override { return false; }

    bool putFolder(const Value &, const QString &, const QString &, QString *error) override
    {
        setError(error, QStringLiteral("Servers receive copies as single files."));
        return false;
    }

    bool putFile(const QByteArray &bytes, const QString &temporaryName, const QString &finalName,
                 QString *error) override
    {
        if (m_serverEmpty) {
            setError(error, QStringLiteral("The backup has no server."));
            return false;
        }
        Upload upload{&bytes};
        CURL *curl = start(urlFor(temporaryName));
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, supply);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(bytes.size()));
        curl_easy_setopt(curl, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_RETRY));
        if (!finish(curl, error, QStringLiteral("upload")))
            return false;
        pauseBeforeRename();
        return rename(temporaryName, finalName, error);
    }

    bool list(QStringList *names, QString *error) override
    {
        QByteArray body;
        CURL *curl = start(isDav() ? m_base + encodedDirectory() : m_base + encodedDirectory());
        curl_slist *headers = nullptr;
        if (isDav()) {
            headers = curl_slist_append(headers, "Depth: 1");
            curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "PROPFIND");
            curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        } else {
            curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
        }
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        const bool ok = finish(curl, error, QStringLiteral("listing"));
        curl_slist_free_all(headers);
        if (!ok)
            return false;
        names->clear();
        if (isDav()) {
            static const QRegularExpression href(QStringLiteral("<(?:[A-Za-z0-9]+:)?href>([^<]*)</"));
            auto it = href.globalMatch(QString::fromUtf8(body));
            while (it.hasNext()) {
                QString path = QUrl::fromPercentEncoding(it.next().captured(1).toUtf8());
                while (path.endsWith(QLatin1Char('/')))
                    path.chop(1);
                const QString name = path.section(QLatin1Char('/'), -1);
                if (!name.isEmpty())
                    names->append(name);
            }
        } else {
            for (const QByteArray &line : body.split('\n')) {
                const QString name = QString::fromUtf8(line.trimmed()).section(QLatin1Char('/'), -1);
                if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String(".."))
                    names->append(name);
            }
        }
        return true;
    }

    bool remove(const QString &name, QString *error) override
    {
        if (isDav()) {
            CURL *curl = start(urlFor(name));
            curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "DELETE");
            return finish(curl, error, QStringLiteral("deletion"));
        }
        return command({m_protocol == Protocol::Sftp ? QStringLiteral("rm %1%2").arg(m_directory, name)
                                                     : QStringLiteral("DELE %1%2").arg(m_directory.mid(1), name)},
                       error);
    }

private:
    bool isDav() const { return m_protocol == Protocol::Dav || m_protocol == Protocol::SecureDav; }
    QString encodedDirectory() const { return QString::fromUtf8(QUrl::toPercentEncoding(m_directory, "/")); }
    QString urlFor(const QString &name) const
    {
        return m_base + encodedDirectory() + QString::fromUtf8(QUrl::toPercentEncoding(name));
    }

    CURL *start(const QString &url)
    {
        CURL *curl = curl_easy_init();
        const QByteArray urlBytes = url.toUtf8();
        curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
        m_user = m_username.toUtf8();
        m_pass = m_password.toUtf8();
        if (!m_username.isEmpty()) {
            curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.constData());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, m_pass.constData());
        }
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
        if (isDav())
            curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
        return curl;
    }

    bool finish(CURL *curl, QString *error, const QString &what)
    {
        const CURLcode code = curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        if (code != CURLE_OK) {
            setError(error, QStringLiteral("The %1 failed: %2").arg(what, QString::fromUtf8(curl_easy_strerror(code))));
            return false;
        }
        return true;
    }

    // Runs server commands right after login, before any change of directory: FTP names are relative to the
    // login folder, as the URL's path is; SFTP names are full paths.
    bool command(const QStringList &commands, QString *error)
    {
        CURL *curl = start(m_base + encodedDirectory());
        curl_slist *list = nullptr;
        QList<QByteArray> keep;
        for (const QString &c : commands) {
            keep.append(c.toUtf8());
            list = curl_slist_append(list, keep.last().constData());
        }
        curl_easy_setopt(curl, CURLOPT_QUOTE, list);
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
        const bool ok = finish(curl, error, QStringLiteral("server command"));
        curl_slist_free_all(list);
        return ok;
    }

    bool rename(const QString &from, const QString &to, QString *error)
    {
        if (isDav()) {
            CURL *curl = start(urlFor(from));
            const QByteArray destination = ("Destination: " + urlFor(to)).toUtf8();
            curl_slist *headers = curl_slist_append(nullptr, destination.constData());
            headers = curl_slist_append(headers, "Overwrite: F");
            curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "MOVE");
            curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
            const bool ok = finish(curl, error, QStringLiteral("rename"));
            curl_slist_free_all(headers);
            return ok;
        }
        if (m_protocol == Protocol::Sftp)
            return command({QStringLiteral("rename %1%2 %1%3").arg(m_directory, from, to)}, error);
        return command({QStringLiteral("RNFR %1%2").arg(m_directory.mid(1), from),
                        QStringLiteral("RNTO %1%2").arg(m_directory.mid(1), to)},
                       error);
    }

    Protocol m_protocol;
    QString m_base, m_directory, m_username, m_password;
    QByteArray m_user, m_pass;
    bool m_serverEmpty = false;
};
} // namespace

std::unique_ptr<LMBackupDestination> LMBackupDestination::forDefinition(const Value &definition, QString *error)
{
    const QString kind = definition.value(Key::Type).toString();
    if (kind == Kind::File) {
        const QString folder = definition.value(Key::Directory).toString();
        if (folder.isEmpty()) {
            setError(error,
                     QStringLiteral("The backup \"%1\" has no folder.").arg(definition.value(Key::Name).toString()));
            return nullptr;
        }
        return std::make_unique<FolderDestination>(QDir::cleanPath(folder));
    }
    if (kind == Kind::FTP)
        return std::make_unique<CurlDestination>(CurlDestination::Protocol::Ftp, definition);
    if (kind == Kind::SecureFTP)
        return std::make_unique<CurlDestination>(CurlDestination::Protocol::Sftp, definition);
    if (kind == Kind::WebDAV)
        return std::make_unique<CurlDestination>(CurlDestination::Protocol::Dav, definition);
    if (kind == Kind::SecureWebDAV)
        return std::make_unique<CurlDestination>(CurlDestination::Protocol::SecureDav, definition);
    setError(error, QStringLiteral("Backups of the kind \"%1\" cannot be made by this agent.").arg(kind));
    return nullptr;
}
