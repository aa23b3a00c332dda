#pragma once

#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
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
// the store so that edits not yet written are found. The years are searched one after another on
// a thread of their own, and each year's hits are listed as soon as it is done, so the window
// stays responsive and the search can be stopped; a search started anew, stopped or closed lists
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
    // What the search thread found in one year file.
    struct TYearDone {
        int Year = 0;
        std::vector<TSearchHit> Hits;
        bool Damaged = false;  // the file could be read only in part, or not at all
    };

    // Stops the search thread, if any, and waits for it; what it still sends is dropped.
    void StopThread();
    void YearDone(unsigned generation, TYearDone done);
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

    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> stop_;
    unsigned generation_ = 0;  // of the search running; a year done of another is dropped
    bool searching_ = false;
    std::vector<int> years_;  // in the order searched and listed
    int found_ = 0;
    QStringList damaged_;
};
