#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/DaySearch.h"
#include "storage/YearsSearch.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class TInitParam;
class TScrapList;

// The search window: a query over every year file beside the program, the open year taken from
// the store so that edits not yet written are found. The years are searched on threads of their
// own (TYearsSearch) and their hits listed in batches as they are found, so the window stays
// responsive and the search can be stopped; a search started anew, stopped or closed lists
// nothing more of the old one.
class TSearchWindow : public QDialog {
    Q_OBJECT
public:
    // beforeSearch puts the page being written into the store.
    TSearchWindow(QWidget* parent, const TScrapList& store, const TInitParam& params,
                  std::function<void()> beforeSearch);
    ~TSearchWindow() override;

    // Shows the window with the query selected.
    void Open();
    void StartSearch();
    void CancelSearch();
    bool Searching() const { return searching_; }

    QLineEdit* Query() const { return query_; }
    QComboBox* Fields() const { return fields_; }
    QComboBox* Order() const { return order_; }
    QTreeWidget* Results() const { return results_; }
    QLabel* Status() const { return status_; }
    // The data role of a result's text column holding it as HTML, every word highlighted.
    static constexpr int HighlightRole = Qt::UserRole + 1;

Q_SIGNALS:
    // The user chose the result of this day.
    void DayChosen(int32_t date);

private:
    // Stops the search threads, if any, and waits for them; what they still sent is dropped.
    void StopThreads();
    void YearsFound(unsigned generation, const std::vector<TYearFound>& years, bool last);
    void AddHits(const std::vector<TSearchHit>& hits);
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

    std::unique_ptr<TYearsSearch> running_;
    unsigned generation_ = 0;  // of the search running; years found by another are dropped
    bool searching_ = false;
    std::vector<int> years_;  // in the order searched and listed
    int found_ = 0;
    QStringList damaged_;
};
