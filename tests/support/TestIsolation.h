#pragma once

#include <functional>

// Every case of a test executable starts as a fresh process would and leaves nothing for the next,
// so that the executable passes when run whole and shuffled as well as one case per process.
// Before and after each case this process's application data is cleared (clearApplicationData)
// and the test keyring emptied (emptyTestKeyringBetweenCases) after `resetShared` has put back the
// shared objects the executable links (their singletons outlive a case). Nothing is reset in a child run that shares its parent's HOME. Call after
// InitGoogleTest.
void isolateEveryCase(std::function<void()> resetShared = {});

// The settings, everything in Documents but the database file (its connection stays open: the
// shared objects' reset empties it), and the configuration seams VELQUOR_SERVICE_URL and
// VELQUOR_CARD_VOLUMES as they were when isolateEveryCase was called.
void clearApplicationData();
