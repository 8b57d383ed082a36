// orvix-cli commands over users, groups, logins, the master password, protection and password resets.
#include "CliRegistry.h"
#include "DesignVocabulary.h"

#include "LMLogin.h"
#include "LMLoginForgotPasswordController.h"
#include "LMMasterPassword.h"
#include "LMSecurity.h"
#include "LMUsersGroups.h"
#include "MyDocument.h"

#include <QHash>
#include <QSet>

namespace {
// Splits "--name value" options (and bare flags) from positional arguments.
struct Options {
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> flags;
};

std::optional<Options> parseOptions(CliContext &cli, const QStringList &args, const QStringList &withValue,
                                    const QStringList &flags)
{
    Options options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (withValue.contains(a)) {
            if (i + 1 >= args.size()) {
                cli.fail(QStringLiteral("%1 needs a value").arg(a), 2);
                return std::nullopt;
            }
            options.values.insert(a, args.at(++i));
        } else if (flags.contains(a)) {
            options.flags.insert(a);
        } else if (a.startsWith(QLatin1String("--"))) {
            cli.fail(QStringLiteral("unknown option %1").arg(a), 2);
            return std::nullopt;
        } else {
            options.positional << a;
        }
    }
    return options;
}

std::optional<QStringList> parseSections(CliContext &cli, const QString &text)
{
    QStringList sections;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString section = part.trimmed();
        if (!LMUsersGroups::sectionNames().contains(section)) {
            cli.fail(QStringLiteral("unknown section \"%1\" (one of %2)")
                         .arg(section, LMUsersGroups::sectionNames().join(QStringLiteral(", "))),
                     2);
            return std::nullopt;
        }
        sections << section;
    }
    return sections;
}

QString sectionsOf(const Value &record)
{
    QStringList allowed;
    const Value sections = record.value(AccountKey::Sections);
    for (const QString &section : LMUsersGroups::sectionNames())
        if (sections.value(section).toBool())
            allowed << section;
    return allowed.join(QLatin1Char(','));
}

int runUsers(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    const Value users = doc->users();
    for (int i = 0; i < users.size(); ++i) {
        const Value user = users.at(i);
        cli.out() << user.value(AccountKey::Name).toString() << '\t' << user.value(AccountKey::Group).toString() << '\t'
                  << (user.value(AccountKey::Permissions).value(AccountKey::Admin).toBool() ? QStringLiteral("admin")
                                                                                            : QStringLiteral("-"))
                  << '\t' << sectionsOf(user) << '\t' << user.value(AccountKey::Email).toString() << '\n';
    }
    const Value groups = doc->groups();
    for (int i = 0; i < groups.size(); ++i)
        cli.out() << "group\t" << groups.at(i).value(AccountKey::Name).toString() << '\t' << sectionsOf(groups.at(i))
                  << '\n';
    return 0;
}

int runAddAccount(CliContext &cli, const QStringList &args, bool isUser)
{
    const std::optional<Options> options = parseOptions(cli, args, {"--group", "--email", "--sections"}, {"--admin"});
    if (!options)
        return 2;
    if (options->positional.size() != 2)
        return cli.fail(QStringLiteral("give the package and the name"), 2);
    const QString package = options->positional.at(0);
    const QString name = options->positional.at(1);
    // Every section unless the options say otherwise: an account that sees nothing is rarely what is meant.
    QStringList sections = LMUsersGroups::sectionNames();
    if (options->values.contains(QStringLiteral("--sections"))) {
        const std::optional<QStringList> chosen = parseSections(cli, options->values.value("--sections"));
        if (!chosen)
            return 2;
        sections = *chosen;
    }
    auto doc = cli.openPackageForWriting(package);
    if (!doc)
        return 1;
    LMUsersGroups editor(doc.get(), nullptr);
    if (!MyDocument::itemNamed(isUser ? doc->users() : doc->groups(), name).isNull())
        return cli.fail(QStringLiteral("there is already a %1 named \"%2\"").arg(isUser ? "user" : "group", name));
    const Value made = isUser ? editor.addUser() : editor.addGroup();
    const QString madeName = made.value(AccountKey::Name).toString();
    editor.setValue(isUser, madeName, AccountKey::Name, name);
    for (const QString &section : LMUsersGroups::sectionNames())
        editor.setSectionRight(isUser, name, section, sections.contains(section));
    editor.setAdmin(isUser, name, options->flags.contains(QStringLiteral("--admin")));
    if (isUser) {
        const std::optional<QString> password = cli.readLine();
        if (!password || password->isEmpty())
            return cli.fail(QStringLiteral("give the user's password on standard input"));
        editor.setPassword(name, *password, *password);
        if (options->values.contains(QStringLiteral("--email")))
            editor.setValue(true, name, AccountKey::Email, options->values.value("--email"));
        if (options->values.contains(QStringLiteral("--group"))) {
            const QString group = options->values.value(QStringLiteral("--group"));
            if (!editor.setGroup(name, group))
                return cli.fail(QStringLiteral("no group named \"%1\"").arg(group));
            // The options given here win over what the group brought.
            for (const QString &section : LMUsersGroups::sectionNames())
                if (options->values.contains(QStringLiteral("--sections")))
                    editor.setSectionRight(true, name, section, sections.contains(section));
            if (options->flags.contains(QStringLiteral("--admin")))
                editor.setAdmin(true, name, true);
        }
    }
    return cli.savePackage(*doc, package) ? 0 : 1;
}

int runAddUser(CliContext &cli, const QStringList &args)
{
    return runAddAccount(cli, args, true);
}

int runAddGroup(CliContext &cli, const QStringList &args)
{
    return runAddAccount(cli, args, false);
}

int runRemoveUser(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    if (!doc->removeUserNamed(args[1]))
        return cli.fail(QStringLiteral("no user named \"%1\"").arg(args[1]));
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runLogin(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    const std::optional<QString> password = cli.readLine();
    const Value user = LMLogin::checkUsername(args[1], password.value_or(QString()), doc->users());
    if (user.isNull()) {
        cli.ui().beep();
        return cli.refuse(Alert::make(QStringLiteral("Login refused"),
                                      QStringLiteral("The user name or the password is not correct.")));
    }
    auto login = LMLogin::forUser(user);
    QStringList allowed;
    for (const QString &section : LMUsersGroups::sectionNames())
        if (login->isAllowedTo(section))
            allowed << section;
    cli.out() << allowed.join(QLatin1Char('\n')) << (allowed.isEmpty() ? "" : "\n");
    if (login->isAdmin())
        cli.out() << "Admin\n";
    return 0;
}

int runSetMasterPassword(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    // Lines: the current master password (empty when none), then the new one.
    const std::optional<QString> old = cli.readLine();
    const std::optional<QString> fresh = cli.readLine();
    if (!old || !fresh)
        return cli.fail(QStringLiteral("give the current and the new master password on standard input, one a line"));
    LMMasterPassword sheet(doc.get(), nullptr);
    sheet.oldPassword = *old;
    sheet.newPassword = *fresh;
    sheet.confirmPassword = *fresh;
    if (sheet.set() != LMMasterPassword::Outcome::Stored)
        return cli.refuse(Alert::make(QStringLiteral("The master password was not changed"),
                                      QStringLiteral("The current master password is not correct.")));
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runProtect(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    if (doc->isProtected())
        return cli.fail(QStringLiteral("\"%1\" is already protected").arg(args[0]));
    const std::optional<QString> password = cli.readLine();
    if (!password || password->isEmpty())
        return cli.fail(QStringLiteral("give the master password on standard input"));
    // A document without a master password takes the one given here.
    if (!doc->hasMasterPassword())
        doc->setMasterPassword(*password);
    QString error;
    if (!doc->protect(*password, &error))
        return cli.refuse(Alert::make(QStringLiteral("The document was not protected"), error));
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runUnprotect(CliContext &cli, const QStringList &args)
{
    if (!MyDocument::isProtectedPackage(args[0]))
        return cli.fail(QStringLiteral("\"%1\" is not protected").arg(args[0]));
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    doc->unprotect();
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runSecurityLevel(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    if (args.size() == 1) {
        const int level = doc->securityLevel();
        cli.out() << (level == 0 ? QStringLiteral("not set") : LMSecurity::levelNames().at(level - 1)) << '\n';
        return 0;
    }
    if (LMSecurity::levelNumber(args[1]) == 0)
        return cli.fail(QStringLiteral("the level is one of Unsecured, Low, High"), 2);
    if (!LMSecurity::confirmLevel(doc.get(), args[1]))
        return 3;
    return cli.savePackage(*doc, args[0]) ? 0 : 1;
}

int runResetPassword(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackageForWriting(args[0]);
    if (!doc)
        return 1;
    const Value user = MyDocument::itemNamed(doc->users(), args[1]);
    if (user.isNull())
        return cli.fail(QStringLiteral("no user named \"%1\"").arg(args[1]));
    LMLoginForgotPasswordController reset(user, doc.get());
    if (reset.email().trimmed().isEmpty())
        return cli.fail(QStringLiteral("the user \"%1\" has no Email to send a temporary password to").arg(args[1]));
    if (!reset.send())
        return 3;
    cli.out() << "sent to " << reset.email() << '\n';
    cli.out().flush();
    // Lines: the temporary password from the message, the new password, the new password again.
    const std::optional<QString> temporary = cli.readLine();
    if (!temporary || !reset.enterTemporaryPassword(*temporary))
        return 3;
    const std::optional<QString> fresh = cli.readLine();
    const std::optional<QString> again = cli.readLine();
    if (!fresh || !again || !reset.setNewPassword(*fresh, *again))
        return 3;
    reset.finish();
    return 0;
}

const CliRegistration registration({
    {"users", "PACKAGE", "list the users (name, group, admin, sections, email) and the groups", 1, 1, runUsers},
    {"add-user", "PACKAGE NAME [--group G] [--admin] [--email E] [--sections S,S…]",
     "add a user; its password is read from standard input; sections default to all\n(Overview, Tables, Queries, "
     "Forms, Reports, Scripts); a group's rights are taken on",
     2, -1, runAddUser},
    {"add-group", "PACKAGE NAME [--admin] [--sections S,S…]", "add a group with those rights", 2, -1, runAddGroup},
    {"remove-user", "PACKAGE NAME", "remove a user", 2, 2, runRemoveUser},
    {"login", "PACKAGE NAME",
     "check a user's password (from standard input); prints the sections the user may\nsee and \"Admin\" for an "
     "administrator; exit status 3 when refused",
     2, 2, runLogin},
    {"set-master-password", "PACKAGE",
     "change the master password; standard input: the current one (an empty line when\nnone is set), then the new "
     "one",
     1, 1, runSetMasterPassword},
    {"protect", "PACKAGE",
     "store the package encrypted with its master password (from standard input; a\ndocument without one takes it "
     "as its master password)",
     1, 1, runProtect},
    {"unprotect", "PACKAGE", "store a protected package in clear again", 1, 1, runUnprotect},
    {"security-level", "PACKAGE [Unsecured|Low|High]", "print or set the security level (asks to confirm)", 1, 2,
     runSecurityLevel},
    {"reset-password", "PACKAGE NAME",
     "mail a temporary password to the user's Email (mail server from the preferences\nLMMailHost, LMMailPort, "
     "LMMailSecurity, LMMailUser, LMMailPassword); then reads the\ntemporary password, the new password and the new "
     "password again from standard input",
     2, 2, runResetPassword},
});
} // namespace
