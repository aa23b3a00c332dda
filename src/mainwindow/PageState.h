#pragma once

#include <QObject>
#include <QScopedValueRollback>

class QAction;
class QWidget;

// The state the window's features share about the page: Updating, set while the window fills
// its own controls so that change handlers write nothing back, and whether anything the user
// wrote is not yet in the files, which offers the save command and marks the window's title.
class TPageState : public QObject {
    Q_OBJECT
public:
    TPageState(QAction& saveCommand, QWidget& window, QObject* parent = nullptr);

    bool Updating() const { return updating_; }
    // Sets Updating until the returned guard ends, which restores the value found before, so
    // that an inner fill inside an outer one leaves Updating set.
    [[nodiscard]] QScopedValueRollback<bool> UpdatingScope() {
        return QScopedValueRollback<bool>(updating_, true);
    }

    bool Unwritten() const { return unwritten_; }
    // The one place where the save command and the title's mark change.
    void SetUnwritten(bool unwritten);

private:
    QAction& saveCommand_;
    QWidget& window_;
    bool updating_ = false;
    bool unwritten_ = false;
};
