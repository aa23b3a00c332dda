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
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QSlider;
class QStatusBar;
class QTextEdit;
class QToolBar;
class QToolButton;
class QWidget;
class TBevelLabel;
class TValueSpin;
struct TMainActions;
class TSplitterShare;
struct TDayPageWidgets;
struct TFormattingWidgets;

// The window's size at a first start, with no saved placement: a comfortable part of the
// screen's free area, never below the design size nor above the area.
QSize FirstStartWindowSize(const QSize& area);

// The fixed arrangement of the main window: every region and control with its design size,
// font and colour, the menu tool bar and the tool bars. Behaviour is wired by the window and
// its page; this class only builds, measures and restores the arrangement.
class TMainLayout : public QObject {
    Q_OBJECT
public:
    // Builds the whole window into `window`; `diary` is the month grid, placed in the left
    // column. The actions must exist already.
    TMainLayout(QMainWindow* window, QWidget* diary, const TMainActions& actions);

    // The seven sizes of "SPLITINFO": Panel2 width, Diary1 height, DiaryMemo height, DiaryList
    // top, Reminder top, PrivMemo top, NewsMemo top.
    std::array<int, 7> SplitInfo() const;
    // Applies them in that order; `next` is given each current value and returns the value to
    // use (the current one when nothing better is saved).
    void ApplySplitInfo(const std::function<int(int current)>& next);

    // The seven colours of "COLORINFO": ListBox, ListView1, DateBar, DiaryMemo, Comment,
    // NewsMemo, PrivMemo.
    std::array<TColor, 7> ColorInfo() const;
    void ApplyColorInfo(const std::function<int(int current)>& next);
    void SetColors(const std::array<TColor, 7>& colors);

    TDayPageWidgets DayPageRegion() const;
    // Puts the day lists and the reminder panel in the bands below the grid.
    void PlaceLeftBands(QWidget* dayLists, QWidget* reminders);
    TFormattingWidgets FormattingRegion() const;

    // Puts menu in the menu bar before the menu of before.
    void InsertMenu(QMenu* menu, QAction* before);
    // Shows the month menu at global.
    void PopupMonthList(const QPoint& global);
    // The buttons that move the grid by a month, which show their keys in their tooltips.
    QToolButton* PrevMonthButton() const { return ToolButton10; }
    QToolButton* NextMonthButton() const { return ToolButton11; }
    QToolButton* TodayButton() const { return TodayBtn; }

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
    QWidget* Diary1;
    QSplitter* Splitter2;
    TBandBox* CoolBar3;
    QSplitter* Splitter3;
    QWidget* Panel1;
    QToolBar* StandardToolBar;
    QComboBox* FontName;
    TValueSpin* FontSize;
    QWidget* DateBar;
    QToolButton* WeatherBtn;
    TBevelLabel* DateDisp;
    QLabel* Label1;
    QSlider* TrackBar1;
    QTextEdit* DiaryMemo;
    QSplitter* Splitter1;
    QWidget* ToolBar3;
    QLabel* DateLabel;
    QLineEdit* Comment;
    TBandBox* CoolBar2;
    QPlainTextEdit* NewsMemo;
    QPlainTextEdit* PrivMemo;
    QStatusBar* StatusBar1;
    QMenu* MonthList;

    void BuildMenuBar(const TMainActions& actions);
    void BuildLeftColumn();
    void BuildPage(const TMainActions& actions);

    std::array<TColor, 7> colors_;
    // The grid's column, the grid and the diary body take these shares of the window's growth.
    TSplitterShare* panel2Share_;
    TSplitterShare* diaryShare_;
    TSplitterShare* diaryMemoShare_;
};
