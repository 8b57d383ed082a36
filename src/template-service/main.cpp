// orvix-template-service: serves a folder of templates over HTTP (127.0.0.1 unless told otherwise).
#include "OXTemplateStore.h"
#include "PropertyList.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvix-template-service"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shares Orvix templates with a group."));
    parser.addHelpOption();
    const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("Folder of the templates."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port (0: any free one)."),
                                  QStringLiteral("N"), QStringLiteral("8470"));
    const QCommandLineOption bind(QStringLiteral("bind"), QStringLiteral("Address to listen on."),
                                  QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption accounts(QStringLiteral("accounts"),
                                      QStringLiteral("File of \"EMAIL PASSWORD\" lines allowed to upload."),
                                      QStringLiteral("FILE"));
    parser.addOptions({root, port, bind, accounts});
    parser.process(app);
    QTextStream err(stderr);
    if (!parser.isSet(root) || !QDir().mkpath(parser.value(root))) {
        err << "orvix-template-service: --root DIR is required and must be a folder" << Qt::endl;
        return 2;
    }
    OXTemplateStore store(parser.value(root));
    QString error;
    if (parser.isSet(accounts) && !store.loadAccounts(parser.value(accounts), &error)) {
        err << "orvix-template-service: the accounts could not be read: " << error << Qt::endl;
        return 2;
    }

    QHttpServer server;
    using Request = QHttpServerRequest;
    using Response = QHttpServerResponse;
    const QByteArray plist = QByteArrayLiteral("application/x-plist");
    server.route(QStringLiteral("/orvix/Templates/oxsearch.php5"), [&store, plist](const Request &request) {
        const QString pattern = request.query().queryItemValue(QStringLiteral("pattern"), QUrl::FullyDecoded);
        return Response(plist, PropertyList::write(store.search(pattern), PropertyList::Format::Xml));
    });
    server.route(QStringLiteral("/orvix/Templates/oxtemplinfo.php5"), [&store, plist](const Request &request) {
        const auto info = store.info(request.query().queryItemValue(QStringLiteral("uid"), QUrl::FullyDecoded));
        return info ? Response(plist, PropertyList::write(*info, PropertyList::Format::Xml))
                    : Response(Response::StatusCode::NotFound);
    });
    server.route(QStringLiteral("/orvix/Templates/oxdownload.php5"), [&store](const Request &request) {
        const auto file = store.templateFile(request.query().queryItemValue(QStringLiteral("uid"), QUrl::FullyDecoded));
        return file ? Response(QByteArrayLiteral("text/plain"), *file) : Response(Response::StatusCode::NotFound);
    });
    server.route(QStringLiteral("/orvix/Templates/oxreport.php5"), [&store](const Request &request) {
        store.report(request.query().queryItemValue(QStringLiteral("uid"), QUrl::FullyDecoded));
        return Response(QByteArrayLiteral("text/plain"), QByteArrayLiteral("OK"));
    });
    server.route(QStringLiteral("/orvix/Templates/oxupload.php5"), Request::Method::Post,
                 [&store](const Request &request) {
                     return Response(QByteArrayLiteral("text/plain"), store.upload(request.body()).toLatin1());
                 });

    const QHostAddress address(parser.value(bind));
    const quint16 listening = server.listen(address, quint16(parser.value(port).toUInt()));
    if (!listening) {
        err << "orvix-template-service: could not listen on " << parser.value(bind) << ":" << parser.value(port)
            << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "listening on " << address.toString() << ":" << listening << Qt::endl;
    return app.exec();
}
