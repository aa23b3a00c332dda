#include "mainwindow/daypage/LongParagraphs.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

void KeepLongParagraphLayouts(const QTextDocument& document, int from, int to) {
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.length() >= kLongParagraph) {
            block.layout()->setCacheEnabled(true);
        }
    }
}
