#pragma once

#include <QString>

class StandardLocations
{
public:
    // The user's Documents directory, created when missing; empty when it cannot be made.
    static QString documentsDirectory();
};
