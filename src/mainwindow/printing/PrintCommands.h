#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/printing/PrintDocument.h"
#include "storage/PrintRange.h"

class QPrintPreviewDialog;
class QTextDocument;
class QWidget;
class TInitParam;
class TKyureki;
class TScrapList;
struct TMainActions;

// Printing the shown day, its month or its year: through the print dialog, in a preview, or
// saved as a PDF. A month or a year prints the days that have a page, in date order.
class TPrintCommands : public QObject {
    Q_OBJECT
public:
    struct TRequest {
        int Choice;  // TPrintOptionsDialog::TChoice
        TPrintOptions Options;
    };

    TPrintCommands(QWidget* window, const TMainActions& actions, const TScrapList& store,
                   const TInitParam& params, QObject* parent = nullptr);
    ~TPrintCommands() override;

    // Asks how to print span; empty when cancelled. Tests replace it.
    std::function<std::optional<TRequest>(TPrintSpan span)> AskHow;
    // Asks where to save a PDF, starting at suggested; empty when cancelled. Tests replace it.
    std::function<QString(const QString& suggested)> AskPdfPath;

    void Execute(TPrintSpan span);

    // The records span prints around the shown day; a day without a page prints as empty.
    std::vector<TDataInfo> Records(TPrintSpan span) const;
    // The document title: the date or the range of dates.
    QString Title(TPrintSpan span) const;
    QString Heading(int32_t date) const;
    // Lays out the records of span for printing; false when progress cancelled.
    bool Build(TPrintSpan span, const TPrintOptions& options, QTextDocument& document,
               const TPrintProgress& progress) const;
    // The PDF of span as bytes; empty when progress cancelled.
    std::string PdfBytes(TPrintSpan span, const TPrintOptions& options,
                         const TPrintProgress& progress) const;
    // A preview of span, not yet shown; it paints on demand, with progress for long work.
    std::unique_ptr<QPrintPreviewDialog> Preview(TPrintSpan span, const TPrintOptions& options);

Q_SIGNALS:
    // Printing is about to read the store: the page being edited belongs in it.
    void AboutToPrint();

private:
    void PrintThroughDialog(TPrintSpan span, const TPrintOptions& options);
    void SavePdf(TPrintSpan span, const TPrintOptions& options);
    QString SuggestedPdfName(TPrintSpan span) const;

    QWidget* window_;
    const TScrapList& store_;
    const TInitParam& params_;
    std::unique_ptr<TKyureki> kyureki_;
    // The options chosen last, offered again.
    TPrintOptions lastOptions_;
};
