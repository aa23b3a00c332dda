#pragma once

#include <exception>
#include <functional>

class QMainWindow;
class TDiary;
class TInitParam;
class TMainLayout;

// The window's layout as the settings keep it: its placement on the screen, the splitter and
// band positions, the control colours and the grid's colours. Applied at the start and stored
// when the window closes.
class TWindowLayout {
public:
    using TReport = std::function<void(const std::exception&)>;

    TWindowLayout(QMainWindow& window, TMainLayout& frame, TDiary& diary, TInitParam& params,
                  TReport report);

    // The window fits the screen's free area; without a saved place it opens in its middle at
    // a comfortable size.
    void ApplyPlacement();
    // The saved splitter and band positions and colours; a bad field is reported and the rest
    // keep their current values.
    void ApplySaved();
    // Puts the placement, positions and colours into the settings record.
    void Store();

private:
    QMainWindow& window_;
    TMainLayout& frame_;
    TDiary& diary_;
    TInitParam& params_;
    TReport report_;
};
