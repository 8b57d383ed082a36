// orvix-backup-agent: receives backup requests over the session bus (or one from the command line) and copies.
#include "LMBackupAgent.h"
#include "LMBackupDefinition.h"
#include "LMPackageWrapper.h"
#include "NotificationCenter.h"
#include "PropertyList.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QTextStream>

namespace {
void report(const LMBackupResult &result)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (result.ok)
        out << "copied: " << result.copyName << Qt::endl;
    for (const QString &name : result.deleted)
        out << "deleted: " << name << Qt::endl;
    // A request the agent cannot serve is always reported, never dropped.
    if (!result.message.isEmpty())
        err << "orvix-backup-agent: " << result.message << Qt::endl;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvix-backup-agent"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes the copies of Orvix backups. Without options it waits for backup requests on the session bus."));
    parser.addHelpOption();
    QCommandLineOption once(QStringLiteral("once"), QStringLiteral("Exit after the first request received."));
    QCommandLineOption package(QStringLiteral("package"), QStringLiteral("Back up this document now."),
                               QStringLiteral("PACKAGE"));
    QCommandLineOption definition(QStringLiteral("definition"),
                                  QStringLiteral("The backup definition (a property list) for --package."),
                                  QStringLiteral("FILE"));
    QCommandLineOption to(QStringLiteral("to"), QStringLiteral("With --package: a \"File\" backup into DIR."),
                          QStringLiteral("DIR"));
    QCommandLineOption send(
        QStringLiteral("send"),
        QStringLiteral("With --package: hand the backup to the running agent over the session bus."));
    parser.addOptions({once, package, definition, to, send});
    parser.process(app);

    LMBackupAgent agent;
    QObject::connect(&agent, &LMBackupAgent::backupFinished, &app, [&](const LMBackupResult &result) {
        report(result);
        if (parser.isSet(once))
            QCoreApplication::exit(result.ok ? 0 : 1);
    });

    if (parser.isSet(package)) {
        Value request = LMBackupDefinition::newDefinition();
        if (parser.isSet(definition)) {
            QFile file(parser.value(definition));
            QString error;
            const std::optional<Value> read =
                file.open(QIODevice::ReadOnly) ? PropertyList::read(file.readAll(), &error) : std::nullopt;
            if (!read || !read->isDict()) {
                QTextStream(stderr) << "orvix-backup-agent: the definition could not be read " << error << Qt::endl;
                return 2;
            }
            request = *read;
        }
        if (parser.isSet(to)) {
            request.set(LMBackupDefinition::Key::Type, LMBackupDefinition::Kind::File);
            request.set(LMBackupDefinition::Key::Directory, parser.value(to));
        }
        QString error;
        const Value wrapper = LMPackageWrapper::wrap(parser.value(package), &error);
        if (wrapper.isNull()) {
            QTextStream(stderr) << "orvix-backup-agent: " << error << Qt::endl;
            return 1;
        }
        request.set(LMBackupDefinition::Key::FileWrapper, wrapper);
        if (parser.isSet(send)) {
            if (!QDBusConnection::sessionBus().isConnected()) {
                QTextStream(stderr) << "orvix-backup-agent: no session bus to send the backup on" << Qt::endl;
                return 1;
            }
            NotificationCenter::distributedCenter().post(LMBackupDefinition::BackupNotification, nullptr, request);
            // A round trip to the bus before exiting: messages leave in order, so the signal has gone out.
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
            return 0;
        }
        QObject::disconnect(&agent, nullptr, &app, nullptr);
        const LMBackupResult result = agent.perform(request);
        report(result);
        return result.ok ? 0 : 1;
    }

    if (!QDBusConnection::sessionBus().isConnected()) {
        QTextStream(stderr) << "orvix-backup-agent: no session bus to receive backups from" << Qt::endl;
        return 1;
    }
    agent.listen();
    QTextStream(stdout) << "listening" << Qt::endl;
    return app.exec();
}
