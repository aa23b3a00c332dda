#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <functional>

#include "exchange/PageImport.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// ファイル → エクスポート: a range of days, a format, a target and whether the private memo
// goes too; the preview line says how many days go where.
class TExportDialog : public QDialog {
    Q_OBJECT
public:
    // countPages tells how many days of a range have a page.
    TExportDialog(QDate from, QDate to, std::function<int(QDate, QDate)> countPages,
                  QWidget* parent = nullptr);

    QDate From() const;
    QDate To() const;
    // "html", "markdown", "odt", "text".
    QString Format() const;
    QString Target() const;
    bool PrivateMemo() const;

private:
    void FormatChanged();
    void Browse();
    void UpdatePreview();

    std::function<int(QDate, QDate)> countPages_;
    QDateEdit* from_;
    QDateEdit* to_;
    QComboBox* format_;
    QLineEdit* target_;
    QCheckBox* private_;
    QLabel* preview_;
    QDialogButtonBox* buttons_;
};

// ファイル → インポート: a source and its folder; the preview says how many days are new and
// how many get the import appended, and lists every file that cannot be read. Only a preview
// without problems can be imported.
class TImportDialog : public QDialog {
    Q_OBJECT
public:
    // preview reads a source and plans its import; the dialog shows what it found.
    using TPreview = std::function<TImportPlan(TImportSource source, const QString& folder,
                                               QStringList& problems, bool& cancelled)>;
    explicit TImportDialog(TPreview preview, QWidget* parent = nullptr);

    // The plan of the last preview.
    const TImportPlan& Plan() const { return plan_; }
    void SetFolder(const QString& folder);
    void SetSource(TImportSource source);
    // Reads the source and shows what an import will do.
    void ShowPreview();

private:
    void Browse();
    void SourceChanged();

    TPreview preview_;
    TImportPlan plan_;
    QComboBox* source_;
    QLineEdit* folder_;
    QLabel* summary_;
    QPlainTextEdit* problems_;
    QDialogButtonBox* buttons_;
};
