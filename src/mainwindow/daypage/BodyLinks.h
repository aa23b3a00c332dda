#pragma once

#include <QUrl>

class QString;

// How a link of a page opens on Ctrl+click.
enum class TLinkOpening {
    None,         // nothing to open: an empty or unreadable target
    AtOnce,       // a web page or a mail address
    AfterAsking,  // anything else: a file, another program's scheme, a relative path
};

struct TLinkTarget {
    TLinkOpening Opening = TLinkOpening::None;
    QUrl Url;  // absolute: what is handed to the desktop; empty with None
};

// The target of a link's href; a relative one is taken in folder (a local folder's URL ending
// in "/"), and is nothing when folder is empty. A target handed on always begins with its
// scheme, so no opener can take it for an option.
TLinkTarget ResolveLink(const QString& href, const QUrl& folder);
