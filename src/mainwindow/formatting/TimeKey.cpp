#include "mainwindow/formatting/TimeKey.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// The format without its time-zone field: unquoted runs of 't' go, with the blank before them.
QString WithoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) {
            while (!out.isEmpty() && out.back() == QLatin1Char(' '))
                out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

}  // namespace

TTimeKey::TTimeKey(std::initializer_list<QWidget*> editors, QObject* parent) : QObject(parent) {
    for (QWidget* editor : editors)
        editor->installEventFilter(this);
}

QString TTimeKey::LongTimeText(const QLocale& locale, const QTime& time) {
    return locale.toString(time, WithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

bool TTimeKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_D || key->modifiers() != Qt::ControlModifier)
        return QObject::eventFilter(watched, event);
    const QString text = LongTimeText(QLocale(), Now());
    if (auto* rich = qobject_cast<QTextEdit*>(watched))
        rich->insertPlainText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(watched))
        plain->insertPlainText(text);
    // No editor gives the key a meaning of its own; the window must not see it either.
    return true;
}
