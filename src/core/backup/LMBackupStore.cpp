// LMBackupStore: converts the live backup definitions to and from their stored form.
#include "LMBackupStore.h"

#include "BackupCredentials.h"

namespace LMBackupStore {

Value storedForm(const Value &backups)
{
    Value stored = Value::array();
    for (int i = 0; i < backups.size(); ++i)
        if (backups.at(i).isDict())
            stored.append(BackupCredentials::sealedDefinition(backups.at(i)));
    return stored;
}

Value fromStoredForm(const Value &stored)
{
    Value backups = Value::array();
    for (int i = 0; i < stored.size(); ++i)
        if (stored.at(i).isDict())
            backups.append(BackupCredentials::openedDefinition(stored.at(i)));
    return backups;
}

} // namespace LMBackupStore
