#pragma once

#include <QString>

class VelquorViewController;

// The screens of the interface "Main", made by identifier and built in code. Each outlet of a
// screen is a child whose objectName is the outlet's name.
class VelquorStoryboard
{
public:
    // A new, loaded screen for "VelquorLoginViewController", "VelquorRegisteViewController" or
    // "VelquorMainViewController"; null for any other identifier. The caller owns it.
    static VelquorViewController *instantiateControllerWithIdentifier(const QString &identifier);
};
