#include "customers.h"
#include "textrules.h"

#include "datafiles/codepage.h"
#include "datafiles/datalock.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QCollator>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace core {
namespace {

// The names Windows keeps for its devices: also with an extension ("CON.txt"),
// since Windows looks only at what stands before the first dot, blanks at its
// end left out, and with a superscript digit ("COM¹", "LPT³") as Windows
// counts it among the digits.
bool isDeviceName(const QString& number)
{
    static const QStringList devices { "CON", "PRN", "AUX", "NUL" };
    QString name = number.section(u'.', 0, 0);
    while (name.endsWith(u' '))
        name.chop(1);
    const QString upper = name.toUpper();
    if (devices.contains(upper))
        return true;
    if (upper.size() != 4 || !(upper.startsWith(QLatin1String("COM")) || upper.startsWith(QLatin1String("LPT"))))
        return false;
    const QChar digit = upper.at(3);
    return (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

bool allDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

QString customerNumberProblem(const QString& number)
{
    if (number.isEmpty())
        return QStringLiteral("kundnumret är tomt");
    if (number.front().isSpace() || number.back().isSpace())
        return QStringLiteral("kundnumret \"%1\" börjar eller slutar med ett blanksteg").arg(number);
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar c : number) {
        if (forbidden.contains(c))
            return QStringLiteral("kundnumret \"%1\" innehåller tecknet %2, som ett filnamn inte kan innehålla")
                .arg(number, QString(c));
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("kundnumret innehåller ett styrtecken, som ett filnamn inte kan innehålla");
        if (!datafiles::fitsIn1252(c))
            return QStringLiteral("kundnumret \"%1\" innehåller tecknet %2, som inte finns i Windows-1252")
                .arg(number, QString(c));
    }
    if (number == QLatin1String(".") || number == QLatin1String(".."))
        return QStringLiteral("kundnumret \"%1\" kan inte vara ett filnamn").arg(number);
    if (isDeviceName(number))
        return QStringLiteral("kundnumret \"%1\" är ett namn som Windows har reserverat").arg(number);
    if (QFile::encodeName(number).size() > 200)
        return QStringLiteral("kundnumret är för långt för ett filnamn");
    return {};
}

bool sameCustomerNumber(const QString& a, const QString& b)
{
    return datafiles::sameIgnoringCase(a, b);
}

std::optional<datafiles::Failure> checkCustomer(const Customer& customer, const QString& previousNumber)
{
    auto refuse = [&customer](const QString& reason) {
        return datafiles::refusedByRule(QStringLiteral("spara kund %1").arg(customer.number), {}, reason);
    };
    if (previousNumber.isEmpty() || previousNumber != customer.number) {
        if (previousNumber == counterSaleCustomer)
            return refuse(QStringLiteral("kontantkunden 1 behåller sitt nummer"));
        if (const QString problem = customerNumberProblem(customer.number); !problem.isEmpty())
            return refuse(problem);
    }
    const std::pair<const char*, const QString*> lines[] = { { "Namn", &customer.name },
                                                             { "Adress", &customer.address },
                                                             { "Postadress", &customer.postalAddress },
                                                             { "E-post", &customer.email } };
    for (const auto& [caption, text] : lines) {
        for (QChar c : *text) {
            QString problem;
            if (c == u'\r' || c == u'\n')
                problem = QStringLiteral("texten innehåller en radbrytning, som kundfilen inte kan lagra");
            else if (isRefusedControl(c))
                problem = controlCharacterProblem(QStringView(&c, 1));
            else if (!datafiles::fitsIn1252(c))
                problem = QStringLiteral("tecknet %1 i \"%2\" finns inte i Windows-1252").arg(QString(c), *text);
            if (!problem.isEmpty())
                return refuse(QStringLiteral("%1: %2").arg(QString::fromUtf8(caption), problem));
        }
    }
    // The order's PDF is sent to the address as it stands.
    const QString email = customer.email.trimmed();
    const qsizetype at = email.indexOf(u'@');
    if (!email.isEmpty() && (at <= 0 || at == email.size() - 1))
        return refuse(QStringLiteral("E-post: \"%1\" är ingen e-postadress").arg(customer.email));
    return std::nullopt;
}

QByteArray customerFileBytes(const Customer& customer)
{
    QByteArray bytes;
    for (const QString* line : { &customer.number, &customer.name, &customer.address, &customer.postalAddress })
        bytes += datafiles::plainLine(*line);
    if (!customer.email.isEmpty())
        bytes += datafiles::plainLine(customer.email);
    return bytes;
}

Customer customerFromFile(const QString& number, const QByteArray& bytes)
{
    const QStringList lines = datafiles::readLines(bytes);
    return { number, lines.value(1), lines.value(2), lines.value(3), lines.value(4) };
}

QString customerEmail(const datafiles::DataDirectory& data, const QString& customerNumber)
{
    const std::optional<QString> path = data.customerFile(customerNumber);
    if (!path)
        return {};
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (!file.ok())
        return {};
    return customerFromFile(customerNumber, file.bytes).email.trimmed();
}

void sortCustomers(QList<Customer>& customers)
{
    QCollator collator(QLocale(QLocale::Swedish, QLocale::Sweden));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(customers.begin(), customers.end(), [&collator](const Customer& a, const Customer& b) {
        const bool aFirst = a.number == counterSaleCustomer;
        const bool bFirst = b.number == counterSaleCustomer;
        if (aFirst != bFirst)
            return aFirst;
        const bool aDigits = allDigits(a.number);
        const bool bDigits = allDigits(b.number);
        if (aDigits && bDigits && a.number.size() != b.number.size())
            return a.number.size() < b.number.size();
        if (aDigits != bDigits)
            return aDigits;
        return collator.compare(a.number, b.number) < 0;
    });
}

CustomersRead readCustomers(const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("läsa kundregistret");
    CustomersRead read;
    const QDir folder(data.customerFolder());
    if (!folder.exists()) {
        read.failure = datafiles::Failure {
            operation, data.customerFolder(), QStringLiteral("mappen finns inte"), {}, datafiles::FailureKind::NotFound
        };
        return read;
    }
    const QStringList names = folder.entryList({ QStringLiteral("*.GetInfo.dbf") }, QDir::Files, QDir::NoSort);
    read.customers.reserve(names.size());
    for (const QString& name : names) {
        const std::optional<QString> number = datafiles::DataDirectory::customerNumberOfFile(name);
        if (!number)
            continue;
        const datafiles::ReadResult file = datafiles::readWholeFile(folder.filePath(name));
        if (!file.ok()) {
            if (!read.unreadable)
                read.unreadable = file.failure->during(operation);
            continue;
        }
        read.customers.append(customerFromFile(*number, file.bytes));
    }
    sortCustomers(read.customers);
    return read;
}

std::optional<datafiles::Failure> saveCustomer(const datafiles::DataDirectory& data, const Customer& customer,
                                               const QString& previousNumber)
{
    const QString operation = QStringLiteral("spara kund %1").arg(customer.number);
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return lock.failure();
    if (std::optional<datafiles::Failure> refused = checkCustomer(customer, previousNumber)) {
        refused->file = data.customerFolder();
        return refused;
    }
    const std::optional<QString> path = data.customerFile(customer.number);
    if (!path)
        return datafiles::refusedByRule(operation, data.customerFolder(), customerNumberProblem(customer.number));
    if (previousNumber != customer.number) {
        // Another desk may have added the customer since this one listed them.
        const QStringList names
            = QDir(data.customerFolder()).entryList({ QStringLiteral("*.GetInfo.dbf") }, QDir::Files, QDir::NoSort);
        for (const QString& name : names) {
            const std::optional<QString> other = datafiles::DataDirectory::customerNumberOfFile(name);
            if (other && *other != previousNumber && sameCustomerNumber(*other, customer.number))
                return datafiles::refusedByRule(operation, data.customerFolder(),
                                                QStringLiteral("kundnummer %1 finns redan").arg(*other));
        }
    }
    const bool renamed = !previousNumber.isEmpty() && previousNumber != customer.number;
    const std::optional<QString> previous = renamed ? data.customerFile(previousNumber) : std::nullopt;
    // A number whose letter case alone changed names the same file on a
    // Windows share: it is renamed in place rather than written beside itself
    // and then removed.
    if (previous && sameCustomerNumber(previousNumber, customer.number)) {
        if (!QFile::rename(*previous, *path))
            return datafiles::Failure { operation, *previous, QStringLiteral("filen kunde inte byta namn") };
    }
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(*path, customerFileBytes(customer)))
        return failure->during(operation);
    if (previous && !sameCustomerNumber(previousNumber, customer.number)) {
        if (std::optional<datafiles::Failure> failure = datafiles::removeFile(*previous))
            return failure->during(operation);
    }
    return std::nullopt;
}

std::optional<datafiles::Failure> removeCustomer(const datafiles::DataDirectory& data, const QString& number)
{
    const QString operation = QStringLiteral("ta bort kund %1").arg(number);
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return lock.failure();
    const std::optional<QString> path = data.customerFile(number);
    if (!path)
        return datafiles::refusedByRule(operation, data.customerFolder(), customerNumberProblem(number));
    if (std::optional<datafiles::Failure> failure = datafiles::removeFile(*path))
        return failure->during(operation);
    return std::nullopt;
}

CustomerSearch::CustomerSearch(const QList<Customer>& customers)
{
    m_words.reserve(customers.size());
    for (const Customer& customer : customers)
        m_words.add({ customer.number, customer.name });
}

} // namespace core
