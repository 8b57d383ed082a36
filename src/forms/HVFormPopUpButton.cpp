// HVFormPopUpButton: setItemTitles keeps nothing of the old items.
#include "HVFormPopUpButton.h"

void HVFormPopUpButton::setItemTitles(const QStringList &titles)
{
    clear();
    addItems(titles);
}
