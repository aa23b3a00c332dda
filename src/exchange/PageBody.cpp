#include "exchange/PageBody.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>
#include <utility>
#include <vector>

#include "bridge/TextCodec.h"
#include "richtext/BodyAgreement.h"
#include "richtext/BodyText.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"
#include "richtext/RtfWriter.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

namespace {

// A file larger than this is no picture a page keeps.
constexpr qint64 kMaxPictureFileBytes = 64LL * 1024 * 1024;

// A picture's place in the document: its position and format.
struct TPicture {
    int Position;
    QTextImageFormat Format;
};

std::vector<TPicture> PicturesOf(const QTextDocument& document) {
    std::vector<TPicture> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            // A fragment of like pictures holds one per character.
            for (int i = 0; i < fragment.length(); ++i)
                pictures.push_back(
                    {fragment.position() + i, fragment.charFormat().toImageFormat()});
        }
    }
    return pictures;
}

void SetFormatAt(QTextDocument& document, int position, const QTextImageFormat& format) {
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

// A run shown in the installed face that stands for its file's face names the file's face
// first again, the installed one after it: an exported page asks for the face the diary names
// and falls back to the one this computer has.
void NameFileFacesFirst(QTextDocument& document) {
    struct TRun {
        int Position;
        int Length;
        QStringList Faces;
    };
    std::vector<TRun> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QStringList faces = fragment.charFormat().property(kRtfFaceProperty).toStringList();
            if (faces.size() == 2)
                runs.push_back({fragment.position(), fragment.length(), std::move(faces)});
        }
    }
    for (const TRun& run : runs) {
        QTextCursor cursor(&document);
        cursor.setPosition(run.Position);
        cursor.setPosition(run.Position + run.Length, QTextCursor::KeepAnchor);
        QTextCharFormat faces;
        faces.setFontFamilies(run.Faces);
        cursor.mergeCharFormat(faces);
    }
}

}  // namespace

void ReadBody(const TDataInfo& rec, QTextDocument& document) {
    const std::string& body = rec.RichText.Empty() ? rec.Text.Text() : rec.RichText.Text();
    ReadPageBody(body, rec.Text.Text(), document);
    NameFileFacesFirst(document);
}

void WriteBody(const QTextDocument& document, TDataInfo& rec) {
    rec.Text = ToCp932(PlainTextForField(document));
    rec.RichText = std::string();
    if (!rec.Text.Empty() || HoldsMoreThanText(document))
        rec.RichText = WriteRtf(document);
}

void SavePictures(QTextDocument& document, const QString& base, const QString& folder,
                  const QString& prefix) {
    int count = 0;
    for (TPicture& picture : PicturesOf(document)) {
        const QImage image =
            document.resource(QTextDocument::ImageResource, QUrl(picture.Format.name()))
                .value<QImage>();
        if (image.isNull())
            continue;
        QDir().mkpath(folder);
        const QString path =
            QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(prefix).arg(++count));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        SafeWriteFile(QFile::encodeName(path).toStdString(),
                      std::string_view(png.constData(), png.size()));
        const QString relative = QDir(base).relativeFilePath(path);
        document.addResource(QTextDocument::ImageResource, QUrl(relative), image);
        picture.Format.setName(relative);
        SetFormatAt(document, picture.Position, picture.Format);
    }
}

void EmbedPictures(QTextDocument& document, const QString& base, const QString& rootFolder) {
    QString root = QDir(rootFolder).canonicalPath();
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    const std::vector<TPicture> pictures = PicturesOf(document);
    // From the end, so removing a picture leaves the positions before it as they are.
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        QTextImageFormat format = it->Format;
        const QString name = QUrl(format.name()).path();
        const QFileInfo info(QDir(base).filePath(name));
        const QString path = info.canonicalFilePath();
        QImage image;
        // Only a plain file of a picture's size: a pipe or device named instead would never end.
        if (!path.isEmpty() && path.startsWith(root) && info.isFile() &&
            info.size() <= kMaxPictureFileBytes) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = file.readAll();
                for (const char* kind : {"PNG", "JPEG", "BMP"}) {
                    image = DecodePicture(QLatin1String(kind), bytes);
                    if (!image.isNull())
                        break;
                }
            }
        }
        const std::string group =
            image.isNull() ? std::string() : PngPictureGroup(image, image.deviceIndependentSize());
        if (group.empty()) {
            QTextCursor cursor(&document);
            cursor.setPosition(it->Position);
            cursor.setPosition(it->Position + 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            continue;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
        format.setWidth(image.deviceIndependentSize().width());
        format.setHeight(image.deviceIndependentSize().height());
        format.setProperty(kRtfGroupProperty, QByteArray::fromStdString(group));
        SetFormatAt(document, it->Position, format);
    }
}

QString RecordText(const std::string& cp932) {
    QString text = FromCp932(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string ToRecordLines(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The line end a YAML block or a file ends with is none of the text's; blanks that start
    // a line are.
    while (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToCp932(lines);
}
