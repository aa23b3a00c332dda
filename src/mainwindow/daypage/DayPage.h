#pragma once

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "controls/DiaryCell.h"
#include "storage/DataInfo.h"

#include "mainwindow/daypage/DayPageView.h"
#include "mainwindow/daypage/RokuyoFaces.h"

class QAction;
class QMenu;
class QPainter;
class QPoint;
class QWidget;
class TDiary;
class TInitParam;
class TKyureki;
class TPageState;
class TPreeditCommit;
class TScrapList;
class TStoreEvents;

// The page of one day: loading it from the day store, storing it back when the user leaves
// the day, the header texts, the weather mark, the month and weather menus, and what the page
// adds to each cell of the month grid.
//
// Two states of the page are kept apart: Changed (edited since it was loaded: what undo
// discards) and Unwritten (edited since it was last put into the store: what a write to disk
// still lacks). StoreInterim puts a page being written into the store without changing what
// undo returns to.
class TDayPage : public QObject {
    Q_OBJECT
public:
    // The page listens to the store's events and paints into the grid's cells until it goes.
    TDayPage(TDiary& diary, TScrapList& store, TStoreEvents& events, TPageState& state,
             TKyureki& kyureki, TInitParam& params);
    ~TDayPage() override;

    // The page's widgets, which the window places.
    TDayPageView& View() { return view_; }
    const TDayPageView& View() const { return view_; }

    // Shows the month menu at global.
    void PopupMonthList(const QPoint& global);
    // Colours the header and the editors from the seven colours of "COLORINFO".
    void SetColors(const std::array<TColor, 7>& colors);

    // Gives the date header and the two memos the settings' fonts, and the one-line field and
    // the memos the user's titles.
    void ApplySettings();

    // Grid notifications.
    void CalendarChange();
    void Diary1ChangeDate(double date);
    uint8_t Diary1EventDefine(double date) const;
    void Diary1DrawCell(int32_t date, bool thisMonth, QPainter& canvas, const QRect& rect);
    // Where the label (the day's solar term or seasonal day, else the rokuyo) and the weather
    // picture go in the band the grid leaves in the cell of date drawn in cellFont, as
    // Diary1DrawCell puts them; look receives the rokuyo's face and season the solar term's
    // label (null and none when they are not drawn).
    TDiaryBandParts CellBandParts(const QFont& cellFont, const QRect& band, int32_t date,
                                  const TRokuyoFaces::TLook** look = nullptr,
                                  std::optional<TRokuyoFaces::TLabel>* season = nullptr);

    // Store notifications.
    void StorePage(int32_t date);
    void DateChanged(uint8_t flags, int year, int month, int day);
    // Puts the page being written into the store as it stands, so that a write of the year file
    // holds it; undo still returns to the page as loaded. A page that holds nothing (blank texts,
    // no weather) is left for leaving the day to decide, so nothing is deleted behind the user's
    // back.
    void StoreInterim();
    // Commits text still being composed in an input method into its editor.
    void CommitPreedit();

    // Commands.
    void TodayBtnClick();
    void ToolButton11Click(int tag);
    void MonthMenuClick(int month);
    void DataChanged();
    // A formatting command changed the body or the format typed next.
    void BodyFormatted();
    void OnWeatherChange(int index);
    // Loads the page from the store's current record.
    void UndoActionExecute();
    // The undo command: after a yes to the question, the page and the store go back to the page
    // as it was loaded.
    void UndoCommand();
    // Deletes the day's record; a page that holds text is deleted only after a yes.
    void DeleteBtnClick();

    // The page as a record for date, built from the editors.
    TDataInfo PageRecord(int32_t date) const;
    int Weather() const { return weather_; }
    bool Changed() const;
    bool Unwritten() const { return unwritten_; }

    // Header texts for the current date.
    QString Label1Text() const;
    // The year caption, Western or era years by the settings; its tip names both and the 干支.
    void ShowYearCaption(int year);
    // The old-calendar date of the current date, "旧10月29日" or "旧閏6月1日"; empty outside the
    // reckoned days.
    QString OldDateText() const;

    QMenu* WeatherPopup() const { return weatherPopup_; }

Q_SIGNALS:
    // The user edited the page (a text or the weather).
    void Edited();
    // Changed or Unwritten may have changed.
    void StateChanged();
    // The page has been loaded from the store.
    void Loaded();
    // Whether undo has a change to discard: the page is Changed.
    void Undoable(bool changed);
    // Whether the page's day has a record that delete can remove.
    void Deletable(bool stored);
    // The grid shows another year or month: captions for the window, "2026年日記" and
    // "2026年 2月".
    void YearShown(const QString& caption, const QString& tip);
    void MonthShown(const QString& caption);

private:
    // Builds the month menu (MonthList) and the weather menu (WeatherPopup), whose items
    // FillWeatherPopup makes as it first opens.
    void BuildMonthList();
    void BuildWeatherPopup();
    void FillWeatherPopup();
    // The window the page is in: the parent of its questions.
    QWidget* Window() const;
    void MarkDocumentsStored();
    void SetWeather(int index);
    void SetChanged(bool changed);
    bool HoldsText() const;
    // Shows rec's body; its text field instead when the RTF is cut short or tells another text,
    // which the user is told once per day and run.
    void ShowBody(const TDataInfo& rec);
    void KeepSetAsideBody();

    TDayPageView view_;
    TDiary& diary_;
    TScrapList& store_;
    TPageState& state_;
    TKyureki& kyureki_;
    TInitParam& params_;

    TRokuyoFaces rokuyoFaces_;
    QMenu* weatherPopup_ = nullptr;
    int weather_ = 0;
    // The body as read from the store, and whether the user has changed it since: an untouched
    // body is written back byte for byte.
    TLazyText loadedRichText_;
    bool bodyTouched_ = false;
    // The body shows the plain-text field because its RTF is cut short or tells another text;
    // the days whose user has been told so in this run.
    bool setAside_ = false;
    std::set<int32_t> toldSetAside_;
    // The record as the page was loaded, and whether an interim store has replaced it since.
    TDataInfo loaded_;
    bool storedInterim_ = false;
    bool unwritten_ = false;
    bool changed_ = false;
    std::unique_ptr<TPreeditCommit> preedit_;
};
