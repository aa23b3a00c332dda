#include "mainwindow/sync/ConflictDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TConflictDialog::TConflictDialog(QWidget* parent)
    : QDialog(parent),
      list_(new QListWidget(this)),
      ours_(new QPlainTextEdit(this)),
      theirs_(new QPlainTextEdit(this)),
      theirsCaption_(new QLabel(this)) {
    setObjectName(QStringLiteral("ConflictDialog"));
    setWindowTitle(u"別のコンピューターとの食い違い"_qs);
    auto* intro = new QLabel(
        u"次の日付やメモは、このコンピューターと別のコンピューターとで違うように書き換えられて"
        u"いました。\r\nどちらを残すか選んでください。選ぶまでは両方とも残してあります。"_qs,
        this);
    intro->setWordWrap(true);
    for (QPlainTextEdit* edit : {ours_, theirs_})
        edit->setReadOnly(true);
    ours_->setObjectName(QStringLiteral("Ours"));
    theirs_->setObjectName(QStringLiteral("Theirs"));
    list_->setObjectName(QStringLiteral("Conflicts"));
    theirsCaption_->setWordWrap(true);

    auto* sides = new QGridLayout;
    sides->addWidget(new QLabel(u"このコンピューターの版"_qs, this), 0, 0);
    sides->addWidget(theirsCaption_, 0, 1);
    sides->addWidget(ours_, 1, 0);
    sides->addWidget(theirs_, 1, 1);

    auto* buttons = new QHBoxLayout;
    const std::pair<QString, TConflictChoice> kinds[] = {
        {u"こちらを残す(&O)"_qs, TConflictChoice::Ours},
        {u"相手の版にする(&T)"_qs, TConflictChoice::Theirs},
        {u"両方残す(&B)"_qs, TConflictChoice::Both},
    };
    for (const auto& [text, choice] : kinds) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, choice = choice] {
            if (Current() >= 0)
                Q_EMIT Chosen(Current(), choice);
        });
        buttons->addWidget(button);
        choices_.push_back(button);
    }
    buttons->addStretch();
    auto* later = new QPushButton(u"後で決める(&L)"_qs, this);
    connect(later, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(later);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(list_, 1);
    layout->addLayout(sides, 3);
    layout->addLayout(buttons);
    resize(760, 520);
    connect(list_, &QListWidget::currentRowChanged, this, &TConflictDialog::ShowRow);
}

void TConflictDialog::SetRows(const std::vector<TConflictRow>& rows) {
    const int keep = list_->currentRow();
    rows_ = rows;
    list_->clear();
    for (const TConflictRow& row : rows_)
        list_->addItem(row.Caption);
    if (!rows_.empty())
        list_->setCurrentRow(std::clamp(keep, 0, static_cast<int>(rows_.size()) - 1));
    else
        ShowRow(-1);
}

int TConflictDialog::Current() const {
    return list_->currentRow();
}

void TConflictDialog::ShowRow(int row) {
    const bool valid = row >= 0 && row < static_cast<int>(rows_.size());
    ours_->setPlainText(valid ? rows_[static_cast<size_t>(row)].Ours : QString());
    theirs_->setPlainText(valid ? rows_[static_cast<size_t>(row)].Theirs : QString());
    theirsCaption_->setText(valid ? rows_[static_cast<size_t>(row)].TheirsCaption
                                  : u"別のコンピューターの版"_qs);
    for (QPushButton* button : choices_)
        button->setEnabled(valid);
}
