#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "storage/DaySearch.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class TInitParam;
class TScrapList;

// The search window: a query over every year file beside the program, the open year taken from
// the store so that edits not yet written are found. One year file is searched per turn of the
// event loop, so the window stays responsive and the search can be stopped.
class TSearchWindow : public QDialog {
    Q_OBJECT
public:
    // beforeSearch puts the page being written into the store.
    TSearchWindow(QWidget* parent, const TScrapList& store, const TInitParam& params,
                  std::function<void()> beforeSearch);

    // Shows the window with the query selected.
    void Open();
    void StartSearch();
    void CancelSearch();
    bool Searching() const { return !years_.empty(); }

    QLineEdit* Query() const { return query_; }
    QComboBox* Fields() const { return fields_; }
    QComboBox* Order() const { return order_; }
    QTreeWidget* Results() const { return results_; }
    QLabel* Status() const { return status_; }

Q_SIGNALS:
    // The user chose the result of this day.
    void DayChosen(int32_t date);

private:
    void SearchNextYear();
    void AddHits(std::vector<TSearchHit> hits);
    void Finish(const QString& text);

    const TScrapList& store_;
    const TInitParam& params_;
    std::function<void()> beforeSearch_;
    QLineEdit* query_;
    QComboBox* fields_;
    QComboBox* order_;
    QPushButton* searchBtn_;
    QPushButton* cancelBtn_;
    QProgressBar* progress_;
    QLabel* status_;
    QTreeWidget* results_;

    std::unique_ptr<TDaySearch> search_;
    std::vector<int> years_;  // still to search, the next one last
    int found_ = 0;
    QStringList damaged_;
};
