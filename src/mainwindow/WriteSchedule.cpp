#include "mainwindow/WriteSchedule.h"

#include <QTimer>

#include "mainwindow/PageState.h"
#include "mainwindow/daypage/DayPage.h"
#include "notes/NoteList.h"
#include "storage/Report.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"

namespace {

constexpr int kWriteAfterEditMs = 5000;
constexpr int kWriteAtLatestMs = 30000;

}  // namespace

TWriteSchedule::TWriteSchedule(TDayPage& page, TScrapList& store,
                               std::initializer_list<TNoteList*> notes, TPageState& state,
                               QObject* parent)
    : QObject(parent),
      page_(page),
      store_(store),
      notes_(notes),
      state_(state),
      afterEdit_(new QTimer(this)),
      atLatest_(new QTimer(this)) {
    afterEdit_->setSingleShot(true);
    afterEdit_->setInterval(kWriteAfterEditMs);
    atLatest_->setSingleShot(true);
    atLatest_->setInterval(kWriteAtLatestMs);
    for (QTimer* timer : {afterEdit_, atLatest_})
        connect(timer, &QTimer::timeout, this, &TWriteSchedule::WriteSoon);
}

void TWriteSchedule::Edited() {
    afterEdit_->start();
    if (!atLatest_->isActive())
        atLatest_->start();
    UpdateSaveState();
}

void TWriteSchedule::Save() {
    page_.StorePage(store_.CurrentDate());
    WriteAll();
    UpdateSaveState();
}

void TWriteSchedule::WriteSoon() {
    WriteAfter([this] { page_.StoreInterim(); });
}

void TWriteSchedule::WriteAfter(const std::function<void()>& action) {
    const bool wasQuiet = quiet_;
    quiet_ = true;
    action();
    WriteAll();
    quiet_ = wasQuiet;
    UpdateSaveState();
}

void TWriteSchedule::WriteAll() {
    store_.SaveIfModified();
    for (TNoteList* notes : notes_) {
        if (!notes->Modified())
            continue;
        try {
            notes->Save();
        } catch (const VelmoraError& e) {
            ReportMessage(e.what());
        }
    }
}

void TWriteSchedule::UpdateSaveState() {
    if (!page_.Unwritten()) {
        afterEdit_->stop();
        atLatest_->stop();
    }
    const bool unwritten = Unwritten();
    state_.SetUnwritten(unwritten);
    if (!unwritten)
        told_.clear();
}

void TWriteSchedule::ReleaseBases() {
    store_.ReleaseBases();
    for (TNoteList* notes : notes_)
        notes->ReleaseBases();
}

bool TWriteSchedule::Unwritten() const {
    return page_.Unwritten() || Unsaved();
}

bool TWriteSchedule::Unsaved() const {
    if (store_.Modified() || store_.HoldsUnsaved())
        return true;
    for (const TNoteList* notes : notes_)
        if (notes->Modified())
            return true;
    return false;
}

bool TWriteSchedule::Tells(const QString& message) {
    if (!quiet_)
        return true;
    if (told_.contains(message))
        return false;
    told_.append(message);
    return true;
}
