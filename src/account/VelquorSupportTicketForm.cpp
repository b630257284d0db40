#include "account/VelquorSupportTicketForm.h"

VelquorSupportTicketForm::Check VelquorSupportTicketForm::check(const Entries &entries)
{
    for (const QString *entry : {&entries.subject, &entries.scanner, &entries.software, &entries.version, &entries.vin,
                                 &entries.year, &entries.engineSize, &entries.problem}) {
        if (entry->isEmpty())
            return Check::EmptyEntry;
    }
    if (entries.vin.size() != kVinLength)
        return Check::WrongVinLength;
    return Check::Valid;
}

void VelquorSupportTicketForm::copyInto(const Entries &entries, VelquorSupportTicketsModel &ticket)
{
    ticket.setSubject(entries.subject);
    ticket.setScanner(entries.scanner);
    ticket.setSoftware(entries.software);
    ticket.setVersion(entries.version);
    ticket.setVin(entries.vin);
    ticket.setYear(entries.year);
    ticket.setEngineSize(entries.engineSize);
    ticket.setProblem(entries.problem);
}

void VelquorSupportTicketForm::clear(VelquorSupportTicketsModel &ticket)
{
    Entries empty;
    for (QString *entry : {&empty.subject, &empty.scanner, &empty.software, &empty.version, &empty.vin, &empty.year,
                           &empty.engineSize, &empty.problem})
        *entry = QStringLiteral("");
    copyInto(empty, ticket);
}

std::optional<qint64> VelquorSupportTicketForm::productIDForScanner(const QList<VelquorProductInfoModel> &products,
                                                                    const QString &scanner)
{
    std::optional<qint64> found;
    for (const VelquorProductInfoModel &product : products) {
        if (product.productName().compare(scanner, Qt::CaseInsensitive) == 0)
            found = product.productID();
    }
    return found;
}

QStringList VelquorSupportTicketForm::softwareNames(const QList<VelquorSoftwareInfoModel> &softwares)
{
    QStringList names;
    for (const VelquorSoftwareInfoModel &software : softwares) {
        // A nameless entry would be an empty choice.
        if (!software.softwareName().trimmed().isEmpty() && !names.contains(software.softwareName()))
            names.append(software.softwareName());
    }
    return names;
}
