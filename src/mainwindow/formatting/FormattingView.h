#pragma once

#include <QPointer>
#include <QSlider>
#include <QToolBar>

class QComboBox;
class QWidget;
class TValueSpin;
struct TMainActions;

// The formatting controls in two roots the window places: the tool bar of the save, edit and
// style commands with the face list and the size spin, and the first-line indent ruler above
// the body.
class TFormattingView {
public:
    explicit TFormattingView(const TMainActions& actions);
    ~TFormattingView();
    TFormattingView(const TFormattingView&) = delete;
    TFormattingView& operator=(const TFormattingView&) = delete;

    QToolBar* ToolBar() const { return StandardToolBar; }
    QWidget* Ruler() const;

private:
    friend class TFormatting;

    QPointer<QToolBar> StandardToolBar;
    QComboBox* FontName;
    TValueSpin* FontSize;
    QPointer<QSlider> TrackBar1;
};
