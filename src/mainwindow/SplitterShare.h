#pragma once

#include <QObject>
#include <QSize>

class QSplitter;

// The main window's design size: the panes' design sizes are for a window of this size.
inline constexpr QSize kDesignWindowSize(780, 580);

// Gives the first pane of a two-pane splitter a share of every change of the splitter's size,
// where the splitter alone would give it all to the second pane. The first time the splitter is
// laid out it takes its share of the growth from the design size, unless a saved size was set
// (Keep), whose pixels then stand as they are.
class TSplitterShare : public QObject {
public:
    // share: the first pane's part of a change, 0..1; designFirst: the first pane's size when
    // the window has its design size designWindow.
    TSplitterShare(QSplitter* splitter, double share, int designFirst, const QSize& designWindow);

    // Sets the first pane to a saved size, which the first layout keeps; below 0 is none, and
    // the pane takes its share of the growth from the design size.
    void SetSaved(int first);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSplitter* splitter_;
    double share_;
    int designFirst_;
    QSize designWindow_;
    bool firstLayout_ = true;
};
