#pragma once

#include <QObject>

#include "support/WindowRun.h"
#include "support/WindowWidgets.h"

class TMainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutes(); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void firstStartWithNoFiles();
    void usersDayComesBackAfterRestart();
    void blankPageKeepsNoRecord();
    void untouchedBodyIsWrittenBackByteForByte();
    void bodyOfOnlyAPictureIsKept();
    void headerTexts_data();
    void headerTexts();
    void savedLayoutRestoredAndWritten();
    void resizeKeepsControlsFilled();
    void badFieldAtStartShownAndWindowComesUp_data();
    void badFieldAtStartShownAndWindowComesUp();
    void readOnlyFolderKeepsPageUntilSaveSucceeds();
    void yearLeftUnsavedIsNeitherLostNorUnsaveable();
    void gridAsTheWindowShowsIt();
    void gridStartOfWeekFromSettings();
    void pagingStopsAtTheRange_data();
    void pagingStopsAtTheRange();
    void screenshots();
    void fullMonthScreenshots();
    void cellPartsNeverOverlap_data();
    void cellPartsNeverOverlap();
    void windowGrowthIsSharedAndSavedSizesStand();
    void firstStartSize_data();
    void firstStartSize();
    void headerShowsTheOldDate_data();
    void headerShowsTheOldDate();
    void windowsFacesDrawJapanese_data();
    void windowsFacesDrawJapanese();

    // Keeping what the user wrote.
    void otherComputersChangeShowsAtOnce_data();
    void otherComputersChangeShowsAtOnce();
    void unsavedPageMeetsTheOtherComputersChange_data();
    void unsavedPageMeetsTheOtherComputersChange();
    void conflictCopyWhileRunningLosesNoDay();
    void pageBeingWrittenReachesDiskWithoutMovingUndo();
    void blankedPageIsNotDeletedBehindTheUser();
    void damagedBytesShowAsReplacementsAndStay_data();
    void damagedBytesShowAsReplacementsAndStay();
    void pausesAndSavesWriteThePage();
    void failedWriteToldOnceUntilAllWritten_data();
    void failedWriteToldOnceUntilAllWritten();
    void unwritableFolderIsReportedAtStart();
    void deleteAsksOnlyForPagesWithText_data();
    void deleteAsksOnlyForPagesWithText();
    void inputMethodEventsWithoutTextChangeNothing_data();
    void inputMethodEventsWithoutTextChangeNothing();
    void composedTextIsCommittedBeforeStoring_data();
    void composedTextIsCommittedBeforeStoring();
    void endOfSessionWritesEverythingWithoutAsking();
    void rescuedPageComesBackAtTheNextStart_data();
    void rescuedPageComesBackAtTheNextStart();
    void noBoxOnceTheSessionEnds();
    void weatherAloneKeepsThePage_data();
    void weatherAloneKeepsThePage();
    void bodyOfAnotherTextIsSetAside_data();
    void bodyOfAnotherTextIsSetAside();
    void opensCentredWithinTheScreenAndTypesIntoTheBody_data();
    void opensCentredWithinTheScreenAndTypesIntoTheBody();
    void oneCopyPerFolder();
    void staleLockIsTakenOver_data();
    void staleLockIsTakenOver();
    void lockOfARunningCopyIsKeptWhateverItSays_data();
    void lockOfARunningCopyIsKeptWhateverItSays();
    void refusalNamesTheLockFile_data();
    void refusalNamesTheLockFile();
    void olderVersionsLockInTheFolder_data();
    void olderVersionsLockInTheFolder();
    void socketIsTheUsersAlone();
    void terminationSignalsReachTheEventLoop();
};
