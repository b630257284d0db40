#pragma once

#include "core/VelquorUserInfoModel.h"
#include "core/VelquorUserProfileModel.h"

#include <QString>

// The profile form without its widgets: which loaded value goes into which entry, the rules a
// form must pass before it is saved, and the record that is sent.
class VelquorProfileForm
{
public:
    // The nine entries, top to bottom.
    struct Entries
    {
        QString userID;
        QString firstName;
        QString lastName;
        QString email;
        QString telephone;
        QString address;
        QString city;
        QString province;
        QString country;
    };

    // Each entry from its profile value when that is usable text, else empty.
    static Entries entriesFromUserInfo(const VelquorUserInfoModel &userInfo);
    // The entries as typed (no trimming): everything filled but the city, and an e-mail with "@".
    static bool isValid(const Entries &entries);
    // The record UpdateUserInformation receives for valid entries; `password` is the account's
    // remembered password.
    static VelquorUserProfileModel profileModel(const Entries &entries, const QString &password);
};
