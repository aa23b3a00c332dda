#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "storage/DataInfo.h"

class QMenu;
class QPainter;
class TDiary;
class TInitParam;
class TKyureki;
class TScrapList;
class TMainLayout;
struct TMainActions;

// The page of one day: loading it from the day store, storing it back when the user leaves
// the day, the header texts, the weather mark, the month and weather menus, and what the page
// adds to each cell of the month grid.
class TDayPage : public QObject {
    Q_OBJECT
public:
    // `updating` is the window's flag: set while the window fills its own controls.
    TDayPage(TMainLayout& ui, TMainActions& actions, TDiary& diary, TScrapList& store,
             TKyureki& kyureki, TInitParam& params, bool& updating);

    // Builds the month menu (MonthList) and the weather menu (WeatherPopup).
    void BuildMonthList();
    void BuildWeatherPopup();

    // Grid notifications.
    void CalendarChange();
    void Diary1ChangeDate(double date);
    uint8_t Diary1EventDefine(double date) const;
    void Diary1DrawCell(int32_t date, bool thisMonth, QPainter& canvas, const QRect& rect);

    // Store notifications.
    void StorePage(int32_t date);
    void DateChanged(uint8_t flags, int year, int month, int day);

    // Commands.
    void TodayBtnClick();
    void ToolButton11Click(int tag);
    void MonthMenuClick(int month);
    void DataChanged();
    void OnWeatherChange(int index);
    void UndoActionExecute();
    void DeleteBtnClick();

    // The page as a record for date, built from the editors.
    TDataInfo PageRecord(int32_t date) const;
    int Weather() const { return weather_; }
    bool Changed() const;

    // Header texts for the current date.
    static QString DateDispText(int year, int month, int day, int weekday);
    QString Label1Text() const;

    QMenu* WeatherPopup() const { return weatherPopup_; }

private:
    struct TRokuyo {
        QString Name;
        int Kind;
    };
    // The rokuyo of a day: the grid asks for every cell on every repaint, and the old-calendar
    // reckoning is far dearer than the painting.
    const TRokuyo& RokuyoOf(int32_t date);
    void SetWeather(int index);
    void SetChanged(bool changed);

    TMainLayout& ui_;
    TMainActions& actions_;
    TDiary& diary_;
    TScrapList& store_;
    TKyureki& kyureki_;
    TInitParam& params_;
    bool& updating_;

    std::unordered_map<int32_t, TRokuyo> rokuyo_;
    QMenu* weatherPopup_ = nullptr;
    int weather_ = 0;
    // The body as read from the store, and whether the user has changed it since: an untouched
    // body is written back byte for byte.
    std::string loadedRichText_;
    bool bodyTouched_ = false;
};
