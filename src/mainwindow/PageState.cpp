#include "mainwindow/PageState.h"

#include <QAction>
#include <QWidget>

TPageState::TPageState(QAction& saveCommand, QWidget& window, QObject* parent)
    : QObject(parent), saveCommand_(saveCommand), window_(window) {
    SetUnwritten(false);
}

void TPageState::SetUnwritten(bool unwritten) {
    unwritten_ = unwritten;
    saveCommand_.setEnabled(unwritten);
    window_.setWindowModified(unwritten);
}
