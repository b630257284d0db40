#pragma once

#include <QString>

#include <functional>

// Each test process runs in a private HOME so Documents, settings and caches never leak
// between cases. Call before the application object exists. A process started with
// kSharedHomeVariable set (a test's child) uses that folder as HOME instead, and leaves it in place.
void installPrivateHome();
inline constexpr char kSharedHomeVariable[] = "VELQUOR_TEST_SHARED_HOME";

// Forgets the saved settings and empties the private HOME (the folder stays), so the next case of
// a whole run starts as a case alone in its process does. A child on a shared HOME leaves it alone.
void resetPrivateHome();

// Spins the event loop until the predicate holds or the time is up; answers the predicate.
bool waitUntil(const std::function<bool()> &predicate, int timeoutMs = 5000);

// Runs the application's event loop as main() does until the application quits, and answers exec()'s
// code; after timeoutMs without a quit the loop is ended with the code 2. That guard goes with the
// call: a guard left running would end the event loop of a later case, or, firing outside one,
// make every later loop (a modal dialog's among them) return at once.
int execUntilQuit(int timeoutMs);

// The private HOME of this process.
QString testHome();
