#include "mainwindow/UserMessage.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "widgets/ProgramIcon.h"

namespace {

TUserMessageHook& Hook() {
    static TUserMessageHook hook;
    return hook;
}

TUserQuestionHook& QuestionHook() {
    static TUserQuestionHook hook;
    return hook;
}

bool& Ended() {
    static bool ended = false;
    return ended;
}

// Message texts keep the files' CR LF line breaks; a box shows plain LF ones.
QString BoxText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

void ShowUserMessage(QWidget* parent, const QString& text, TMessageKind kind) {
    if (Ended()) {
        std::fprintf(stderr, "Velmora: %s\n", qUtf8Printable(BoxText(text)));
        return;
    }
    if (Hook()) {
        Hook()(text);
        return;
    }
    UseProgramIcon();
    QMessageBox box(kind == TMessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    QApplication::applicationName(), BoxText(text), QMessageBox::Ok, parent);
    box.exec();
}

bool AskUserYesNo(QWidget* parent, const QString& text) {
    if (Ended())
        return false;
    if (QuestionHook())
        return QuestionHook()(text);
    UseProgramIcon();
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), BoxText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void SetUserQuestionHook(TUserQuestionHook hook) {
    QuestionHook() = std::move(hook);
}

void SetUserMessageHook(TUserMessageHook hook) {
    Hook() = std::move(hook);
}

void EndUserMessages(bool ended) {
    Ended() = ended;
}
