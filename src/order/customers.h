#pragma once

#include "wordsearch.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace core {

// The counter-sale customer, whose file the lookup falls back on.
inline const QString counterSaleCustomer = QStringLiteral("1");

// A customer as its file holds it: the number (the file's name and its first
// line), the name and the two address lines the lookup puts into the order,
// and an e-mail address on a fifth line, which the lookup passes over.
struct Customer
{
    QString number;
    QString name;
    QString address;
    QString postalAddress;
    QString email;

    bool operator==(const Customer&) const = default;
};

// Why a text cannot be a customer number, a number being the name of the
// customer's file that the operator types into the order: empty when it can.
// Windows' device names are refused with or without an extension.
QString customerNumberProblem(const QString& number);
// Customer numbers are compared without regard to letter case: the folder
// may lie on a Windows share, where 1042a and 1042A name the same file.
bool sameCustomerNumber(const QString& a, const QString& b);
// Why the customer cannot be saved as it stands, for the register window and
// the import alike: a number new or changed from `previousNumber` must be
// able to name its file, and the counter-sale customer keeps its own; the
// name, address and e-mail lines cannot hold a line break (it would shift
// every later line), another control character, a tab among them, or a
// character outside Windows-1252, and an e-mail address has text on both
// sides of an "@". A failure of kind
// RefusedByRule whose reason names the field; none when it can be saved.
// Whether another customer has the number is for saveCustomer() to find on
// disk, and for the import to match.
std::optional<datafiles::Failure> checkCustomer(const Customer& customer, const QString& previousNumber = {});

// The customer's file: the number, name, address and postal address a line
// each, then the e-mail address where there is one; Windows-1252, CR LF.
QByteArray customerFileBytes(const Customer& customer);
Customer customerFromFile(const QString& number, const QByteArray& bytes);

// The customer's e-mail address, read from the file when it is needed; empty
// where the file has no fifth line or cannot be read.
QString customerEmail(const datafiles::DataDirectory& data, const QString& customerNumber);

// Every customer file of the Customer folder, the counter-sale customer
// first, then by number (numbers of digits alone by their value).
struct CustomersRead
{
    QList<Customer> customers;
    std::optional<datafiles::Failure> failure; // the folder cannot be listed
    std::optional<datafiles::Failure> unreadable; // the first file that could not be read, left out
};
CustomersRead readCustomers(const datafiles::DataDirectory& data);
void sortCustomers(QList<Customer>& customers);

// Writes the customer's file, whole and durably, after checking it, and
// refusing a number new or changed from `previousNumber` that another
// customer file has, letter case ignored; a customer whose number was changed
// has its file renamed.
std::optional<datafiles::Failure> saveCustomer(const datafiles::DataDirectory& data, const Customer& customer,
                                               const QString& previousNumber = {});
std::optional<datafiles::Failure> removeCustomer(const datafiles::DataDirectory& data, const QString& number);

// The customers found by the beginnings of words of their number or name.
class CustomerSearch
{
public:
    explicit CustomerSearch(const QList<Customer>& customers);
    std::vector<int> search(QStringView text) const { return m_words.search(text); }

private:
    WordSearch m_words;
};

} // namespace core
