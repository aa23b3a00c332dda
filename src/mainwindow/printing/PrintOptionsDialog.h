#pragma once

#include <QDialog>

#include "mainwindow/printing/PrintDocument.h"

class QCheckBox;

// Asks how to print: with or without the private memo, each day on a new sheet or flowing on,
// and whether to print, preview or save a PDF.
class TPrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog's results besides Rejected.
    enum TChoice { Print = 1, Preview, SavePdf };

    TPrintOptionsDialog(const QString& what, const TPrintOptions& options,
                        QWidget* parent = nullptr);
    TPrintOptions Options() const;

private:
    QCheckBox* privateMemo_;
    QCheckBox* newSheet_;
};
