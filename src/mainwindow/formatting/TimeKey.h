#pragma once

#include <QLocale>
#include <QObject>
#include <QString>
#include <QTime>
#include <functional>
#include <initializer_list>

// Ctrl+D in the given editors replaces the selection, or inserts at the caret, the current
// local time in the locale's long time format.
class TTimeKey : public QObject {
    Q_OBJECT
public:
    TTimeKey(std::initializer_list<QWidget*> editors, QObject* parent = nullptr);

    // time in the long time format of locale, without the time zone that Qt's long format
    // carries.
    static QString LongTimeText(const QLocale& locale, const QTime& time);

    // The time inserted; tests replace it.
    std::function<QTime()> Now = [] { return QTime::currentTime(); };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
