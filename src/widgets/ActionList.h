#pragma once

#include <QList>
#include <QObject>

class QAction;

// The window's actions with one switch that enables or disables all of them at once.
class TMActionList : public QObject {
public:
    explicit TMActionList(QObject* parent = nullptr) : QObject(parent) {}

    // Adds an action; it leaves the list when it is destroyed.
    void AddAction(QAction* action);
    const QList<QAction*>& Actions() const { return actions_; }

    bool Enabled() const { return enabled_; }
    // Stores the value and gives it to every action now in the list.
    void SetEnabled(bool enabled);

private:
    QList<QAction*> actions_;
    bool enabled_ = true;
};
