#include <QAction>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>
#include <memory>

#include "mainwindow/PageState.h"
#include "mainwindow/StoreEvents.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "support/TestFolder.h"

// The two pieces of state the window's features share: the store's events as signals, and the
// page state.
class WindowStateTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyListenerHearsTheStore() {
        TTestFolder folder;
        TScrapList store;
        store.SetDataDir(folder.Dir());
        {
            TStoreEvents events(store);
            QStringList first;
            connect(&events, &TStoreEvents::RecordChanged, &events,
                    [&first](const TDataInfo& rec) { first << QString::fromStdString(rec.Title); });
            // A panel with its own lifetime: it goes while the other stays.
            auto panel = std::make_unique<QObject>();
            int heardByPanel = 0;
            connect(&events, &TStoreEvents::RecordChanged, panel.get(),
                    [&heardByPanel](const TDataInfo&) { ++heardByPanel; });
            QSignalSpy dates(&events, &TStoreEvents::DateChanged);
            QSignalSpy left(&events, &TStoreEvents::LeaveDate);

            store.SetDate(EncodeDate(2026, 3, 1));
            QCOMPARE(dates.size(), 1);
            QCOMPARE(dates[0][1].toInt(), 2026);
            TDataInfo rec;
            rec.Date = EncodeDate(2026, 3, 1);
            rec.Title.push_back('a');
            store.PutRecord(rec);
            QCOMPARE(first.size(), 1);
            QCOMPARE(heardByPanel, 1);

            panel.reset();
            rec.Title.back() = 'b';
            store.PutRecord(rec);
            QCOMPARE(first, QStringList({u"a"_qs, u"b"_qs}));

            QSignalSpy deleted(&events, &TStoreEvents::RecordDeleted);
            store.DeleteByDate(rec.Date);
            QCOMPARE(deleted.size(), 1);
            store.SetDate(EncodeDate(2026, 3, 2));
            QCOMPARE(left.size(), 2);
            QCOMPARE(left.last()[0].toInt(), EncodeDate(2026, 3, 1));
        }
        // Gone with the events object: the store raises nothing into it.
        QVERIFY(!store.OnRecordChanged);
        QVERIFY(!store.OnDateChanged);
        store.SetDate(EncodeDate(2027, 1, 1));
    }

    void nestedUpdatingScopesRestoreTheOuterValue() {
        QWidget window;
        QAction save;
        TPageState state(save, window);
        QVERIFY(!state.Updating());
        {
            const auto outer = state.UpdatingScope();
            QVERIFY(state.Updating());
            {
                const auto inner = state.UpdatingScope();
                QVERIFY(state.Updating());
            }
            QVERIFY(state.Updating());
        }
        QVERIFY(!state.Updating());
    }

    void unwrittenOffersSaveAndMarksTheTitle() {
        QWidget window;
        window.setWindowTitle(QStringLiteral("Velmora[*]"));
        QAction save;
        TPageState state(save, window);
        QVERIFY(!save.isEnabled());
        QVERIFY(!window.isWindowModified());
        state.SetUnwritten(true);
        QVERIFY(save.isEnabled());
        QVERIFY(window.isWindowModified());
        state.SetUnwritten(false);
        QVERIFY(!save.isEnabled());
        QVERIFY(!window.isWindowModified());
    }
};

QTEST_MAIN(WindowStateTest)
#include "WindowStateTest.moc"
