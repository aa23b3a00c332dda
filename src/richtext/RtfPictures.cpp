#include "richtext/RtfPictures.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

void CopyPictures(const QTextDocument& from, QTextDocument& to) {
    for (QTextBlock block = from.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QUrl name(format.toImageFormat().name());
                to.addResource(QTextDocument::ImageResource, name,
                               from.resource(QTextDocument::ImageResource, name));
            }
        }
    }
}
