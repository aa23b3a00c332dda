#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QWidget;
class THtmHelp;

// The help command: opens the help file in a window of its own, or says where it looked.
class THelpCommand : public QObject {
    Q_OBJECT
public:
    // Runs on each trigger of action; messages stand over window.
    THelpCommand(QWidget* window, QAction* action, const QString& helpFile);
    ~THelpCommand() override;

    void Execute();

private:
    QWidget* window_;
    std::unique_ptr<THtmHelp> help_;
};
