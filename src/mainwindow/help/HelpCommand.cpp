#include "mainwindow/help/HelpCommand.h"

#include <QAction>
#include <QWidget>

#include "mainwindow/UserMessage.h"
#include "widgets/HtmlHelp.h"

THelpCommand::THelpCommand(QWidget* window, QAction* action, const QString& helpFile)
    : QObject(window), window_(window), help_(std::make_unique<THtmHelp>()) {
    help_->SetFileName(helpFile);
    connect(action, &QAction::triggered, this, &THelpCommand::Execute);
}

THelpCommand::~THelpCommand() = default;

void THelpCommand::Execute() {
    // A help file put in place while the program runs is found.
    help_->SetFileName(help_->FileName());
    if (!help_->Enabled()) {
        ShowUserMessage(window_,
                        u"ヘルプのファイル %1 が見つかりません。"_qs.arg(help_->FileName()));
        return;
    }
    // A window of its own, not kept above the diary, so both can be used side by side.
    help_->ShowTopic(nullptr, QStringLiteral("index.html"));
}
