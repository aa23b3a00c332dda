#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>

#include "bridge/Colors.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TDiary;
class TInitParam;
class TScrapList;
class TStoreEvents;

// 過去の今日: the pages of the shown month and day in every earlier year, newest first, each
// with its year, weekday, weather mark, title and the first line of its body. It follows the
// store's day and reads the other years' files for that day only; a click opens the day.
// Reading those files is left until the panel is shown: while hidden, a change only marks the
// rows out of date.
class TPastYears : public QObject {
    Q_OBJECT
public:
    TPastYears(TDiary& diary, const TScrapList& store, TStoreEvents& events,
               const TInitParam& params, QObject* parent = nullptr);
    ~TPastYears() override;

    // The panel; its placer owns it.
    QWidget* View() const { return ui_.Panel; }
    QTreeWidget* List() const { return ui_.List; }
    QLabel* Note() const { return ui_.Note; }
    void SetColor(TColor color);

    // Lists the pages for the store's current day.
    void Fill();
    // Whether the panel is in view; shown, rows out of date are filled at once.
    void SetShown(bool shown);
    // Marks the rows out of date (an option they show changed): read again once shown.
    void Invalidate();

private:
    void RowClicked(QTreeWidgetItem* row);
    // The store's day or pages changed: read again at once when shown.
    void ListChanged();
    void DateChanged();

    struct TWidgets {
        QPointer<QWidget> Panel;
        QLabel* Note;
        QTreeWidget* List;
    };

    TWidgets ui_;
    TDiary& diary_;
    const TScrapList& store_;
    const TInitParam& params_;
    bool shown_ = false;
    bool stale_ = true;
    // The day the rows were filled for.
    int32_t filledDate_ = 0;
};
