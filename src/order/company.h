#pragma once

#include "registerediting.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"
#include "datafiles/records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The business's own details, where the business speaks: the e-mail's
// closing lines, the delivery note's sender, the export's first row, the
// backup's name. They are kept in Registret/Företaget.dbf, one quoted record
// a detail: its name and its value ("Namn","Järnhandeln AB"). A detail the
// file does not hold is empty; a record the program does not know keeps its
// bytes.
namespace core {

struct Company
{
    QString name;
    QString address;
    QString postalAddress;
    QString phone;
    QString email;
    QString organisationNumber; // 556677-8899
    QString vatNumber; // SE556677889901
    QString bankgiro; // 123-4566 or 5050-1055
    QString plusgiro; // 12345-5
    bool fTax = false; // "Godkänd för F-skatt"

    bool operator==(const Company&) const = default;
};

struct CompanyRead
{
    Company company;
    datafiles::RecordTable records; // the file as read, for saveCompany()
    std::optional<datafiles::Failure> failure;
};

// A missing file is a business with no details yet, not a failure.
CompanyRead readCompany(const datafiles::DataDirectory& data);

// The details as they are stored, from what the operator typed: the numbers
// in their usual form, blanks around every text dropped. Refused, naming the
// field, when the organisation number is not ten digits with a right check
// digit, the VAT number not SE, that number and 01, the bankgiro or plusgiro
// not a giro number with a right check digit, the e-mail no address, or a text
// cannot be stored. Empty fields are let be.
struct CompanyChecked
{
    Company company;
    std::optional<datafiles::Failure> refused;
};
CompanyChecked checkCompany(const Company& typed);

// Why a text is no e-mail address: nothing before or after its one "@", or a
// blank in it. Empty when it is one.
QString emailAddressProblem(QStringView address);

// Checks the details and writes those that changed into the file, which must
// still hold the bytes `current` was read from.
RegisterSaved saveCompany(const datafiles::DataDirectory& data, const datafiles::RecordTable& current,
                          const Company& typed);

// Puts a logo, already made to fit the logo's box, in place of the one the
// forms print.
std::optional<datafiles::Failure> saveLogo(const datafiles::DataDirectory& data, const QByteArray& png);

// Sets the number the next order gets, by recording the one before it as the
// last one used. Refused when it is no whole number above 0, or when it is
// not above the highest number used: the last one recorded, one a
// registration still holds, or one in the order list.
std::optional<datafiles::Failure> setNextOrderNumber(const datafiles::DataDirectory& data, const QString& typed);

// The business as it signs: its name, address, postal address, then phone
// and e-mail, then its numbers; lines without a detail are left out.
QStringList senderLines(const Company& company);

} // namespace core
