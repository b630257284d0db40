#pragma once

#include "core/VelquorProductInfoModel.h"
#include "core/VelquorSoftwareInfoModel.h"
#include "core/VelquorSupportTicketsModel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The feedback form without its widgets: the rules a ticket must pass before it is sent, and how
// the service's product and software lists become the form's choices.
class VelquorSupportTicketForm
{
public:
    static constexpr qsizetype kVinLength = 17;

    // The eight entries, top to bottom.
    struct Entries
    {
        QString subject;
        QString scanner;
        QString software;
        QString version;
        QString vin;
        QString year;
        QString engineSize;
        QString problem;
    };

    enum class Check {
        Valid,
        EmptyEntry,     // an entry is empty ("FeedbackHint1"), checked first
        WrongVinLength, // the VIN is not 17 characters ("FeedbackHint2")
    };

    // Entries as typed: empty means empty (blanks count as filled).
    static Check check(const Entries &entries);
    // Copies the eight entries into the ticket's text fields.
    static void copyInto(const Entries &entries, VelquorSupportTicketsModel &ticket);
    // Empties the ticket's eight text fields; its choices and product ID stay.
    static void clear(VelquorSupportTicketsModel &ticket);
    // The product ID of the last catalogue product named like the scanner (letter case ignored).
    static std::optional<qint64> productIDForScanner(const QList<VelquorProductInfoModel> &products,
                                                     const QString &scanner);
    // The software names in answer order, each once; blank names are left out.
    static QStringList softwareNames(const QList<VelquorSoftwareInfoModel> &softwares);
};
