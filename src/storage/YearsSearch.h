#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "storage/DaySearch.h"

// What a search found in one year.
struct TYearFound {
    int Year = 0;
    std::vector<TSearchHit> Hits;  // in date order, or the reverse for a search newest first
    bool Damaged = false;          // the year file could be read only in part, or not at all
};

// One search over the year files of a folder, run by threads of its own that each take the next
// year not yet taken. The years found are handed on in the order of the years asked for, in
// batches: the first year as soon as it is done, then what is done every interval, and the rest
// at the end. The open year is searched in records given, a copy of the store's, so that pages
// not yet written are found and the store itself is never read from another thread.
class TYearsSearch {
public:
    struct TRequest {
        std::shared_ptr<const TDaySearch> Search;
        std::vector<int> Years;  // in the order the hits are to be listed; at least one
        bool NewestFirst = false;
        std::string Dir;  // the folder of the year files
        int OpenYear = 0;
        std::vector<TDataInfo> Open;  // the records of OpenYear
    };
    // Called on a search thread, one call at a time; last is true for the batch that ends the
    // search.
    using THandOn = std::function<void(std::vector<TYearFound> years, bool last)>;

    TYearsSearch(TRequest request, THandOn handOn, int threads,
                 std::chrono::milliseconds interval = std::chrono::milliseconds(40));
    // Stops the search.
    ~TYearsSearch();

    // Stops the search and waits for its threads: nothing more is handed on once it returns.
    void Stop();

private:
    void Work();
    TYearFound SearchYear(int year) const;
    void HandOnDone();

    const TRequest request_;
    const THandOn handOn_;
    const std::chrono::milliseconds interval_;
    std::atomic<size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::optional<TYearFound>> found_;  // by index into request_.Years
    size_t handedOn_ = 0;                           // years handed on so far
    std::vector<TYearFound> batch_;
    std::chrono::steady_clock::time_point lastHandedOn_;
    std::vector<std::thread> threads_;
};
