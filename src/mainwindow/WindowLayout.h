#pragma once

#include <array>
#include <exception>
#include <functional>

#include "bridge/Colors.h"

class QMainWindow;
class TDayPageView;
class TDiary;
class TInitParam;
class TMainLayout;

// The window's layout as the settings keep it: its placement on the screen, the splitter and
// band positions, the control colours and the grid's colours. Applied at the start and stored
// when the window closes.
class TWindowLayout {
public:
    using TReport = std::function<void(const std::exception&)>;

    TWindowLayout(QMainWindow& window, TMainLayout& frame, TDayPageView& page, TDiary& diary,
                  TInitParam& params, TReport report);

    // The window fits the screen's free area; without a saved place it opens in its middle at
    // a comfortable size. Done before the features are built, so that a question of the start
    // stands where the window will show.
    static void ApplyPlacement(QMainWindow& window, TInitParam& params);
    // The saved splitter and band positions and colours; a bad field is reported and the rest
    // keep their current values.
    void ApplySaved();
    // Puts the placement, positions and colours into the settings record.
    void Store();

    // The seven sizes of "SPLITINFO": Panel2 width, Diary1 height, DiaryMemo height, DiaryList
    // top, Reminder top, PrivMemo top, NewsMemo top.
    std::array<int, 7> SplitInfo() const;
    // The seven colours of "COLORINFO": ListBox, ListView1, DateBar, DiaryMemo, Comment,
    // NewsMemo, PrivMemo.
    std::array<TColor, 7> ColorInfo() const;

private:
    QMainWindow& window_;
    TMainLayout& frame_;
    TDayPageView& page_;
    TDiary& diary_;
    TInitParam& params_;
    TReport report_;
};
