// LMLogin: the login of one document: which user it stands for and what that user may see and edit.
#pragma once

#include "Value.h"

#include <QString>
#include <memory>

class LMLogin {
public:
    LMLogin() = default;

    // The login every document starts with: full access until somebody logs in.
    static std::shared_ptr<LMLogin> fullAccess();
    // A login for one user record (found by checkUsername).
    static std::shared_ptr<LMLogin> forUser(const Value &user);

    // Takes the user record; a second call on an initialised login does nothing.
    void initWithUser(const Value &user);
    // The built-in full-access phrase grants full access; any other text is kept as the typed password.
    void setPassword(const QString &password);

    bool hasFullAccess() const { return m_nilInit; }
    bool isInitialised() const { return m_alreadyInit; }
    Value user() const { return m_user; }
    QString userName() const;
    // The password typed when logging in (plain text; the master password sheet compares it).
    QString typedPassword() const { return m_typedPassword; }

    bool isAdmin() const;
    // Section names: "Overview", "Tables", "Queries", "Forms", "Reports", "Scripts".
    bool isAllowedTo(const QString &section) const;
    bool isAllowedToEdit(const QString &object, const QString &key) const;

    // The first user whose "Name" equals `name` and whose "Password" is the hash of `password`; null when none.
    static Value checkUsername(const QString &name, const QString &password, const Value &users);
    // Base64 of the SHA-1 digest of the password's bytes (28 characters).
    static QString passwordHash(const QString &password);
    // Whether a user's stored "Password" (a digest, or the verifier a saved document keeps) is that of `hash`.
    static bool passwordMatches(const QString &stored, const QString &hash);

private:
    static QString fullAccessPhrase();

    Value m_user;
    QString m_typedPassword;
    bool m_alreadyInit = false;
    bool m_nilInit = false;
};
