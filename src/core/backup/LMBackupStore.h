// LMBackupStore: the backup definitions as they are kept in the package's Objects (passwords sealed).
#pragma once

#include "Value.h"

namespace LMBackupStore {
// The array written under "Backups": each definition with its password sealed.
Value storedForm(const Value &backups);
// The live array read back; definitions whose password cannot be opened keep every other value.
Value fromStoredForm(const Value &stored);
} // namespace LMBackupStore
