#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The scan tool's model names as the update list needs them, kept in one place: which models ship
// with the basic series by default, which sell paid vehicle packages, and the ordered chain that
// maps a product name to its product family (the key of its append-version table).
class VelquorDeviceModelTable
{
public:
    // One link of the family chain: a product name containing `contains` belongs to `familyKey`;
    // an empty familyKey means the product is a family of its own (its upper-cased name).
    struct FamilyTest
    {
        QString contains;
        QString familyKey;
    };

    // Compared with the whole product name, ignoring case.
    static const QStringList &basicSeriesDefaultModels();
    // Looked for inside the upper-cased product name.
    static const QStringList &paidProductModels();
    // Tried in order; the first match decides. Longer names come before the shorter names they
    // contain, so the order is part of the data.
    static const QList<FamilyTest> &familyKeyChain();
};
