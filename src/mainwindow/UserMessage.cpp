#include "mainwindow/UserMessage.h"

#include <QApplication>
#include <QMessageBox>

namespace {

TUserMessageHook& Hook() {
    static TUserMessageHook hook;
    return hook;
}

}  // namespace

void ShowUserMessage(QWidget* parent, const QString& text) {
    if (Hook()) {
        Hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void SetUserMessageHook(TUserMessageHook hook) {
    Hook() = std::move(hook);
}
