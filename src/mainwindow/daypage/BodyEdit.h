#pragma once

#include <QTextEdit>
#include <QUrl>
#include <functional>
#include <string_view>

// The editor of the diary body. What comes in is taken as the stored body would keep it: rich
// text (this editor's own copies, or a word processor's) through the body's RTF, pictures and
// tables with it; a picture alone (a screenshot, a copied image) as a PNG picture of the body;
// web pages' HTML as text with the formatting the body keeps, its pictures left out, for they
// would vanish at the next save. Copies carry the body's RTF, so a picture cut and pasted comes
// back. Links are underlined in the link colour where their own format does not show them, and
// Ctrl+click opens one: a web page or a mail address at once, anything else after the user
// agrees to the target shown.
class TBodyEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TBodyEdit(QWidget* parent = nullptr);

    // Hands a link's target to the desktop; tests put their own.
    std::function<bool(const QUrl&)> OpenUrl;
    // Where relative links lie: the diary folder (the window sets it), by default the program's.
    QUrl LinkFolder;

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void InsertRtf(std::string_view rtf);
    void OpenLink(const QString& href);
};
