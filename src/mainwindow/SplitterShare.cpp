#include "mainwindow/SplitterShare.h"

#include <QResizeEvent>
#include <QSplitter>
#include <algorithm>
#include <cmath>

TSplitterShare::TSplitterShare(QSplitter* splitter, double share, int designFirst,
                               const QSize& designWindow)
    : QObject(splitter),
      splitter_(splitter),
      share_(share),
      designFirst_(designFirst),
      designWindow_(designWindow) {
    splitter->installEventFilter(this);
}

void TSplitterShare::SetSaved(int first) {
    if (first < 0)
        return;
    firstLayout_ = false;
    const QList<int> sizes = splitter_->sizes();
    if (first == sizes.value(0))
        return;
    const int total = sizes.value(0) + sizes.value(1);
    splitter_->setSizes({first, std::max(total - first, 1)});
}

bool TSplitterShare::eventFilter(QObject* watched, QEvent* event) {
    if (watched != splitter_ || event->type() != QEvent::Resize || splitter_->count() != 2)
        return false;
    const auto* resize = static_cast<const QResizeEvent*>(event);
    const bool horizontal = splitter_->orientation() == Qt::Horizontal;
    const auto pick = [horizontal](const QSize& size) {
        return horizontal ? size.width() : size.height();
    };
    const int extent = pick(resize->size());
    int first = 0;
    int change = 0;
    if (resize->oldSize().isValid()) {
        first = splitter_->sizes().value(0);
        change = extent - pick(resize->oldSize());
    } else if (firstLayout_) {
        // Everything else in the window keeps its size, so the splitter has grown as much as
        // the window has from its design size.
        first = designFirst_;
        change = pick(splitter_->window()->size()) - pick(designWindow_);
    }
    firstLayout_ = false;
    if (change == 0)
        return false;
    // The splitter lays its panes out from these sizes when it handles the event itself.
    const int room = extent - splitter_->handleWidth();
    const int lowest = std::max(pick(splitter_->widget(0)->minimumSizeHint()), 1);
    const int highest = std::max(room - pick(splitter_->widget(1)->minimumSizeHint()), lowest);
    first = std::clamp(first + static_cast<int>(std::lround(change * share_)), lowest, highest);
    splitter_->setSizes({first, std::max(room - first, 1)});
    return false;
}
