#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <initializer_list>

class QWidget;

// Text an input method is still composing (a preedit of mozc or anthy) lives in the input
// method, not in the editor: a save would miss it. This watches a set of editors and, when
// asked, turns what is being composed into committed text of its editor.
//
// Some engines (mozc through IBus) also commit their composition when the commit request resets
// them, a moment later: that second copy of the same text is dropped.
class TPreeditCommit : public QObject {
    Q_OBJECT
public:
    TPreeditCommit(std::initializer_list<QWidget*> editors, QObject* parent = nullptr);

    // Asks the input method to commit; where it does not (no platform input method, or one that
    // ignores the request), commits the composed text of each editor itself and resets the
    // input method so that the text is not committed twice.
    void Commit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The composed text of each editor that has one.
    QHash<QObject*, QString> preedit_;
    // Text committed on request, whose late second copy from the engine is dropped.
    QHash<QObject*, QString> committed_;
    QElapsedTimer sinceCommit_;
    QList<QPointer<QWidget>> editors_;
};
