#include "widgets/BandBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TBandBox::TBandBox(QWidget* parent) : QSplitter(Qt::Vertical, parent) {
    setChildrenCollapsible(false);
    setHandleWidth(4);
}

void TBandBox::AddBand(const QString& caption, QWidget* content) {
    auto* band = new QWidget;
    auto* layout = new QVBoxLayout(band);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* label = new QLabel(caption);
    label->setObjectName(objectName() + QStringLiteral("Band%1").arg(captions_.size()));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setContentsMargins(4, 1, 4, 0);
    auto* row = new QWidget;
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(0);
    rowLayout->addWidget(label, 1);
    layout->addWidget(row);
    layout->addWidget(content, 1);
    row->setHidden(caption.isEmpty());
    captions_.append(label);
    rows_.append(row);
    addWidget(band);
    setStretchFactor(count() - 1, count() == 1 ? 0 : 1);
}

QString TBandBox::BandText(int band) const {
    return captions_.value(band) ? captions_[band]->text() : QString();
}

void TBandBox::SetBandToolTip(int band, const QString& tip) {
    if (QLabel* label = captions_.value(band))
        label->setToolTip(tip);
}

void TBandBox::SetBandText(int band, const QString& text) {
    if (QLabel* label = captions_.value(band)) {
        label->setText(text);
        rows_[band]->setVisible(!text.isEmpty());
    }
}

void TBandBox::SetBandCorner(int band, QWidget* corner) {
    if (QWidget* row = rows_.value(band))
        row->layout()->addWidget(corner);
}

int TBandBox::CaptionHeight(int band) const {
    const QWidget* row = rows_.value(band);
    if (!row || captions_[band]->text().isEmpty())
        return 0;
    return row->sizeHint().height() + 1;
}

int TBandBox::ContentTop(int band) const {
    const QList<int> heights = sizes();
    int top = 0;
    for (int i = 0; i < band; ++i)
        top += heights.value(i) + handleWidth();
    return top + CaptionHeight(band);
}

void TBandBox::SetSecondContentTop(int top) {
    const QList<int> heights = sizes();
    const int total = heights.value(0) + heights.value(1);
    const int first = top - CaptionHeight(1) - handleWidth();
    if (first <= 0 || first >= total || first == heights.value(0))
        return;
    setSizes({first, total - first});
}
