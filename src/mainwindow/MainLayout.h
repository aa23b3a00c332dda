#pragma once

#include <QPoint>
#include <QSplitter>
#include <QString>
#include <array>
#include <functional>

#include "bridge/Colors.h"
#include "bridge/Fonts.h"
#include "widgets/BandBox.h"
#include "widgets/ControlColors.h"

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QToolButton;
class QVBoxLayout;
class QWidget;
struct TMainActions;
class TDiary;
class TSplitterShare;

// The window's size at a first start, with no saved placement: a comfortable part of the
// screen's free area, never below the design size nor above the area.
QSize FirstStartWindowSize(const QSize& area);

// The fixed arrangement of the main window: the menu tool bar, the left column with the paging
// buttons over the grid and the bands below it, the page column, and the status bar, each with
// its design size. The features build their own widgets; the frame places their roots.
class TMainLayout : public QObject {
    Q_OBJECT
public:
    // Builds the whole window into `window`; `diary` is the month grid, placed in the left
    // column with its design colours. The actions must exist already.
    TMainLayout(QMainWindow* window, TDiary* diary, const TMainActions& actions);

    // The sizes of "SPLITINFO" the frame holds: Panel2 width, Diary1 height, DiaryList top and
    // Reminder top.
    std::array<int, 4> SplitSizes() const;
    // Applies saved Panel2 width and Diary1 height in that order, each from next(-1): a saved
    // size stands as it is, none leaves the pane to take its share of the window's growth.
    void ApplyColumnSizes(const std::function<int(int current)>& next);
    void SetReminderTop(int top);

    // The seven colours of "COLORINFO": ListBox, ListView1, DateBar, DiaryMemo, Comment,
    // NewsMemo, PrivMemo.
    std::array<TColor, 7> ColorInfo() const;
    void ApplyColorInfo(const std::function<int(int current)>& next);
    void SetColors(const std::array<TColor, 7>& colors);

    // Puts the day lists and the reminder panel in the bands below the grid.
    void PlaceLeftBands(QWidget* dayLists, QWidget* dayListsCorner, QWidget* reminders);
    // Puts the page column together, top to bottom: the formatting tool bar, the date header,
    // the indent ruler and the sheet of the editors, which takes the column's growth.
    void PlacePage(QToolBar* formatting, QWidget* header, QWidget* ruler, QWidget* sheet);
    // The captions of the shown year (over the day lists) and month (the today button).
    void SetYearCaption(const QString& caption, const QString& tip);
    void SetMonthCaption(const QString& caption);

    // Puts menu in the menu bar before the menu of before.
    void InsertMenu(QMenu* menu, QAction* before);
    // Names the keys of the commands of the today button and the buttons that move the grid by
    // a month in their tooltips.
    void ShowKeys(const QAction* today, const QAction* prevMonth, const QAction* nextMonth);

Q_SIGNALS:
    // The seven colours changed; the features colour their own controls.
    void ColorsChanged(const std::array<TColor, 7>& colors);
    // The user clicked a paging button; tag says how far: 1 a year back, 10 a month back, 12 a
    // month on, 21 a year on.
    void PageStep(int tag);
    // The user clicked the button of today's date.
    void TodayClicked();
    // The user asked for the month menu over the grid or its button, at global.
    void MonthMenuRequested(const QPoint& global);

private:
    QMainWindow* Window;
    QToolBar* CoolBar1;
    QToolButton* ExitBtn;
    QToolButton* PrintBtn;
    QMenuBar* MenuBar;
    QWidget* Panel2;
    QToolBar* ToolBar4;
    QToolButton* ToolButton12;
    QToolButton* ToolButton10;
    QToolButton* TodayBtn;
    QToolButton* ToolButton11;
    QToolButton* ToolButton13;
    TDiary* Diary1;
    QSplitter* Splitter2;
    TBandBox* CoolBar3;
    QSplitter* Splitter3;
    QWidget* Panel1;
    QVBoxLayout* pageColumn_;
    QStatusBar* StatusBar1;

    void BuildMenuBar(const TMainActions& actions);
    void BuildLeftColumn();

    std::array<TColor, 7> colors_;
    // The grid's column and the grid take these shares of the window's growth.
    TSplitterShare* panel2Share_;
    TSplitterShare* diaryShare_;
};
