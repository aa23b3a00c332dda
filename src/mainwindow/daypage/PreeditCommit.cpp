#include "mainwindow/daypage/PreeditCommit.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QWidget>

namespace {

// How long after a commit request the engine's own copy of the text may still arrive.
constexpr qint64 kEchoWithinMs = 2000;

}  // namespace

TPreeditCommit::TPreeditCommit(std::initializer_list<QWidget*> editors, QObject* parent)
    : QObject(parent) {
    for (QWidget* editor : editors) {
        editors_.append(editor);
        editor->installEventFilter(this);
    }
}

bool TPreeditCommit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress)
        committed_.remove(watched);
    if (event->type() == QEvent::InputMethod) {
        const auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->preeditString().isEmpty() || !im->commitString().isEmpty()) {
            // Anything but an empty update ends the wait for the engine's copy.
            const QString echo = committed_.take(watched);
            if (!echo.isEmpty() && im->preeditString().isEmpty() && im->commitString() == echo &&
                sinceCommit_.elapsed() < kEchoWithinMs)
                return true;
        }
        if (im->preeditString().isEmpty())
            preedit_.remove(watched);
        else
            preedit_[watched] = im->preeditString();
    }
    return false;
}

void TPreeditCommit::Commit() {
    if (preedit_.isEmpty())
        return;
    const QHash<QObject*, QString> composed = preedit_;
    QGuiApplication::inputMethod()->commit();
    bool committedHere = false;
    for (const QPointer<QWidget>& editor : editors_) {
        if (!editor || !preedit_.contains(editor.data()))
            continue;
        QInputMethodEvent commit;
        commit.setCommitString(preedit_.value(editor.data()));
        QApplication::sendEvent(editor.data(), &commit);
        committedHere = true;
    }
    preedit_.clear();
    if (committedHere)
        QGuiApplication::inputMethod()->reset();
    committed_ = composed;
    sinceCommit_.start();
}
