#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

// Pictures, objects and footnotes of a body. Each is kept as the bytes of its RTF group, so a
// rewrite gives it back unchanged whether or not it can be shown.

enum class RtfEmbedKind { Picture, Object, Footnote };

struct RtfEmbed {
    RtfEmbedKind kind = RtfEmbedKind::Picture;
    std::string group;   // the group as read, braces included and balanced
    QByteArray image;    // the data of a bitmap picture (PNG, JPEG, DIB, BMP); empty for others
    QString format;      // the picture's format ("PNG", "WMF", ...) or the object's class
    int widthTwips = 0;  // the size it is shown at; 0 when the group gives none
    int heightTwips = 0;
};

// The position just past the closing brace of the group that opens at open, or the end of the
// bytes when it is never closed; unclosed then counts the groups left open. Escaped braces and
// \bin data are no braces.
size_t GroupEnd(std::string_view rtf, size_t open, int& unclosed);

// What a picture, object or footnote group holds: the first \pict in it gives the picture.
RtfEmbed ReadEmbed(RtfEmbedKind kind, std::string group);
