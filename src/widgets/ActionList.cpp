#include "widgets/ActionList.h"

#include <QAction>

void TMActionList::AddAction(QAction* action) {
    if (actions_.contains(action)) {
        return;
    }
    actions_.append(action);
    connect(action, &QObject::destroyed, this, [this, action] { actions_.removeAll(action); });
}

void TMActionList::SetEnabled(bool enabled) {
    enabled_ = enabled;
    for (QAction* action : actions_) {
        action->setEnabled(enabled);
    }
}
