// orvix-cli commands over backups and templates: backup, template-pack, template-insert.
#include "CliRegistry.h"

#include "LMBackupAgent.h"
#include "LMBackupDefinition.h"
#include "LMPackageWrapper.h"
#include "MyDocument.h"
#include "OXTemplateFile.h"
#include "OXTemplateInserter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {
int runBackup(CliContext &cli, const QStringList &args)
{
    QString folder = QFileInfo(args[0]).absolutePath();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--to") && i + 1 < args.size())
            folder = args[++i];
        else
            return cli.fail(QStringLiteral("unknown option \"%1\"").arg(args[i]), 2);
    }
    QString error;
    const Value wrapper = LMPackageWrapper::wrap(args[0], &error);
    if (wrapper.isNull())
        return cli.fail(error);
    Value request = LMBackupDefinition::newDefinition();
    request.set(LMBackupDefinition::Key::Type, LMBackupDefinition::Kind::File);
    request.set(LMBackupDefinition::Key::Directory, QDir(folder).absolutePath());
    request.set(LMBackupDefinition::Key::FileWrapper, wrapper);
    LMBackupAgent agent;
    const LMBackupResult result = agent.perform(request);
    if (!result.ok)
        return cli.fail(result.message);
    cli.out() << QDir(folder).filePath(result.copyName) << Qt::endl;
    return 0;
}

int runTemplatePack(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    OXTemplateFile::Selection selection;
    QStringList *list = nullptr;
    bool anyOption = false;
    for (int i = 2; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QLatin1String("--"))) {
            anyOption = true;
            list = a == QLatin1String("--tables")    ? &selection.tables
                   : a == QLatin1String("--queries") ? &selection.queries
                   : a == QLatin1String("--forms")   ? &selection.forms
                   : a == QLatin1String("--reports") ? &selection.reports
                   : a == QLatin1String("--scripts") ? &selection.scripts
                                                     : nullptr;
            if (!list)
                return cli.fail(QStringLiteral("unknown option \"%1\"").arg(a), 2);
            continue;
        }
        if (!list)
            return cli.fail(QStringLiteral("unexpected argument \"%1\"").arg(a), 2);
        list->append(a);
    }
    // Without any option the whole document's designs are packed.
    selection.everything = !anyOption;
    QStringList missing;
    const Value templateDictionary = OXTemplateFile::pack(*doc, selection, &missing);
    if (!missing.isEmpty())
        return cli.fail(QStringLiteral("no design named \"%1\"").arg(missing.join(QStringLiteral("\", \""))));
    QSaveFile file(args[1]);
    const QByteArray content = OXTemplateFile::encode(templateDictionary);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return cli.fail(QStringLiteral("cannot write \"%1\": %2").arg(args[1], file.errorString()));
    return 0;
}

int runTemplateInsert(CliContext &cli, const QStringList &args)
{
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly))
        return cli.fail(QStringLiteral("cannot read \"%1\": %2").arg(args[1], file.errorString()));
    QString error;
    const std::optional<Value> templateDictionary = OXTemplateFile::decode(file.readAll(), &error);
    if (!templateDictionary)
        return cli.fail(error);
    std::unique_ptr<MyDocument> doc =
        QFileInfo::exists(args[0]) ? cli.openPackage(args[0]) : MyDocument::createNew(&error);
    if (!doc)
        return error.isEmpty() ? 1 : cli.fail(error);
    if (OXTemplateInserter::insert(*doc, *templateDictionary) == OXTemplateInserter::Result::NameCollision)
        return 3;
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

const CliRegistration registration({
    {"backup", "PACKAGE [--to DIR]",
     "make one \"File\" backup copy of the document into DIR (default: beside it), as the backup agent does", 1, 3,
     runBackup},
    {"template-pack",
     "PACKAGE OUT.oxtemplate [--tables NAME...] [--forms NAME...] [--queries NAME...] "
     "[--reports NAME...] [--scripts NAME...]",
     "write a template of the named designs (every design without options) and the relationships", 2, -1,
     runTemplatePack},
    {"template-insert", "PACKAGE FILE",
     "insert a template into the document (created when missing); exit 3 on a name collision", 2, 2, runTemplateInsert},
});
} // namespace
