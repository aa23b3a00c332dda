#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;
class TExportDialog;
class THolidayList;
class TImportDialog;
class TInitParam;
class TNoteList;
struct TNoteRec;
class TScrapList;
class TWriteSchedule;

// ファイル → インポート / エクスポート: pages of a range of days out to other formats, and pages
// of other diaries in; the reminders and anniversaries out to and in from iCalendar. A page
// import writes the year files itself, the shown year through the store, so the window's own
// page goes to disk first and nothing the window holds is written over the imported days. A
// note import goes into the window's own note lists, written by the window's one writer.
class TExchange : public QObject {
    Q_OBJECT
public:
    // writes puts the page being written into the store and writes the year files before
    // anything is read. baseName names the diary's files ("Velmora").
    TExchange(QWidget* window, TScrapList& store, TWriteSchedule& writes, TNoteList& todoNotes,
              TNoteList& memoryNotes, const TInitParam& params, const THolidayList& holidays,
              std::string baseName, QObject* parent = nullptr);
    ~TExchange() override;

    // "ファイル(&F)" with the two commands.
    QMenu* Menu() const { return menu_.get(); }
    QAction* ImportAction = nullptr;
    QAction* ExportAction = nullptr;

    // Run the dialogs; true when the user went ahead. Tests replace them.
    std::function<bool(TExportDialog& dialog)> RunExport;
    std::function<bool(TImportDialog& dialog)> RunImport;

    void ExportActionExecute();
    void ImportActionExecute();

Q_SIGNALS:
    // Pages came into the store's year: the page and the lists show them again.
    void Imported();
    // Notes came into the note lists: the reminder panel shows them again.
    void NotesImported();

private:
    bool StorePage();
    void ExportNotes(const QString& target);
    // Adds the notes of an import to the lists and writes them; false when nothing was written.
    bool AddNotes(const std::vector<TNoteRec>& reminders,
                  const std::vector<TNoteRec>& anniversaries);

    QWidget* window_;
    TScrapList& store_;
    TWriteSchedule& writes_;
    TNoteList& todoNotes_;
    TNoteList& memoryNotes_;
    const TInitParam& params_;
    const THolidayList& holidays_;
    std::string baseName_;
    std::unique_ptr<QMenu> menu_;
};
