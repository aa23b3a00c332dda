#pragma once

#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>

#include "controls/Diary.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/daypage/DayPage.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"

// The holiday rules shipped with the program.
inline std::string ReadShippedHolidays() {
    std::string bytes;
    ReadWholeFile(VELMORA_TEST_DATA "/../../data/Velmora.hol", bytes);
    return bytes;
}

// One program run after another in its own folder: the window is given an executable path in
// a temporary folder, so every file it reads and writes lies there. Message boxes are recorded
// instead of shown.
class TWindowRun {
public:
    TWindowRun()
        : exe_(dir_.filePath(QStringLiteral("Velmora"))), savedState_(qgetenv("XDG_STATE_HOME")) {
        // Rescue copies go to a state folder of the run's own, which the unprivileged user of
        // a read-only test may write too.
        ::chmod(QFile::encodeName(state_.path()).constData(), 0777);
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
        SetUserMessageHook([this](const QString& text) { Messages << text; });
        SetUserQuestionHook([this](const QString& text) {
            Questions << text;
            return AnswerYes;
        });
    }
    ~TWindowRun() {
        AnswerYes = true;
        Stop();
        SetUserMessageHook({});
        SetUserQuestionHook({});
        if (savedState_.isEmpty())
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", savedState_);
    }

    // Starts the program: the settings record, then the window, shown. helpFile is the help of
    // an installed program, read from its share folder; by default the help beside the diary.
    TForm1& Start(const QString& helpFile = {}) {
        Build(helpFile);
        form_->show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(form_.get());
        return *form_;
    }

    // The settings record and the window, not yet shown.
    TForm1& Build(const QString& helpFile = {}) {
        params_ = std::make_unique<TInitParam>();
        form_ = std::make_unique<TForm1>(*params_, exe_, helpFile);
        return *form_;
    }

    // Closes the window as the user would, destroys it, then writes the settings as the
    // program does at its end.
    // Returns false when the window refused to close.
    bool Stop() {
        if (!form_)
            return true;
        if (!form_->close())
            return false;
        form_.reset();
        params_->Save();
        params_.reset();
        return true;
    }

    // Where this run keeps rescue copies ($XDG_STATE_HOME).
    QString StateFolder() const { return state_.path(); }
    // The next start finds the rescue copies of other's run.
    void ShareStateWith(const TWindowRun& other) {
        qputenv("XDG_STATE_HOME", QFile::encodeName(other.StateFolder()));
    }

    TForm1& Form() { return *form_; }
    QString Folder() const { return dir_.path(); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    std::string CorePath(const QString& name) const {
        return QFile::encodeName(Path(name)).toStdString();
    }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files, QDir::Name); }
    void Put(const QString& name, const std::string& bytes) const {
        SafeWriteFile(CorePath(name), bytes);
    }
    std::string Read(const QString& name) const {
        std::string bytes;
        ReadWholeFile(CorePath(name), bytes);
        return bytes;
    }

    QStringList Messages;
    QStringList Questions;
    bool AnswerYes = true;

private:
    QTemporaryDir dir_;
    QTemporaryDir state_;
    QString exe_;
    QByteArray savedState_;
    std::unique_ptr<TInitParam> params_;
    std::unique_ptr<TForm1> form_;
};

// Types text as an input method commits it, the way Japanese reaches an editor.
inline void TypeText(QWidget* editor, const QString& text) {
    editor->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(editor, &commit);
}

// Clicks the grid cell that shows date (which must be on the shown page).
inline void ClickDay(TDiary& grid, int32_t date) {
    for (int row = 1; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            if (grid.CellDate(col, row) == date) {
                QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(col, row).center());
                return;
            }
    QFAIL("date not on the shown page");
}

// Opens the weather menu below its button, as a click on it does, and picks the mark of index.
inline void ChooseWeather(TForm1& form, int index) {
    QMenu* popup = form.Page().WeatherPopup();
    const QWidget* button = popup->parentWidget();
    popup->popup(button->mapToGlobal(QPoint(0, button->height())));
    auto* item = popup->findChild<QToolButton*>(QStringLiteral("Weather%1").arg(index));
    QVERIFY(item);
    item->click();
    QVERIFY(!popup->isVisible());
}

// Puts rec into its year file, as an earlier run of the program would have left it.
inline void SeedRecord(const TWindowRun& run, const TDataInfo& rec) {
    TScrapList seed;
    seed.LoadFromFile(run.CorePath(QStringLiteral("%1.dat").arg(DecodeDate(rec.Date).Year)));
    seed.PutRecord(rec);
    seed.SaveToFile();
}

inline TDataInfo StoredRecord(const TWindowRun& run, int year, int32_t date) {
    TScrapList store;
    store.LoadFromFile(run.CorePath(QStringLiteral("%1.dat").arg(year)));
    return store.FindByDate(date);
}
