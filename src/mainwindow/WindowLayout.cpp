#include "mainwindow/WindowLayout.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <algorithm>
#include <utility>
#include <vector>

#include "controls/Diary.h"
#include "mainwindow/MainLayout.h"
#include "settings/IniParam.h"
#include "storage/CommaDB.h"
#include "storage/VelmoraError.h"

TWindowLayout::TWindowLayout(QMainWindow& window, TMainLayout& frame, TDiary& diary,
                             TInitParam& params, TReport report)
    : window_(window), frame_(frame), diary_(diary), params_(params), report_(std::move(report)) {}

void TWindowLayout::ApplyPlacement() {
    TWindowPlacement placement;
    placement.Bounds = {window_.x(), window_.y(), window_.x() + window_.width(),
                        window_.y() + window_.height()};
    placement.State = WindowNormal;
    const QScreen* screen = QGuiApplication::primaryScreen();
    params_.ApplyWindow(placement, screen->size().width(), screen->size().height());
    if (placement.State == WindowMaximized) {
        window_.setWindowState(Qt::WindowMaximized);
        return;
    }
    // A window closed while minimised opens as a normal one: a started program shows itself.
    const QRect area = screen->availableGeometry();
    const TWindowRect& r = placement.Bounds;
    QRect bounds(QPoint(r.Left, r.Top), QSize(r.Right - r.Left, r.Bottom - r.Top));
    const bool saved =
        r.Left < r.Right && r.Top < r.Bottom && params_.WindowRect.Left < params_.WindowRect.Right;
    if (!saved)
        bounds = QRect(QPoint(), FirstStartWindowSize(area.size()));
    bounds.setSize(bounds.size().boundedTo(area.size()));
    if (!saved)
        bounds.moveCenter(area.center());
    bounds.moveLeft(std::clamp(bounds.left(), area.left(), area.right() + 1 - bounds.width()));
    bounds.moveTop(std::clamp(bounds.top(), area.top(), area.bottom() + 1 - bounds.height()));
    window_.move(bounds.topLeft());
    window_.resize(bounds.size());
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
    apply(params_.SplitInfo, [this](auto next) { frame_.ApplySplitInfo(next); });
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
    params_.SplitInfo = line(frame_.SplitInfo());
    params_.ColorInfo = line(frame_.ColorInfo());
    std::array<TColor, 7> week{};
    for (int i = 1; i <= 7; ++i)
        week[i - 1] = diary_.WeekColor(i);
    const std::array<int64_t, 4> rest = {diary_.HolidayColor(), diary_.EventColor(),
                                         diary_.TodayColor(), diary_.StartOfWeek()};
    params_.DiaryColor = line(week) + line(rest);
}
