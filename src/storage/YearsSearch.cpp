#include "storage/YearsSearch.h"

#include <algorithm>
#include <utility>

#include "storage/YearFile.h"

TYearsSearch::TYearsSearch(TRequest request, THandOn handOn, int threads,
                           std::chrono::milliseconds interval)
    : request_(std::move(request)),
      handOn_(std::move(handOn)),
      interval_(interval),
      found_(request_.Years.size()) {
    const int count = std::clamp(threads, 1, std::max(1, static_cast<int>(found_.size())));
    for (int i = 0; i < count; ++i) {
        threads_.emplace_back([this] { Work(); });
    }
}

TYearsSearch::~TYearsSearch() {
    Stop();
}

void TYearsSearch::Stop() {
    stop_ = true;
    for (std::thread& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void TYearsSearch::Work() {
    for (size_t i = next_++; i < found_.size() && !stop_; i = next_++) {
        TYearFound year = SearchYear(request_.Years[i]);
        const std::lock_guard lock(mutex_);
        found_[i] = std::move(year);
        HandOnDone();
    }
}

TYearFound TYearsSearch::SearchYear(int year) const {
    TYearFound found;
    found.Year = year;
    const auto match = [&](const TDataInfo& rec) {
        if (std::optional<TSearchHit> hit = request_.Search->Match(rec)) {
            found.Hits.push_back(std::move(*hit));
        }
    };
    if (year == request_.OpenYear) {
        std::for_each(request_.Open.begin(), request_.Open.end(), match);
    } else {
        const TYearFileRead read =
            ReadYearFile(YearFilePath(request_.Dir, year), TYearFileFields::WithoutRichText);
        // What could be read is searched; the file itself is never changed here.
        found.Damaged = !read.Error.empty() || !read.Text.BadLines.empty();
        std::for_each(read.Text.Records.begin(), read.Text.Records.end(), match);
    }
    if (request_.NewestFirst) {
        std::reverse(found.Hits.begin(), found.Hits.end());
    }
    return found;
}

void TYearsSearch::HandOnDone() {
    while (handedOn_ < found_.size() && found_[handedOn_] && !stop_) {
        batch_.push_back(std::move(*found_[handedOn_]));
        found_[handedOn_].reset();
        ++handedOn_;
    }
    const bool last = handedOn_ == found_.size();
    const auto now = std::chrono::steady_clock::now();
    // The first year is shown at once; after it, a batch at most every interval, since each
    // batch costs the list a repaint.
    if (!batch_.empty() && !stop_ &&
        (last || handedOn_ == batch_.size() || now - lastHandedOn_ >= interval_)) {
        lastHandedOn_ = now;
        handOn_(std::exchange(batch_, {}), last);
    }
}
