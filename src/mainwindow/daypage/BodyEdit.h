#pragma once

#include <QTextEdit>

// The editor of the diary body. What comes in is taken as the stored body would keep it: rich
// text (this editor's own copies, or a word processor's) through the body's RTF, pictures and
// tables with it; web pages' HTML as text with the formatting the body keeps, its pictures
// left out, for they would vanish at the next save. Copies carry the body's RTF, so a picture
// cut and pasted comes back. Ctrl+click opens a link.
class TBodyEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TBodyEdit(QWidget* parent = nullptr);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
