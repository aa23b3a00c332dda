#pragma once

#include <QObject>
#include <QPointer>

#include "bridge/Colors.h"
#include "storage/DataInfo.h"

class QAction;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QTreeWidget;
class QWidget;
class QTreeWidgetItem;
class TDiary;
class TInitParam;
class TScrapList;
class TPastYears;
class TStoreEvents;

// The lists of the year's diary days, one tab per page field, whose tabs carry the user's
// titles of those fields. Rows follow the store's records
// one by one; choosing a row opens its day in the grid. A button beside the lists' caption shows
// this day in past years in their place; the tabs keep the room they need to show whole.
class TDayLists : public QObject {
    Q_OBJECT
public:
    TDayLists(TDiary& diary, const TScrapList& store, TStoreEvents& events, TInitParam& params,
              QObject* parent = nullptr);
    ~TDayLists() override;

    // The tabs above the list; the window places it.
    QWidget* View() const { return ui_.DiaryListPanel; }
    // The past years' button; the window places it in the lists' caption row.
    QToolButton* PastYearsButton() const { return ui_.PastYearsButton; }
    // The selected tab, DayListTabCount for the past years, and selecting one without
    // rebuilding the list.
    int Tab() const;
    void SelectTab(int tab);
    // The list's background.
    void SetColor(TColor color);

    // Puts the user's titles on the lists' tabs.
    void ApplyTitles();
    // Builds the columns of the selected tab, then the rows.
    void DiaryListChange();
    // Rebuilds the rows and applies the user's titles.
    void FillDayList();
    void FillDayRow(QTreeWidgetItem& row, const TDataInfo& rec);
    // The grid shows another month: a list of the shown month only is rebuilt.
    void MonthChanged();
    // Selects the row of the store's current day and scrolls it into view; none when unlisted.
    void SelectCurrentRow();

    // Store notifications.
    void DayRecordChanged(const TDataInfo& rec);
    void DayRecordDeleted(const TDataInfo& rec);

    // Row choices and the list's menu.
    void ListView1SelectItem(QTreeWidgetItem* item, bool selected);
    void ListView1DblClick();
    void ListPopupPopup();
    void N_ThismonthClick(int tag);

    QMenu* ListPopup() const { return listPopup_; }
    TPastYears& PastYears() const { return *pastYears_; }

private:
    QTreeWidgetItem* RowOf(const TDataInfo& rec) const;
    char RowLetter() const;
    bool PastYearsShown() const;

    struct TWidgets {
        QPointer<QWidget> DiaryListPanel;
        QTabBar* DiaryList;
        QToolButton* PastYearsButton;
        QStackedWidget* Stack;
        QTreeWidget* ListView1;
    };

    TWidgets ui_;
    TDiary& diary_;
    const TScrapList& store_;
    TInitParam& params_;
    TPastYears* pastYears_ = nullptr;
    QMenu* listPopup_ = nullptr;
    QAction* nYear_ = nullptr;
    QAction* nThismonth_ = nullptr;
    // Set while the list selects a row itself, so the choice does not travel back to the grid.
    bool selecting_ = false;
};
