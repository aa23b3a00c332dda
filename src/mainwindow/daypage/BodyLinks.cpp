#include "mainwindow/daypage/BodyLinks.h"

#include <QString>

TLinkTarget ResolveLink(const QString& href, const QUrl& folder) {
    const QString trimmed = href.trimmed();
    if (trimmed.isEmpty())
        return {};
    QUrl url(trimmed, QUrl::TolerantMode);
    if (url.isRelative())
        url = folder.resolved(url);
    if (!url.isValid() || url.isRelative())
        return {};
    const QString scheme = url.scheme();
    const bool web = (scheme.compare(u"http"_qs, Qt::CaseInsensitive) == 0 ||
                      scheme.compare(u"https"_qs, Qt::CaseInsensitive) == 0) &&
                     !url.host().isEmpty();
    const bool mail =
        scheme.compare(u"mailto"_qs, Qt::CaseInsensitive) == 0 && !url.path().isEmpty();
    return {web || mail ? TLinkOpening::AtOnce : TLinkOpening::AfterAsking, url};
}
