#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <array>

#include "bridge/Fonts.h"
#include "controls/SpinBtns.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/WindowLayout.h"
#include "widgets/BandBox.h"
#include "widgets/BevLabel.h"

// The window's controls found by the names the saved layout and the user's style know them by,
// whichever feature builds them.
struct TWindowWidgets {
    TWindowLayout* Layout;
    QMenuBar* MenuBar;
    QStatusBar* StatusBar1;
    QWidget* Panel2;
    QSplitter* Splitter3;
    QToolButton* TodayBtn;
    QToolButton* ToolButton10;
    QToolButton* ToolButton11;
    QToolButton* ToolButton12;
    QToolButton* ToolButton13;
    QMenu* MonthList;
    TBandBox* CoolBar3;
    QWidget* DiaryListPanel;
    QTabBar* DiaryList;
    QTreeWidget* ListView1;
    QTabWidget* Reminder;
    QWidget* TabMonth;
    QListWidget* ListBox;
    QWidget* RemSheet;
    QTreeWidget* TodoList;
    QWidget* TabMemory;
    QTreeWidget* MemList;
    QComboBox* FontName;
    TValueSpin* FontSize;
    QWidget* DateBar;
    QToolButton* WeatherBtn;
    TBevelLabel* DateDisp;
    QLabel* Label1;
    QSlider* TrackBar1;
    QTextEdit* DiaryMemo;
    QLabel* DateLabel;
    QLineEdit* Comment;
    TBandBox* CoolBar2;
    QPlainTextEdit* NewsMemo;
    QPlainTextEdit* PrivMemo;

    // A reminder list with its tab in front, as the user reads it: a list is filled when its
    // tab shows.
    QTreeWidget* ShownTodoList() const {
        Reminder->setCurrentWidget(RemSheet);
        return TodoList;
    }
    QTreeWidget* ShownMemList() const {
        Reminder->setCurrentWidget(TabMemory);
        return MemList;
    }

    std::array<int, 7> SplitInfo() const { return Layout->SplitInfo(); }
    std::array<TColor, 7> ColorInfo() const { return Layout->ColorInfo(); }
};

inline TWindowWidgets Widgets(TForm1& form) {
    auto find = [&form]<typename T>(T*& widget, const char* name) {
        widget = form.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("No control named %s", name);
    };
    TWindowWidgets w{};
    w.Layout = &form.Layout();
    find(w.MenuBar, "MenuBar");
    find(w.StatusBar1, "StatusBar1");
    find(w.Panel2, "Panel2");
    find(w.Splitter3, "Splitter3");
    find(w.TodayBtn, "TodayBtn");
    find(w.ToolButton10, "ToolButton10");
    find(w.ToolButton11, "ToolButton11");
    find(w.ToolButton12, "ToolButton12");
    find(w.ToolButton13, "ToolButton13");
    find(w.MonthList, "MonthList");
    find(w.CoolBar3, "CoolBar3");
    find(w.DiaryListPanel, "DiaryListPanel");
    find(w.DiaryList, "DiaryList");
    find(w.ListView1, "ListView1");
    find(w.Reminder, "Reminder");
    find(w.TabMonth, "TabMonth");
    find(w.ListBox, "ListBox");
    find(w.RemSheet, "RemSheet");
    find(w.TodoList, "TodoList");
    find(w.TabMemory, "TabMemory");
    find(w.MemList, "MemList");
    find(w.FontName, "FontName");
    find(w.FontSize, "FontSize");
    find(w.DateBar, "DateBar");
    find(w.WeatherBtn, "WeatherBtn");
    find(w.DateDisp, "DateDisp");
    find(w.Label1, "Label1");
    find(w.TrackBar1, "TrackBar1");
    find(w.DiaryMemo, "DiaryMemo");
    find(w.DateLabel, "DateLabel");
    find(w.Comment, "Comment");
    find(w.CoolBar2, "CoolBar2");
    find(w.NewsMemo, "NewsMemo");
    find(w.PrivMemo, "PrivMemo");
    return w;
}
