#pragma once

#include "core/VelquorProductResultModel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class VelquorMyUpdatesListModel;

// Turns the answer of the account's products into the device lists of the updates page.
class VelquorProductListComposer
{
public:
    struct Result
    {
        // Empty when the answer succeeded; otherwise the message to show ("UpdateHint3": the
        // account has no device, code 2; "UpdateHint2": the request failed).
        QString alertKey;
        QStringList allSerialNumbers;     // every product's serial number, in answer order
        QStringList allProductNames;      // every product's name, in answer order
        QStringList distinctProductNames; // product names without repeats, in answer order
        // The device box: serial numbers sorted without regard to letter case, with their serial
        // IDs and product names in the same order.
        QStringList serialNumbers;
        QList<qint64> serialIDs;
        QStringList productNames;
    };

    // The answer is null when the request failed.
    static Result compose(const std::shared_ptr<VelquorProductResultModel> &answer);
    // Hands a successful result to the list model (on the GUI thread, which owns its device lists).
    static void apply(const Result &result, VelquorMyUpdatesListModel &listModel);
};
