#pragma once

// Removes every item of the application's keyring schema from the session's Secret Service, so the
// next case finds none of an earlier case's passwords. Only where this process runs cases one
// after another (a whole or repeated run): ctest runs one case per process, many at once, on one
// shared Secret Service, and emptying it there would take items from under a neighbour's case.
// Does nothing without a D-Bus session.
void emptyTestKeyringBetweenCases();
