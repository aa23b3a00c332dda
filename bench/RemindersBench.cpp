// Rebuilding the reminder panel with 1,000 notes of every rule: the month summary runs on every
// month change and the reminder list after every added note, so each must stay well within a
// frame (16 ms).

#include <benchmark/benchmark.h>

#include <QAction>
#include <QMainWindow>

#include "controls/Diary.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/PageState.h"
#include "mainwindow/reminders/Reminders.h"
#include "notes/NoteList.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

constexpr int kNotes = 1000;

// Notes of every month and day rule, open and done, spread over the year.
void FillNotes(TNoteList& todo, TNoteList& memory) {
    const uint16_t dayRules[] = {15, DayRuleLastDay, MakePeriodRule(10, 20),
                                 MakeWeekRule(0x22, 0x0A), 31};
    const uint16_t monthRules[] = {0, 3, 7, MonthSetFlag | 0x0555, 12};
    for (int i = 0; i < kNotes; ++i) {
        TNoteRec note;
        note.Kind = i % 4 == 0 ? NoteDone : NoteOpen;
        note.MonthRule = monthRules[i % 5];
        note.DayRule = dayRules[(i / 5) % 5];
        note.StartYear = static_cast<uint16_t>(2000 + i % 27);
        note.EndDate = note.Kind == NoteDone ? EncodeDate(2026, 3, 1) : 0;
        note.Title = Sjis("備忘録の項目") + std::to_string(i);
        todo.AddNote(note);

        TNoteRec birthday;
        birthday.Kind = i % 10 == 0 ? NoteHidden : NoteBirthday;
        birthday.MonthRule = static_cast<uint16_t>(1 + i % 12);
        birthday.DayRule = static_cast<uint16_t>(1 + i % 28);
        birthday.StartYear = static_cast<uint16_t>(1930 + i % 90);
        if (i % 7 == 0) {
            birthday.EndYear = 2015;
            birthday.EndDate = EncodeDate(2015, 1 + i % 12, 1 + i % 28);
        }
        birthday.Title = Sjis("誕生日の人") + std::to_string(i);
        memory.AddNote(birthday);
    }
    todo.SortByRule();
    memory.SortByRule();
}

struct TPanelBench {
    TPanelBench() {
        actions.Create(&window, &window);
        FillNotes(todo, memory);
        state = std::make_unique<TPageState>(*actions.SaveNowAction, window);
        panel = std::make_unique<TReminders>(diary, todo, memory, *state, params);
    }
    // A list is filled while its tab is in view.
    void ShowTab(const char* page) const {
        auto* tabs = qobject_cast<QTabWidget*>(panel->View());
        tabs->setCurrentWidget(tabs->findChild<QWidget*>(QLatin1String(page)));
    }
    QMainWindow window;
    TMainActions actions;
    TDiary diary;
    TNoteList todo;
    TNoteList memory;
    TInitParam params;
    std::unique_ptr<TPageState> state;
    std::unique_ptr<TReminders> panel;
};

void BM_FillMonthList(benchmark::State& state) {
    SetTodayForTesting(EncodeDate(2026, 3, 10));
    TPanelBench bench;
    for (auto _ : state) {
        bench.panel->FillMonthList();
    }
}
BENCHMARK(BM_FillMonthList)->Unit(benchmark::kMillisecond);

void BM_FillTodoList(benchmark::State& state) {
    SetTodayForTesting(EncodeDate(2026, 3, 10));
    TPanelBench bench;
    for (auto _ : state) {
        bench.panel->FillTodoList();
    }
}
BENCHMARK(BM_FillTodoList)->Unit(benchmark::kMillisecond);

void BM_FillMemoryList(benchmark::State& state) {
    SetTodayForTesting(EncodeDate(2026, 3, 10));
    TPanelBench bench;
    for (auto _ : state) {
        bench.panel->FillMemoryList();
    }
}
BENCHMARK(BM_FillMemoryList)->Unit(benchmark::kMillisecond);

}  // namespace
