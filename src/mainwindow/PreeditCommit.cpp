#include "mainwindow/PreeditCommit.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QWidget>

TPreeditCommit::TPreeditCommit(std::initializer_list<QWidget*> editors, QObject* parent)
    : QObject(parent) {
    for (QWidget* editor : editors) {
        editors_.append(editor);
        editor->installEventFilter(this);
    }
}

bool TPreeditCommit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethod) {
        const auto* im = static_cast<QInputMethodEvent*>(event);
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
}
