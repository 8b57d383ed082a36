// OXDatabase: schema changes forwarded to SchemaEditor and DesignReferences, the relationship audit hook and
// atomic writes.
#include "OXDatabase.h"

#include "DesignReferences.h"
#include "SchemaEditor.h"

namespace {
const QString kSavepoint = QStringLiteral("orvix_atomic_writes");

OXDatabase::RelationshipAuditor &installedAuditor()
{
    static OXDatabase::RelationshipAuditor auditor;
    return auditor;
}
} // namespace

QString OXDatabase::designBackupTableName()
{
    return SchemaEditor::designBackupTableName();
}

QString OXDatabase::columnListForSchema(const Value &schema) const
{
    return SchemaEditor::columnListForSchema(schema);
}

LMTableDesignCommit::Result OXDatabase::commitTableRevised(LMTableDesignCommit &commit)
{
    return SchemaEditor(*this).commitTableRevised(commit);
}

bool OXDatabase::createTableFromDesign(const Value &tableDesign)
{
    return SchemaEditor(*this).createTableFromDesign(tableDesign);
}

std::optional<Alert> OXDatabase::renameTable(const QString &oldName, const QString &newName, const void *sender)
{
    return SchemaEditor(*this).renameTable(oldName, newName, sender);
}

void OXDatabase::renameField(const QString &oldName, const QString &newName, const QString &table)
{
    DesignReferences::of(m_document).renameField(oldName, newName, table);
}

void OXDatabase::renameTableDesign(const QString &oldName, const QString &newName)
{
    DesignReferences::of(m_document).renameTableDesign(oldName, newName);
}

void OXDatabase::renameTableReferences(const QString &oldName, const QString &newName)
{
    DesignReferences::of(m_document).renameTableReferences(oldName, newName);
}

void OXDatabase::setRelationshipAuditor(RelationshipAuditor auditor)
{
    installedAuditor() = std::move(auditor);
}

bool OXDatabase::hasRelationshipAuditor()
{
    return bool(installedAuditor());
}

bool OXDatabase::auditRelationships()
{
    const RelationshipAuditor auditor = installedAuditor();
    return auditor ? auditor(*this) : false;
}

bool OXDatabase::beginAtomicWrites()
{
    if (isTransactionActive()) {
        performQuery(QStringLiteral("SAVEPOINT %1").arg(kSavepoint));
        if (lastErrorID() != QLSuccess)
            return false;
        m_atomicUsesSavepoint << true;
        return true;
    }
    if (!beginTransaction())
        return false;
    m_atomicUsesSavepoint << false;
    return true;
}

bool OXDatabase::commitAtomicWrites()
{
    if (m_atomicUsesSavepoint.isEmpty())
        return false;
    const bool savepoint = m_atomicUsesSavepoint.takeLast();
    if (savepoint) {
        performQuery(QStringLiteral("RELEASE SAVEPOINT %1").arg(kSavepoint));
        return lastErrorID() == QLSuccess;
    }
    if (commitTransaction())
        return true;
    // A commit that did not land leaves the transaction open; undo it so nothing half-done stays.
    const QString message = lastError();
    const int code = lastErrorID();
    if (isTransactionActive())
        rollbackTransaction();
    setLastError(message, code);
    return false;
}

void OXDatabase::rollbackAtomicWrites()
{
    if (m_atomicUsesSavepoint.isEmpty())
        return;
    const bool savepoint = m_atomicUsesSavepoint.takeLast();
    const QString message = lastError();
    const int code = lastErrorID();
    if (savepoint)
        performQuery(QStringLiteral("ROLLBACK TO SAVEPOINT %1; RELEASE SAVEPOINT %1").arg(kSavepoint));
    else if (isTransactionActive())
        rollbackTransaction();
    setLastError(message, code);
}
