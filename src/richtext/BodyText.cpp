#include "richtext/BodyText.h"

#include "richtext/RtfFormat.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

namespace {

// The text of the blocks of a frame, one line each; a table row is one line of its cells' texts
// separated by tabs. Pictures, objects and hidden text are no text.
void AddFrameText(QTextFrame::iterator it, const QTextFrame::iterator& end, QStringList& lines) {
    for (; it != end && !it.atEnd(); ++it) {
        const QTextFrame* frame = it.currentFrame();
        const auto* table = qobject_cast<const QTextTable*>(frame);
        if (table != nullptr) {
            for (int r = 0; r < table->rows(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columns();) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    QStringList texts;
                    if (cell.row() == r) {
                        AddFrameText(cell.begin(), cell.end(), texts);
                    }
                    cells << texts.join(u' ');
                    c += std::max(cell.columnSpan(), 1);
                }
                lines << cells.join(u'\t');
            }
        } else if (frame != nullptr) {
            AddFrameText(frame->begin(), frame->end(), lines);
        } else {
            lines << it.currentBlock().text().remove(QChar::ObjectReplacementCharacter);
        }
    }
}

}  // namespace

QString PlainTextForField(const QTextDocument& document) {
    QStringList lines;
    const QTextFrame* root = document.rootFrame();
    AddFrameText(root->begin(), root->end(), lines);
    QString text = lines.join(QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20) {
        ++first;
    }
    while (last > first && text[last - 1].unicode() <= 0x20) {
        --last;
    }
    return text.mid(first, last - first);
}

bool HoldsMoreThanText(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.hasProperty(kRtfGroupProperty) ||
                format.hasProperty(kRtfHiddenTextProperty)) {
                return true;
            }
        }
    }
    return false;
}
