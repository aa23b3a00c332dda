#include "mainwindow/printing/PrintOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TPrintOptionsDialog::TPrintOptionsDialog(const QString& what, const TPrintOptions& options,
                                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PrintOptions"));
    setWindowTitle(u"印刷"_qs);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(what);
    label->setObjectName(QStringLiteral("PrintWhat"));
    layout->addWidget(label);
    privateMemo_ = new QCheckBox(u"私的メモも印刷する(&M)"_qs);
    privateMemo_->setObjectName(QStringLiteral("PrivateMemo"));
    privateMemo_->setChecked(options.PrivateMemo);
    newSheet_ = new QCheckBox(u"1日ごとに新しい用紙から印刷する(&N)"_qs);
    newSheet_->setObjectName(QStringLiteral("NewSheetPerDay"));
    newSheet_->setChecked(options.NewSheetPerDay);
    layout->addWidget(privateMemo_);
    layout->addWidget(newSheet_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_qs);
    const std::pair<const char*, QString> choices[] = {
        {"PrintButton", u"印刷(&P)..."_qs},
        {"PreviewButton", u"プレビュー(&V)..."_qs},
        {"PdfButton", u"PDFに保存(&S)..."_qs},
    };
    int result = Print;
    for (const auto& [name, caption] : choices) {
        QPushButton* button = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        ++result;
    }
    buttons->findChild<QPushButton*>(QStringLiteral("PrintButton"))->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TPrintOptions TPrintOptionsDialog::Options() const {
    return {privateMemo_->isChecked(), newSheet_->isChecked()};
}
