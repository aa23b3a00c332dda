#include "mainwindow/exchange/ExchangeDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kDialogWidth = 520;

struct TFormatEntry {
    const char* Name;  // as the command line names it
    const char16_t* Caption;
    const char16_t* Filter;  // the file dialog's filter; null for a folder
    const char* Suffix;
};

// The formats offered, in the list's order; a format of other data joins the list here.
constexpr TFormatEntry kExportFormats[] = {
    {"html", u"HTML (目次と写真つき)", u"HTML (*.html)", ".html"},
    {"markdown", u"Markdown (1日1ファイル)", nullptr, ""},
    {"odt", u"OpenDocument テキスト", u"OpenDocument (*.odt)", ".odt"},
    {"text", u"テキスト (UTF-8)", u"テキスト (*.txt)", ".txt"},
    {"ics", u"iCalendar (予定と記念日)", u"iCalendar (*.ics)", ".ics"},
};

// The format of the notes: they go out whole, whatever the range.
const QString kNotesFormat = QStringLiteral("ics");

struct TSourceEntry {
    const char* Name;  // as the command line names it
    const char16_t* Caption;
};

constexpr TSourceEntry kImportSources[] = {
    {"rednotebook", u"RedNotebook のデータフォルダ"},
    {"markdown", u"日付名の Markdown・テキストのフォルダ"},
    {"ics", u"iCalendar (予定と記念日)"},
};

// The list under a preview, shown only when it has lines.
QPlainTextEdit* DetailsBox(const char* name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    // Room for several lines once it shows, as the dialog grows only to what its parts need.
    box->setMinimumHeight(box->fontMetrics().lineSpacing() * 7);
    box->hide();
    return box;
}

// Shows the list, and grows its dialog so that the list and the buttons below it both fit.
void ShowDetails(QPlainTextEdit* box, const QStringList& lines) {
    box->setPlainText(lines.join(QLatin1Char('\n')));
    box->setVisible(!lines.isEmpty());
    QWidget* dialog = box->window();
    dialog->layout()->activate();
    if (dialog->height() < dialog->sizeHint().height())
        dialog->resize(dialog->width(), dialog->sizeHint().height());
}

QDateEdit* DateEdit(QDate date, const char* name, QWidget* parent) {
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setCalendarPopup(true);
    edit->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    edit->setDisplayFormat(u"yyyy年M月d日"_qs);
    return edit;
}

QHBoxLayout* PathRow(QLineEdit* edit, QPushButton* browse) {
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    return row;
}

}  // namespace

TExportDialog::TExportDialog(QDate from, QDate to, TPreview preview, QWidget* parent)
    : QDialog(parent), preview_(std::move(preview)) {
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(u"エクスポート"_qs);
    setMinimumWidth(kDialogWidth);
    from_ = DateEdit(from, "ExportFrom", this);
    to_ = DateEdit(to, "ExportTo", this);
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("ExportFormat"));
    for (const TFormatEntry& entry : kExportFormats)
        format_->addItem(QString::fromUtf16(entry.Caption), QString::fromLatin1(entry.Name));
    target_ = new QLineEdit(this);
    target_->setObjectName(QStringLiteral("ExportTarget"));
    auto* browse = new QPushButton(u"参照..."_qs, this);
    private_ = new QCheckBox(u"非公開のメモも書き出す"_qs, this);
    private_->setObjectName(QStringLiteral("ExportPrivate"));
    previewText_ = new QLabel(this);
    previewText_->setObjectName(QStringLiteral("ExportPreview"));
    previewText_->setWordWrap(true);
    details_ = DetailsBox("ExportDetails", this);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(u"書き出す"_qs);

    auto* range = new QHBoxLayout;
    range->addWidget(from_);
    range->addWidget(new QLabel(u"～"_qs, this));
    range->addWidget(to_);
    range->addStretch();
    auto* form = new QFormLayout;
    form->addRow(u"期間:"_qs, range);
    form->addRow(u"形式:"_qs, format_);
    form->addRow(u"書き出す先:"_qs, PathRow(target_, browse));
    form->addRow(QString(), private_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(previewText_);
    layout->addWidget(details_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &TExportDialog::Browse);
    connect(format_, &QComboBox::currentIndexChanged, this, &TExportDialog::FormatChanged);
    connect(from_, &QDateEdit::dateChanged, this, &TExportDialog::UpdatePreview);
    connect(to_, &QDateEdit::dateChanged, this, &TExportDialog::UpdatePreview);
    connect(target_, &QLineEdit::textChanged, this, &TExportDialog::UpdatePreview);
    UpdatePreview();
}

QDate TExportDialog::From() const {
    return from_->date();
}

QDate TExportDialog::To() const {
    return to_->date();
}

QString TExportDialog::Format() const {
    return format_->currentData().toString();
}

QString TExportDialog::Target() const {
    return target_->text().trimmed();
}

bool TExportDialog::PrivateMemo() const {
    return private_->isChecked();
}

// A file named for another format takes this one's suffix.
void TExportDialog::FormatChanged() {
    const TFormatEntry& entry = kExportFormats[format_->currentIndex()];
    const QString target = Target();
    if (!target.isEmpty()) {
        const QFileInfo info(target);
        const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
        target_->setText(entry.Filter ? base + QLatin1String(entry.Suffix) : base);
    }
    // The notes are rules: they go out whole, and have no private memo.
    const bool pages = Format() != kNotesFormat;
    from_->setEnabled(pages);
    to_->setEnabled(pages);
    private_->setEnabled(pages);
    UpdatePreview();
}

void TExportDialog::Browse() {
    const TFormatEntry& entry = kExportFormats[format_->currentIndex()];
    const QString chosen =
        entry.Filter ? QFileDialog::getSaveFileName(this, u"書き出す先"_qs, Target(),
                                                    QString::fromUtf16(entry.Filter))
                     : QFileDialog::getExistingDirectory(this, u"書き出すフォルダ"_qs, Target());
    if (!chosen.isEmpty())
        target_->setText(chosen);
}

void TExportDialog::UpdatePreview() {
    const TExchangePreview preview = preview_(Format(), From(), To());
    previewText_->setText(preview.Text);
    ShowDetails(details_, preview.Details);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(preview.Ready && !Target().isEmpty());
}

TImportDialog::TImportDialog(TPreview preview, QWidget* parent)
    : QDialog(parent), preview_(std::move(preview)) {
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(u"インポート"_qs);
    setMinimumWidth(kDialogWidth);
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("ImportSource"));
    for (const TSourceEntry& entry : kImportSources)
        source_->addItem(QString::fromUtf16(entry.Caption), QString::fromLatin1(entry.Name));
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("ImportFolder"));
    auto* browse = new QPushButton(u"参照..."_qs, this);
    auto* check = new QPushButton(u"確認"_qs, this);
    check->setObjectName(QStringLiteral("ImportCheck"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("ImportSummary"));
    summary_->setWordWrap(true);
    details_ = DetailsBox("ImportProblems", this);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(u"取り込む"_qs);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    // Enter checks what is chosen: an import, which writes the diary, takes a press of its own
    // button after the preview was read.
    buttons_->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    check->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(u"取り込むもの:"_qs, source_);
    auto* row = PathRow(path_, browse);
    row->addWidget(check);
    pathLabel_ = new QLabel(u"フォルダ:"_qs, this);
    pathLabel_->setBuddy(path_);
    form->addRow(pathLabel_, row);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(summary_);
    layout->addWidget(details_, 1);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &TImportDialog::Browse);
    connect(check, &QPushButton::clicked, this, &TImportDialog::ShowPreview);
    connect(source_, &QComboBox::currentIndexChanged, this, &TImportDialog::SourceChanged);
    connect(path_, &QLineEdit::textChanged, this, &TImportDialog::SourceChanged);
    SourceChanged();
}

QString TImportDialog::Source() const {
    return source_->currentData().toString();
}

QString TImportDialog::Path() const {
    return path_->text().trimmed();
}

void TImportDialog::SetPath(const QString& path) {
    path_->setText(path);
}

void TImportDialog::SetSource(const QString& source) {
    source_->setCurrentIndex(source_->findData(source));
}

bool TImportDialog::ReadsFile() const {
    return Source() == kNotesFormat;
}

void TImportDialog::Browse() {
    const QString chosen =
        ReadsFile() ? QFileDialog::getOpenFileName(this, u"取り込むファイル"_qs, Path(),
                                                   u"iCalendar (*.ics)"_qs)
                    : QFileDialog::getExistingDirectory(this, u"取り込むフォルダ"_qs, Path());
    if (!chosen.isEmpty()) {
        path_->setText(chosen);
        ShowPreview();
    }
}

// What was checked no longer holds.
void TImportDialog::SourceChanged() {
    pathLabel_->setText(ReadsFile() ? u"ファイル:"_qs : u"フォルダ:"_qs);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    summary_->setText(u"「確認」を押すと、取り込む内容を確かめます。"_qs);
    details_->hide();
}

void TImportDialog::ShowPreview() {
    const TExchangePreview preview = preview_(Source(), Path());
    summary_->setText(preview.Text);
    ShowDetails(details_, preview.Details);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(preview.Ready);
}
