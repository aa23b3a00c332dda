#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every message box of the window goes through here, so that tests can read the texts instead
// of waiting on a modal box.
using TUserMessageHook = std::function<void(const QString& text)>;

// What a message tells: a problem, or that something went as asked.
enum class TMessageKind { Warning, Information };

// Shows text in a modal message box over parent, or hands it to the installed hook.
void ShowUserMessage(QWidget* parent, const QString& text,
                     TMessageKind kind = TMessageKind::Warning);

// Replaces the message box by hook; an empty hook restores the message box.
void SetUserMessageHook(TUserMessageHook hook);

// Questions with the answers Yes and No; the hook returns true for Yes.
using TUserQuestionHook = std::function<bool(const QString& text)>;

// Asks text in a modal box with Yes and No over parent, or asks the installed hook.
bool AskUserYesNo(QWidget* parent, const QString& text);

void SetUserQuestionHook(TUserQuestionHook hook);

// Once the session is ending nobody is left to answer a box, and an open box must not keep the
// program alive: messages then go to standard error and questions are answered No. false
// restores the boxes.
void EndUserMessages(bool ended = true);
