#include "mainwindow/WindowLayout.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <algorithm>
#include <utility>
#include <vector>

#include "controls/Diary.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/daypage/DayPageView.h"
#include "settings/IniParam.h"
#include "storage/CommaDB.h"
#include "storage/VelmoraError.h"

TWindowLayout::TWindowLayout(QMainWindow& window, TMainLayout& frame, TDayPageView& page,
                             TDiary& diary, TInitParam& params, TReport report)
    : window_(window),
      frame_(frame),
      page_(page),
      diary_(diary),
      params_(params),
      report_(std::move(report)) {}

void TWindowLayout::ApplyPlacement(QMainWindow& window, TInitParam& params) {
    TWindowPlacement placement;
    placement.Bounds = {window.x(), window.y(), window.x() + window.width(),
                        window.y() + window.height()};
    placement.State = WindowNormal;
    const QScreen* screen = QGuiApplication::primaryScreen();
    params.ApplyWindow(placement, screen->size().width(), screen->size().height());
    if (placement.State == WindowMaximized) {
        window.setWindowState(Qt::WindowMaximized);
        return;
    }
    // A window closed while minimised opens as a normal one: a started program shows itself.
    const QRect area = screen->availableGeometry();
    const TWindowRect& r = placement.Bounds;
    QRect bounds(QPoint(r.Left, r.Top), QSize(r.Right - r.Left, r.Bottom - r.Top));
    const bool saved =
        r.Left < r.Right && r.Top < r.Bottom && params.WindowRect.Left < params.WindowRect.Right;
    if (!saved)
        bounds = QRect(QPoint(), FirstStartWindowSize(area.size()));
    bounds.setSize(bounds.size().boundedTo(area.size()));
    if (!saved)
        bounds.moveCenter(area.center());
    bounds.moveLeft(std::clamp(bounds.left(), area.left(), area.right() + 1 - bounds.width()));
    bounds.moveTop(std::clamp(bounds.top(), area.top(), area.bottom() + 1 - bounds.height()));
    window.move(bounds.topLeft());
    window.resize(bounds.size());
}

void TWindowLayout::ApplySaved() {
    // A field replaces the current value only when it is above 0; a bad field stops the value
    // there and the rest keep their current values.
    auto apply = [this](const std::string& value, auto&& applyFields) {
        TCommaFile line;
        line.SetLine(value);
        try {
            applyFields([&line](int current) { return line.GetIntegerAbove(0, current); });
        } catch (const VelmoraError& e) {
            report_(e);
        }
    };
    apply(params_.SplitInfo, [this](auto next) {
        frame_.ApplyColumnSizes(next);
        page_.ApplyBodyHeight(next);
        const std::array<int, 7> current = SplitInfo();
        // The list's own top follows from its band caption; it is read for the record's order.
        next(current[3]);
        const int reminderTop = next(current[4]);
        const int privTop = next(current[5]);
        next(current[6]);
        frame_.SetReminderTop(reminderTop);
        page_.SetPrivMemoTop(privTop);
    });
    apply(params_.ColorInfo, [this](auto next) { frame_.ApplyColorInfo(next); });
    apply(params_.DiaryColor, [this](auto next) {
        for (int i = 1; i <= 7; ++i)
            diary_.SetWeekColor(i, next(static_cast<int>(diary_.WeekColor(i))));
        diary_.SetHolidayColor(next(static_cast<int>(diary_.HolidayColor())));
        diary_.SetEventColor(next(static_cast<int>(diary_.EventColor())));
        diary_.SetTodayColor(next(static_cast<int>(diary_.TodayColor())));
        diary_.SetStartOfWeek(next(diary_.StartOfWeek()));
    });
}

void TWindowLayout::Store() {
    TWindowPlacement placement;
    const QPoint at = window_.pos();
    placement.Bounds = {at.x(), at.y(), at.x() + window_.width(), at.y() + window_.height()};
    placement.State = window_.isMaximized()   ? WindowMaximized
                      : window_.isMinimized() ? WindowMinimized
                                              : WindowNormal;
    params_.StoreWindow(placement);

    auto line = [](const auto& values) {
        std::vector<TFieldValue> fields;
        for (auto v : values)
            fields.emplace_back(static_cast<int32_t>(v));
        return ValuesToLine(fields);
    };
    params_.SplitInfo = line(SplitInfo());
    params_.ColorInfo = line(ColorInfo());
    std::array<TColor, 7> week{};
    for (int i = 1; i <= 7; ++i)
        week[i - 1] = diary_.WeekColor(i);
    const std::array<int64_t, 4> rest = {diary_.HolidayColor(), diary_.EventColor(),
                                         diary_.TodayColor(), diary_.StartOfWeek()};
    params_.DiaryColor = line(week) + line(rest);
}

std::array<int, 7> TWindowLayout::SplitInfo() const {
    const std::array<int, 4> frame = frame_.SplitSizes();
    const std::array<int, 3> page = page_.SplitSizes();
    return {frame[0], frame[1], page[0], frame[2], frame[3], page[1], page[2]};
}

std::array<TColor, 7> TWindowLayout::ColorInfo() const {
    return frame_.ColorInfo();
}
