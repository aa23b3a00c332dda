#pragma once

#include <QPointer>
#include <QSplitter>
#include <array>
#include <functional>

#include "bridge/Colors.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTextEdit;
class QToolButton;
class QWidget;
class TBandBox;
class TBevelLabel;
class TSplitterShare;

// The day page's widgets in two roots the window places: the date header, and the sheet of the
// body over the one-line field and the two memos. The page fills them; the window reaches the
// editors, the colours and the saved pane sizes through here.
class TDayPageView {
public:
    TDayPageView();
    ~TDayPageView();
    TDayPageView(const TDayPageView&) = delete;
    TDayPageView& operator=(const TDayPageView&) = delete;

    // The weather button, the date and the old date with the rokuyo.
    QWidget* Header() const { return DateBar; }
    // The body over the one-line field and the memo bands.
    QWidget* Sheet() const { return Splitter1; }

    // The editors, for the commands that act on the one with the focus.
    QTextEdit* Body() const { return DiaryMemo; }
    QLineEdit* Title() const { return Comment; }
    QPlainTextEdit* News() const { return NewsMemo; }
    QPlainTextEdit* Private() const { return PrivMemo; }

    // Colours the header and the editors from "COLORINFO" (DateBar, DiaryMemo, Comment, NewsMemo
    // and PrivMemo are its entries 2 to 6).
    void SetColors(const std::array<TColor, 7>& colors);

    // The sizes of "SPLITINFO" the page holds: the body's height, the private memo's top and the
    // news memo's top.
    std::array<int, 3> SplitSizes() const;
    // A saved body height from next(-1) stands as it is; none leaves the body to take its share
    // of the window's growth.
    void ApplyBodyHeight(const std::function<int(int current)>& next);
    void SetPrivMemoTop(int top);

private:
    friend class TDayPage;

    QPointer<QWidget> DateBar;
    QToolButton* WeatherBtn;
    TBevelLabel* DateDisp;
    QLabel* Label1;
    QPointer<QSplitter> Splitter1;
    QTextEdit* DiaryMemo;
    QLabel* DateLabel;
    QLineEdit* Comment;
    TBandBox* CoolBar2;
    QPlainTextEdit* NewsMemo;
    QPlainTextEdit* PrivMemo;
    QMenu* MonthList;
    TSplitterShare* diaryMemoShare_;
};
