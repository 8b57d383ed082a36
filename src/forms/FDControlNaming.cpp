// FDControlNaming: the current name (any case) and "" pass as typed; other names must be valid and unused.
#include "FDControlNaming.h"

#include "FDCanvas.h"
#include "FDKeys.h"
#include "Ui.h"

#include <QRegularExpression>

namespace FDControlNaming {
bool isValidName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("\\A[A-Za-z][A-Za-z0-9_$]*\\z"));
    return pattern.match(name).hasMatch();
}

bool controlName(FDCanvas *canvas, const QString &name)
{
    if (!canvas || canvas->selection().isEmpty())
        return false;
    const FDControlPtr first = canvas->selection().first();
    const bool sameOrEmpty = name.isEmpty() || name.compare(first->scriptBridgeName(), Qt::CaseInsensitive) == 0;
    if (!sameOrEmpty) {
        bool taken = false;
        for (const FDControlPtr &other : canvas->controls())
            if (!canvas->isSelected(other.get()) && other->scriptBridgeName().compare(name, Qt::CaseInsensitive) == 0)
                taken = true;
        // Two selected controls cannot share one name either.
        if (!isValidName(name) || taken || canvas->selection().size() > 1) {
            Ui::instance().beep();
            return false;
        }
    }
    for (const FDControlPtr &control : canvas->selection()) {
        Value info = control->info();
        info.set(FDKeys::kScriptBridgeName, name);
    }
    canvas->alertActionPane();
    canvas->notifyChanged();
    return true;
}
} // namespace FDControlNaming
