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
};

struct TSourceEntry {
    TImportSource Source;
    const char16_t* Caption;
};

constexpr TSourceEntry kImportSources[] = {
    {TImportSource::RedNotebook, u"RedNotebook のデータフォルダ"},
    {TImportSource::Markdown, u"日付名の Markdown・テキストのフォルダ"},
};

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

TExportDialog::TExportDialog(QDate from, QDate to, std::function<int(QDate, QDate)> countPages,
                             QWidget* parent)
    : QDialog(parent), countPages_(std::move(countPages)) {
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
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("ExportPreview"));
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
    layout->addWidget(preview_);
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
    const int pages = From() <= To() ? countPages_(From(), To()) : 0;
    const bool folder = Format() == QLatin1String("markdown");
    if (From() > To())
        preview_->setText(u"期間の始めが終わりより後です。"_qs);
    else if (pages == 0)
        preview_->setText(u"この期間には日記がありません。"_qs);
    else if (folder)
        preview_->setText(u"%1 日分の日記を、1日1ファイルでフォルダに書き出します。"_qs.arg(pages));
    else
        preview_->setText(u"%1 日分の日記を1つのファイルに書き出します。"_qs.arg(pages));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(pages > 0 && !Target().isEmpty());
}

TImportDialog::TImportDialog(TPreview preview, QWidget* parent)
    : QDialog(parent), preview_(std::move(preview)) {
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(u"インポート"_qs);
    setMinimumWidth(kDialogWidth);
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("ImportSource"));
    for (const TSourceEntry& entry : kImportSources)
        source_->addItem(QString::fromUtf16(entry.Caption), static_cast<int>(entry.Source));
    folder_ = new QLineEdit(this);
    folder_->setObjectName(QStringLiteral("ImportFolder"));
    auto* browse = new QPushButton(u"参照..."_qs, this);
    auto* check = new QPushButton(u"確認"_qs, this);
    check->setObjectName(QStringLiteral("ImportCheck"));
    summary_ = new QLabel(u"フォルダを選んで「確認」を押してください。"_qs, this);
    summary_->setObjectName(QStringLiteral("ImportSummary"));
    summary_->setWordWrap(true);
    problems_ = new QPlainTextEdit(this);
    problems_->setObjectName(QStringLiteral("ImportProblems"));
    problems_->setReadOnly(true);
    problems_->hide();
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(u"取り込む"_qs);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);

    auto* form = new QFormLayout;
    form->addRow(u"取り込むもの:"_qs, source_);
    auto* row = PathRow(folder_, browse);
    row->addWidget(check);
    form->addRow(u"フォルダ:"_qs, row);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(summary_);
    layout->addWidget(problems_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &TImportDialog::Browse);
    connect(check, &QPushButton::clicked, this, &TImportDialog::ShowPreview);
    connect(source_, &QComboBox::currentIndexChanged, this, &TImportDialog::SourceChanged);
    connect(folder_, &QLineEdit::textChanged, this, &TImportDialog::SourceChanged);
}

void TImportDialog::SetFolder(const QString& folder) {
    folder_->setText(folder);
}

void TImportDialog::SetSource(TImportSource source) {
    source_->setCurrentIndex(source_->findData(static_cast<int>(source)));
}

void TImportDialog::Browse() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, u"取り込むフォルダ"_qs, folder_->text());
    if (!chosen.isEmpty()) {
        folder_->setText(chosen);
        ShowPreview();
    }
}

// What was checked no longer holds.
void TImportDialog::SourceChanged() {
    plan_ = {};
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    summary_->setText(u"「確認」を押すと、取り込む内容を確かめます。"_qs);
    problems_->hide();
}

void TImportDialog::ShowPreview() {
    QStringList problems;
    bool cancelled = false;
    plan_ = preview_(static_cast<TImportSource>(source_->currentData().toInt()),
                     folder_->text().trimmed(), problems, cancelled);
    problems += plan_.Problems;
    const int days = plan_.New + plan_.Appended;
    if (cancelled) {
        summary_->setText(u"確認を中止しました。"_qs);
    } else if (!problems.isEmpty()) {
        summary_->setText(u"読めないファイルが %1 個あります。直すまで何も取り込みません。"_qs.arg(
            problems.size()));
    } else if (days == 0) {
        summary_->setText(plan_.Unchanged > 0 ? u"どの日記もすでに取り込まれています。"_qs
                                              : u"取り込む日記が見つかりません。"_qs);
    } else {
        summary_->setText(
            u"新しい日記 %1 日、すでにある日記への追記 %2 日。"
            u"すでにある日記は消さずに、区切り線の下に追記します。"_qs.arg(plan_.New)
                .arg(plan_.Appended));
    }
    problems_->setPlainText(problems.join(QLatin1Char('\n')));
    problems_->setVisible(!problems.isEmpty());
    buttons_->button(QDialogButtonBox::Ok)
        ->setEnabled(!cancelled && problems.isEmpty() && days > 0);
}
