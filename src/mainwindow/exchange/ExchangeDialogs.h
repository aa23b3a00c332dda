#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// What an export or import will do, as its dialog shows it before the user goes ahead.
struct TExchangePreview {
    QString Text;
    QStringList Details;  // listed under the text, one a line
    bool Ready = false;   // the work can go ahead
};

// ファイル → エクスポート: a range of days, a format, a target and whether the private memo
// goes too (the notes go out whole); the preview says what goes where.
class TExportDialog : public QDialog {
    Q_OBJECT
public:
    // preview tells what an export of a format and a range of days writes.
    using TPreview = std::function<TExchangePreview(const QString& format, QDate from, QDate to)>;
    TExportDialog(QDate from, QDate to, TPreview preview, QWidget* parent = nullptr);

    QDate From() const;
    QDate To() const;
    // "html", "markdown", "odt", "text" for the pages, "ics" for the notes.
    QString Format() const;
    QString Target() const;
    bool PrivateMemo() const;

private:
    void FormatChanged();
    void Browse();
    void UpdatePreview();

    TPreview preview_;
    QDateEdit* from_;
    QDateEdit* to_;
    QComboBox* format_;
    QLineEdit* target_;
    QCheckBox* private_;
    QLabel* previewText_;
    QPlainTextEdit* details_;
    QDialogButtonBox* buttons_;
};

// ファイル → インポート: a source (a folder of pages, or a .ics of notes) and its path; 確認
// shows what the import will do (days new and appended, or the entries that become notes and
// those left out with their reason) and every file that cannot be read. Only a preview that is
// ready can be imported.
class TImportDialog : public QDialog {
    Q_OBJECT
public:
    // preview reads a source ("rednotebook", "markdown", "ics") at path and tells what an import
    // of it does; the caller keeps what it read for the import.
    using TPreview = std::function<TExchangePreview(const QString& source, const QString& path)>;
    explicit TImportDialog(TPreview preview, QWidget* parent = nullptr);

    QString Source() const;
    QString Path() const;
    void SetPath(const QString& path);
    void SetSource(const QString& source);
    // Reads the source and shows what an import will do.
    void ShowPreview();

private:
    bool ReadsFile() const;
    void Browse();
    void SourceChanged();

    TPreview preview_;
    QComboBox* source_;
    QLabel* pathLabel_;
    QLineEdit* path_;
    QLabel* summary_;
    QPlainTextEdit* details_;
    QDialogButtonBox* buttons_;
};
