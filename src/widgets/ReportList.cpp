#include "widgets/ReportList.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "widgets/Named.h"

QTreeWidget* ReportList(const char* name) {
    auto* list = Named(new QTreeWidget, name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionsClickable(false);
    return list;
}
