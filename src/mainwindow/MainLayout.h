#pragma once

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

// The window's size at a first start, with no saved placement: a comfortable part of the
// screen's free area, never below the design size nor above the area.
QSize FirstStartWindowSize(const QSize& area);

// The widgets of the day page's region: the date header, the four editors, the weather button,
// and the captions the page keeps up to date elsewhere in the window.
struct TDayPageWidgets {
    QWidget* Window;        // parent of the page's questions
    QToolButton* TodayBtn;  // caption: the shown month
    TBandBox* CoolBar3;     // band 0: the shown year's caption
    QMenu* MonthList;       // the months of the shown year
    QToolButton* WeatherBtn;
    TBevelLabel* DateDisp;
    QLabel* Label1;
    QTextEdit* DiaryMemo;
    QLineEdit* Comment;
    QPlainTextEdit* NewsMemo;
    QPlainTextEdit* PrivMemo;
    QLabel* DateLabel;   // the one-line field's title
    TBandBox* CoolBar2;  // bands 0 and 1: the news memo's and the private memo's titles
};

// The widgets that formatting, the clipboard commands and the time key work on: the formatting
// tool bar with its face list and size spin, the indent ruler in the page panel, and the four
// page editors.
struct TFormattingWidgets {
    QWidget* Window;  // parent of the colour chooser
    QToolBar* StandardToolBar;
    QComboBox* FontName;
    TValueSpin* FontSize;
    QSlider* TrackBar1;
    QWidget* Panel1;
    QTextEdit* DiaryMemo;
    QPlainTextEdit* NewsMemo;
    QPlainTextEdit* PrivMemo;
    QLineEdit* Comment;
};

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

Q_SIGNALS:
    // The seven colours changed; the features colour their own controls.
    void ColorsChanged(const std::array<TColor, 7>& colors);

private:
    void BuildMenuBar(const TMainActions& actions);
    void BuildLeftColumn();
    void BuildPage(const TMainActions& actions);

    std::array<TColor, 7> colors_;
    // The grid's column, the grid and the diary body take these shares of the window's growth.
    TSplitterShare* panel2Share_;
    TSplitterShare* diaryShare_;
    TSplitterShare* diaryMemoShare_;
};
