#include "mainwindow/options/Options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "settings/IniParam.h"
#include "settings/ui/Setup.h"
#include "storage/VelmoraError.h"
#include "widgets/BtnLabel.h"

namespace {

constexpr int kWeekdays = 7;

// The swatches in the order of the window's colours (ListBox, ListView1, DateBar, DiaryMemo,
// Comment, NewsMemo, PrivMemo).
std::array<TColorButton*, 7> Swatches(const TSetupForm& form) {
    return {form.EventList, form.DiaryList, form.DayTitle, form.Diary,
            form.Edit,      form.News,      form.Memo};
}

std::array<QLineEdit*, 3> TitleEdits(const TSetupForm& form) {
    return {form.OneWord, form.EventTitle, form.Personal};
}

std::array<QLineEdit*, 3> TabEdits(const TSetupForm& form) {
    return {form.TabOneword, form.TabEvent, form.TabPersonal};
}

}  // namespace

TOptions::TOptions(QWidget* window, TDiary& diary, TInitParam& params, QObject* parent)
    : QObject(parent), window_(window), diary_(diary), params_(params) {}

void TOptions::SetupActionExecute() {
    TSetupForm form(window_);
    LoadDialog(form);
    if (form.exec() == QDialog::Accepted)
        StoreDialog(form);
}

void TOptions::LoadDialog(TSetupForm& form) const {
    TDiary& preview = *form.Diary1;
    for (int i = 1; i <= kWeekdays; ++i)
        preview.SetWeekColor(i, diary_.WeekColor(i));
    // The preview shows the holidays the window's calendar shows; that file was read without
    // fault at start-up, so a fault now only leaves the preview without holidays.
    try {
        preview.SetHolidayFileName(diary_.HolidayFileName());
    } catch (const VelmoraError&) {
    }
    preview.SetHolidayColor(diary_.HolidayColor());
    preview.SetEventColor(diary_.EventColor());
    preview.SetTodayColor(diary_.TodayColor());
    form.StWeek->setCurrentIndex(diary_.StartOfWeek());

    const std::array<TColor, 7>& colors = colors_;
    const std::array<TColorButton*, 7> swatches = Swatches(form);
    for (size_t i = 0; i < swatches.size(); ++i)
        swatches[i]->SetColor(colors[i]);

    form.WeatherMark->setChecked(params_.WeatherMark);
    form.WeatherIcon->setChecked(params_.WeatherIcon);
    form.ListKind->setChecked(params_.MonthOnly);
    form.DeathCheck->setChecked(params_.NoDeathDays);
    form.KazoeCheck->setChecked(params_.CountedAgeBeside);
    form.CelebrationAge->setCurrentIndex(params_.CelebrateCounted ? 1 : 0);
    form.RokuyoCheck->setChecked(params_.ShowRokuyo);
    form.SeasonGridCheck->setChecked(params_.SeasonInGrid);
    form.EraDateCheck->setChecked(params_.ShowEraDate);
    form.SeasonCheck->setChecked(params_.ShowSeason);
    form.DayEtoCheck->setChecked(params_.ShowDayEto);
    form.EraYearCheck->setChecked(params_.EraYearCaption);

    form.SetSampleFont(TSetupForm::DateTag, params_.DateFont);
    form.SetSampleFont(TSetupForm::NewsTag, params_.NewsFont);
    form.SetSampleFont(TSetupForm::MemoTag, params_.MemoFont);

    const std::array<QLineEdit*, 3> titles = TitleEdits(form);
    const std::array<QLineEdit*, 3> tabs = TabEdits(form);
    for (size_t i = 0; i < titles.size(); ++i) {
        titles[i]->setText(FromCp932(params_.Titles[i]));
        tabs[i]->setText(FromCp932(params_.TabTitles[i]));
    }
}

void TOptions::StoreDialog(const TSetupForm& form) {
    std::array<TColor, 7> colors{};
    const std::array<TColorButton*, 7> swatches = Swatches(form);
    for (size_t i = 0; i < swatches.size(); ++i)
        colors[i] = swatches[i]->Color();
    colors_ = colors;
    const TDiary& preview = *form.Diary1;
    diary_.SetHolidayColor(preview.HolidayColor());
    diary_.SetEventColor(preview.EventColor());
    diary_.SetTodayColor(preview.TodayColor());
    diary_.SetStartOfWeek(form.StWeek->currentIndex());
    for (int i = 1; i <= kWeekdays; ++i)
        diary_.SetWeekColor(i, preview.WeekColor(i));

    params_.WeatherMark = form.WeatherMark->isChecked();
    params_.WeatherIcon = form.WeatherIcon->isChecked();
    params_.MonthOnly = form.ListKind->isChecked();
    params_.NoDeathDays = form.DeathCheck->isChecked();
    params_.CountedAgeBeside = form.KazoeCheck->isChecked();
    params_.CelebrateCounted = form.CelebrationAge->currentIndex() == 1;
    params_.ShowRokuyo = form.RokuyoCheck->isChecked();
    params_.SeasonInGrid = form.SeasonGridCheck->isChecked();
    params_.ShowEraDate = form.EraDateCheck->isChecked();
    params_.ShowSeason = form.SeasonCheck->isChecked();
    params_.ShowDayEto = form.DayEtoCheck->isChecked();
    params_.EraYearCaption = form.EraYearCheck->isChecked();
    // The grid paints the weather icons and the rokuyo by these settings.
    diary_.update();

    params_.DateFont = form.SampleFont(TSetupForm::DateTag);
    params_.NewsFont = form.SampleFont(TSetupForm::NewsTag);
    params_.MemoFont = form.SampleFont(TSetupForm::MemoTag);

    const std::array<QLineEdit*, 3> titles = TitleEdits(form);
    const std::array<QLineEdit*, 3> tabs = TabEdits(form);
    for (size_t i = 0; i < titles.size(); ++i) {
        params_.Titles[i] = ToCp932(titles[i]->text(), params_.Titles[i]);
        params_.TabTitles[i] = ToCp932(tabs[i]->text(), params_.TabTitles[i]);
    }

    Q_EMIT Changed(params_, colors_);
}
