#include "importing.h"

#include "registerediting.h"
#include "registers.h"

#include "datafiles/codepage.h"
#include "datafiles/datalock.h"
#include "datafiles/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace core {
namespace {

QString folded(const QString& text)
{
    return datafiles::foldedText(text);
}

// A column's heading as it is recognised: letter case, blanks and dots do not
// count, so that "Art.nr", "ART NR" and "artnr" name the same column.
QString headingKey(const QString& heading)
{
    QString key = folded(heading);
    key.removeIf([](QChar c) { return c.isSpace() || c == u'.'; });
    return key;
}

bool namesHeading(const ImportField& field, const QString& key)
{
    return std::any_of(field.names.cbegin(), field.names.cend(),
                       [&key](const QString& name) { return headingKey(name) == key; });
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// What a row of the file gives each field: the cell of its column, or
// nothing (a null text) where the field has no column or the cell is empty.
struct RowCells
{
    QStringList cells; // by field
    QString problem; // the row is refused before its cells are looked at
};

RowCells cellsOf(const QStringList& row, const ImportColumns& columns, const QList<ImportField>& fields)
{
    RowCells read;
    int needed = 0;
    for (int column : columns.columns)
        needed = std::max(needed, column + 1);
    if (row.size() < needed) {
        read.problem = QStringLiteral("raden har för få kolumner (%1 av %2)").arg(row.size()).arg(needed);
        return read;
    }
    for (qsizetype f = 0; f < columns.columns.size(); ++f) {
        const int column = columns.columns.at(f);
        if (column >= 0 && row.at(column).size() > longestCell) {
            read.problem = QStringLiteral("%1 är längre än %2 tecken").arg(fields.value(f).caption).arg(longestCell);
            read.cells.clear();
            return read;
        }
        read.cells.append(column >= 0 && !row.at(column).isEmpty() ? datafiles::withStoredInchMarks(row.at(column))
                                                                   : QString());
    }
    return read;
}

// The lines of the rows whose key (case folded) stands on more than one row.
QHash<QString, QList<int>> keysOnSeveralRows(const CsvFile& file, const ImportColumns& columns, int keyField)
{
    QHash<QString, QList<int>> lines;
    const int column = columns.columns.value(keyField, -1);
    if (column < 0)
        return lines;
    for (qsizetype r = columns.firstRowNames ? 1 : 0; r < file.rows.size(); ++r) {
        const QString key = file.rows.at(r).value(column);
        if (!key.trimmed().isEmpty())
            lines[folded(key)].append(file.lines.value(r));
    }
    for (auto it = lines.begin(); it != lines.end();) {
        if (it->size() < 2)
            it = lines.erase(it);
        else
            ++it;
    }
    return lines;
}

QString standsOnSeveralRows(const QString& what, const QList<int>& lines)
{
    QStringList numbers;
    for (int line : lines)
        numbers.append(QString::number(line));
    return QStringLiteral("%1 står på flera rader i filen (rad %2)").arg(what, numbers.join(QStringLiteral(", ")));
}

void addRow(ImportPreview& preview, ImportRow row)
{
    ++preview.counts[size_t(row.kind)];
    preview.rows.append(std::move(row));
}

// "Benämning "Skruv" → "Skruv rostfri"" for one changed field.
QString changeOf(const QString& caption, const QString& before, const QString& after)
{
    return QStringLiteral("%1 %2 → %3").arg(caption, quoted(before), quoted(after));
}

std::optional<datafiles::Failure> failedIn(const std::optional<datafiles::Failure>& failure, const QString& operation)
{
    if (failure)
        return failure->during(operation);
    return std::nullopt;
}

const QString addedListName = QStringLiteral("tillagda.txt");

QString addedList(const datafiles::DataDirectory& data)
{
    return data.customersBeforeImport() + QLatin1Char('/') + addedListName;
}

datafiles::Failure systemFailure(const QString& operation, const QString& path, int error)
{
    return { operation,
             path,
             datafiles::failureReason(error, QString::fromLocal8Bit(std::strerror(error))),
             {},
             datafiles::kindOfError(error) };
}

// Removes a folder the import made for itself, with the files in it, if it is
// there. Nothing is followed: a link in the folder's place or in a file's is
// removed itself.
std::optional<datafiles::Failure> removeOwnFolder(const QString& operation, const QString& folder)
{
    const QByteArray name = QFile::encodeName(folder);
    struct stat status = {};
    if (::lstat(name.constData(), &status) != 0)
        return errno == ENOENT ? std::nullopt : std::optional(systemFailure(operation, folder, errno));
    if (S_ISDIR(status.st_mode)) {
        const QStringList entries
            = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& entry : entries) {
            const QString path = folder + QLatin1Char('/') + entry;
            if (::unlink(QFile::encodeName(path).constData()) != 0)
                return systemFailure(operation, path, errno);
        }
        if (::rmdir(name.constData()) != 0)
            return systemFailure(operation, folder, errno);
    } else if (::unlink(name.constData()) != 0) {
        return systemFailure(operation, folder, errno);
    }
    return failedIn(datafiles::syncFolder(datafiles::folderOf(folder)), operation);
}

// An empty folder of the import's own in place of whatever a stopped import left there.
std::optional<datafiles::Failure> makeOwnFolder(const QString& operation, const QString& folder)
{
    if (std::optional<datafiles::Failure> failure = removeOwnFolder(operation, folder))
        return failure;
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0)
        return systemFailure(operation, folder, errno);
    return std::nullopt;
}

} // namespace

QString rowKindName(RowKind kind)
{
    switch (kind) {
    case RowKind::New:
        return QStringLiteral("Ny");
    case RowKind::Changed:
        return QStringLiteral("Ändrad");
    case RowKind::Unchanged:
        return QStringLiteral("Oförändrad");
    case RowKind::Refused:
        break;
    }
    return QStringLiteral("Avvisad");
}

const QList<ImportField>& priceListFields()
{
    static const QList<ImportField> fields {
        { QStringLiteral("Artikelnr"),
          { "Artikelnr", "Art.nr", "Artikelnummer", "Art nr", "SKU", "Article", "Article number" } },
        { QStringLiteral("Benämning"), { "Benämning", "Beskrivning", "Namn", "Description", "Name" } },
        { QStringLiteral("Enhet"), { "Enhet", "Unit" } },
        { QStringLiteral("Pris"),
          { "Pris", "A-pris", "Pris exkl. moms", "Nettopris", "Utpris", "Apris", "À-pris", "Price", "Unit price" } },
    };
    return fields;
}

const QList<ImportField>& customerListFields()
{
    static const QList<ImportField> fields {
        { QStringLiteral("Kundnr"), { "Kundnr", "Kundnummer", "Customer", "Customer number", "Customer no" } },
        { QStringLiteral("Namn"), { "Namn", "Kundnamn", "Name", "Företag", "Company" } },
        { QStringLiteral("Adress"), { "Adress", "Gatuadress", "Address", "Street" } },
        { QStringLiteral("Postadress"), { "Postadress", "Postnr och ort", "Postal address", "City" } },
        { QStringLiteral("E-post"), { "E-post", "Epost", "E-mail", "Email", "Mail" } },
    };
    return fields;
}

ImportColumns guessColumns(const CsvFile& file, const QList<ImportField>& fields)
{
    ImportColumns guess;
    guess.columns = QList<int>(fields.size(), -1);
    if (!file.rows.isEmpty()) {
        const QStringList& first = file.rows.first();
        int named = 0;
        for (qsizetype column = 0; column < first.size(); ++column) {
            const QString name = headingKey(first.at(column));
            for (qsizetype f = 0; f < fields.size(); ++f) {
                if (guess.columns[f] < 0 && namesHeading(fields.at(f), name)) {
                    guess.columns[f] = int(column);
                    ++named;
                    break;
                }
            }
        }
        // The first row names the columns when it names the key's.
        if (named > 0 && guess.columns[0] >= 0) {
            guess.firstRowNames = true;
            return guess;
        }
    }
    for (qsizetype f = 0; f < fields.size(); ++f)
        guess.columns[f] = f < file.columns ? int(f) : -1;
    return guess;
}

QChar decimalMarkOf(const CsvFile& file, const ImportColumns& columns, int priceField)
{
    const int column = columns.columns.value(priceField, -1);
    int commas = 0;
    int points = 0;
    if (column >= 0) {
        for (qsizetype r = columns.firstRowNames ? 1 : 0; r < file.rows.size(); ++r) {
            const QString cell = file.rows.at(r).value(column);
            const qsizetype comma = cell.lastIndexOf(u',');
            const qsizetype point = cell.lastIndexOf(u'.');
            if (comma > point)
                ++commas;
            else if (point > comma)
                ++points;
        }
    }
    if (commas != points)
        return commas > points ? u',' : u'.';
    // A file parted by commas cannot have decimal commas outside quotes.
    return file.separator == ',' ? u'.' : u',';
}

PriceListPlan planPriceList(const CsvFile& file, const ImportColumns& columns, PriceListMode mode,
                            const datafiles::RecordTable& products)
{
    PriceListPlan plan;
    plan.decimalMark = decimalMarkOf(file, columns, priceField);
    const ArticleLookup lookup(products);
    const QHash<QString, QList<int>> repeated = keysOnSeveralRows(file, columns, articleField);
    const QList<ImportField>& fields = priceListFields();

    for (qsizetype r = columns.firstRowNames ? 1 : 0; r < file.rows.size(); ++r) {
        ImportRow row;
        row.line = file.lines.value(r);
        const RowCells read = cellsOf(file.rows.at(r), columns, fields);
        if (!read.problem.isEmpty()) {
            row.key = file.rows.at(r).value(columns.columns.value(articleField, -1));
            row.detail = read.problem;
            addRow(plan.preview, row);
            continue;
        }
        row.key = read.cells.value(articleField);
        if (const auto twice = repeated.constFind(folded(row.key)); twice != repeated.constEnd()) {
            row.detail = standsOnSeveralRows(QStringLiteral("artikelnumret"), *twice);
            addRow(plan.preview, row);
            continue;
        }
        const ProductChecked checked = checkProduct(read.cells, plan.decimalMark);
        if (checked.refused) {
            row.detail = checked.refused->reason;
            addRow(plan.preview, row);
            continue;
        }
        const QStringList& cells = checked.product;
        // A price left empty leaves the product's price as it is.
        const std::optional<QString> price
            = cells.value(priceField).trimmed().isEmpty() ? std::nullopt : std::optional(cells.value(priceField));

        const int existing = lookup.find(products, row.key);
        if (existing < 0) {
            if (mode == PriceListMode::PricesOnly) {
                row.detail = QStringLiteral("artikeln finns inte i produktregistret, och bara priser uppdateras");
                addRow(plan.preview, row);
                continue;
            }
            const QStringList product { row.key, cells.value(descriptionField), cells.value(unitField),
                                        price.value_or(QString()) };
            row.kind = RowKind::New;
            row.detail = QStringLiteral("%1, %2, %3")
                             .arg(quoted(product.at(1)), quoted(product.at(2)),
                                  product.at(3).isEmpty() ? QStringLiteral("inget pris") : product.at(3));
            plan.changes.added.append(product);
            addRow(plan.preview, row);
            continue;
        }

        const QStringList before = products.record(existing);
        QStringList after = before;
        QStringList changes;
        for (int f = descriptionField; f <= unitField; ++f) {
            if (mode == PriceListMode::AddAndUpdate && !cells.value(f).isNull() && cells.value(f) != before.at(f)) {
                after[f] = cells.value(f);
                changes.append(changeOf(fields.at(f).caption, before.at(f), after.at(f)));
            }
        }
        if (price) {
            // A price compares as a number: 10 and 10,00 are the same price.
            const std::optional<QString> old = storedPrice(before.at(priceField), u'.');
            if (old != price) {
                after[priceField] = *price;
                changes.append(QStringLiteral("A-pris %1 → %2").arg(before.at(priceField), *price));
            }
        }
        row.key = before.at(articleField);
        const std::optional<datafiles::Failure> unwritable = changes.isEmpty() ? std::nullopt : productProblem(after);
        if (changes.isEmpty()) {
            row.kind = RowKind::Unchanged;
        } else if (unwritable) {
            // The product's record is written whole, as a quoted record.
            row.detail = QStringLiteral("produkten i registret kan inte skrivas om: %1").arg(unwritable->reason);
        } else {
            row.kind = RowKind::Changed;
            row.detail = changes.join(QStringLiteral("; "));
            plan.changes.replaced[existing] = after;
        }
        addRow(plan.preview, row);
    }
    // A list read without its price column would show every row unchanged, as
    // though its prices were the register's.
    if (columns.columns.value(priceField, -1) < 0 && plan.changes.isEmpty()) {
        plan.preview = {};
        plan.preview.missingColumn = QStringLiteral("Ingen kolumn är vald för %1, så inga priser kan uppdateras. "
                                                    "Välj prisets kolumn under \"Kolumner i filen\".")
                                         .arg(fields.at(priceField).caption);
    }
    return plan;
}

RegisterSaved importPriceList(const datafiles::DataDirectory& data, const datafiles::RecordTable& current,
                              const datafiles::RecordChanges& changes)
{
    return saveRegister(
        data, data.productRegister(), current, changes, QStringLiteral("importera prislistan"),
        QStringLiteral("registret har ändrats sedan förhandsgranskningen; förhandsgranskningen görs nu om"),
        data.productRegisterBeforeImport());
}

bool canUndoPriceList(const datafiles::DataDirectory& data)
{
    return datafiles::isFile(data.productRegisterBeforeImport());
}

std::optional<datafiles::Failure> undoPriceList(const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("ångra den senaste importen av en prislista");
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return lock.failure();
    const datafiles::ReadResult kept = datafiles::readWholeFile(data.productRegisterBeforeImport());
    if (!kept.ok())
        return kept.failure->during(operation);
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(data.productRegister(), kept.bytes))
        return failure->during(operation);
    return failedIn(datafiles::removeFile(data.productRegisterBeforeImport()), operation);
}

CustomerListPlan planCustomerList(const CsvFile& file, const ImportColumns& columns, const QList<Customer>& customers)
{
    CustomerListPlan plan;
    QHash<QString, int> byNumber;
    for (qsizetype i = 0; i < customers.size(); ++i)
        byNumber.insert(folded(customers.at(i).number), int(i));
    const QHash<QString, QList<int>> repeated = keysOnSeveralRows(file, columns, 0);
    const QList<ImportField>& fields = customerListFields();

    for (qsizetype r = columns.firstRowNames ? 1 : 0; r < file.rows.size(); ++r) {
        ImportRow row;
        row.line = file.lines.value(r);
        const RowCells read = cellsOf(file.rows.at(r), columns, fields);
        if (!read.problem.isEmpty()) {
            row.key = file.rows.at(r).value(columns.columns.value(0, -1));
            row.detail = read.problem;
            addRow(plan.preview, row);
            continue;
        }
        const QStringList& cells = read.cells;
        row.key = cells.value(0);
        if (const auto twice = repeated.constFind(folded(row.key)); twice != repeated.constEnd()) {
            row.detail = standsOnSeveralRows(QStringLiteral("kundnumret"), *twice);
            addRow(plan.preview, row);
            continue;
        }

        const auto known = byNumber.constFind(folded(row.key));
        if (known == byNumber.constEnd()) {
            const Customer added { row.key, cells.value(1), cells.value(2), cells.value(3), cells.value(4) };
            if (const std::optional<datafiles::Failure> refused = checkCustomer(added)) {
                row.detail = refused->reason;
            } else {
                row.kind = RowKind::New;
                row.detail = QStringLiteral("%1, %2, %3")
                                 .arg(quoted(added.name), quoted(added.address), quoted(added.postalAddress));
                plan.written.append(added);
                plan.added.append(added.number);
            }
            addRow(plan.preview, row);
            continue;
        }
        const Customer& before = customers.at(*known);
        Customer after = before;
        QString* fieldsOf[] = { nullptr, &after.name, &after.address, &after.postalAddress, &after.email };
        const QString* beforeOf[] = { nullptr, &before.name, &before.address, &before.postalAddress, &before.email };
        QStringList changes;
        for (int f = 1; f < 5; ++f) {
            if (!cells.value(f).isNull() && cells.value(f) != *beforeOf[f]) {
                *fieldsOf[f] = cells.value(f);
                changes.append(changeOf(fields.at(f).caption, *beforeOf[f], cells.value(f)));
            }
        }
        row.key = before.number;
        if (changes.isEmpty()) {
            row.kind = RowKind::Unchanged;
        } else if (const std::optional<datafiles::Failure> refused = checkCustomer(after, before.number)) {
            row.detail = refused->reason;
        } else {
            row.kind = RowKind::Changed;
            row.detail = changes.join(QStringLiteral("; "));
            plan.written.append(after);
            plan.replaced.append(before);
        }
        addRow(plan.preview, row);
    }
    return plan;
}

// Copies the files a change replaces or removes aside, in place of the last
// import's, with the numbers it adds, for undoCustomerList().
std::optional<datafiles::Failure> keepCustomers(const datafiles::DataDirectory& data, const QList<Customer>& replaced,
                                                const QStringList& added, const QString& operation);

std::optional<datafiles::Failure> undoCustomerListHeld(const datafiles::DataDirectory& data);

std::optional<datafiles::Failure> importCustomerList(const datafiles::DataDirectory& data, const CustomerListPlan& plan)
{
    const QString operation = QStringLiteral("importera kundlistan");
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return lock.failure();
    const CustomersRead now = readCustomers(data);
    if (now.failure || now.unreadable)
        return (now.failure ? now.failure : now.unreadable)->during(operation);
    QHash<QString, const Customer*> onDisk;
    for (const Customer& customer : now.customers)
        onDisk.insert(folded(customer.number), &customer);
    for (const Customer& customer : plan.written) {
        if (!data.customerFile(customer.number))
            return datafiles::refusedByRule(operation, data.customerFolder(), customerNumberProblem(customer.number));
    }
    for (const QString& number : plan.added) {
        if (const Customer* found = onDisk.value(folded(number)))
            return datafiles::changedSinceRead(
                operation, *data.customerFile(found->number),
                QStringLiteral("kund %1 har lagts till sedan förhandsgranskningen").arg(found->number));
    }
    for (const Customer& before : plan.replaced) {
        const Customer* found = onDisk.value(folded(before.number));
        if (!found || *found != before)
            return datafiles::changedSinceRead(
                operation, *data.customerFile(before.number),
                QStringLiteral("kund %1 har ändrats sedan förhandsgranskningen").arg(before.number));
    }

    // Everything the import writes is written whole before any customer file
    // changes: the customer files in a folder of their own, the copies for
    // undoing in another. A full disk stops it there, and both folders go.
    const QString staged = data.customersBeingImported();
    const QString keptNew = data.customersBeforeImportBeingWritten();
    const auto nothingImported = [&](datafiles::Failure failure) {
        removeOwnFolder(operation, staged);
        removeOwnFolder(operation, keptNew);
        failure.reason += QStringLiteral("; ingen kund har importerats, och kundfilerna är som före importen");
        return failure.during(operation);
    };
    for (const QString& folder : { staged, keptNew }) {
        if (std::optional<datafiles::Failure> failure = makeOwnFolder(operation, folder))
            return nothingImported(*failure);
    }
    QStringList names;
    for (const Customer& customer : plan.written) {
        names.append(QFileInfo(*data.customerFile(customer.number)).fileName());
        if (std::optional<datafiles::Failure> failure
            = datafiles::replaceFile(staged + QLatin1Char('/') + names.last(), customerFileBytes(customer)))
            return nothingImported(*failure);
    }
    QByteArray addedNumbers;
    for (const QString& number : plan.added)
        addedNumbers += datafiles::plainLine(number);
    for (const Customer& before : plan.replaced) {
        const QString path = *data.customerFile(before.number);
        const datafiles::ReadResult bytes = datafiles::readWholeFile(path);
        if (!bytes.ok())
            return nothingImported(*bytes.failure);
        if (std::optional<datafiles::Failure> failure
            = datafiles::replaceFile(keptNew + QLatin1Char('/') + QFileInfo(path).fileName(), bytes.bytes))
            return nothingImported(*failure);
    }
    if (std::optional<datafiles::Failure> failure
        = datafiles::replaceFile(keptNew + QLatin1Char('/') + addedListName, addedNumbers))
        return nothingImported(*failure);

    // The rest takes no room on the disk. The last import's copies give way to
    // this one's.
    const QString kept = data.customersBeforeImport();
    if (std::optional<datafiles::Failure> link = datafiles::refuseLink(kept))
        return nothingImported(*link);
    if (std::optional<datafiles::Failure> failure = removeOwnFolder(operation, kept))
        return nothingImported(*failure);
    if (::rename(QFile::encodeName(keptNew).constData(), QFile::encodeName(kept).constData()) != 0)
        return nothingImported(systemFailure(operation, kept, errno));
    if (std::optional<datafiles::Failure> failure = datafiles::syncFolder(data.systemFolder()))
        return nothingImported(*failure);

    // Each file renamed into place, which replaces a link there rather than
    // writing through it.
    std::optional<datafiles::Failure> failure;
    for (qsizetype i = 0; !failure && i < names.size(); ++i) {
        const QString to = data.customerFolder() + QLatin1Char('/') + names.at(i);
        if (::rename(QFile::encodeName(staged + QLatin1Char('/') + names.at(i)).constData(),
                     QFile::encodeName(to).constData())
            != 0)
            failure = systemFailure(operation, to, errno);
    }
    if (!failure)
        failure = failedIn(datafiles::syncFolder(data.customerFolder()), operation);
    if (failure) {
        const std::optional<datafiles::Failure> undone = undoCustomerListHeld(data);
        removeOwnFolder(operation, staged);
        failure->reason += undone
            ? QStringLiteral("; importen kunde inte heller ångras (%1: %2)").arg(undone->file, undone->reason)
            : QStringLiteral("; importen är ångrad, och kundfilerna är som före den");
        return failure;
    }
    removeOwnFolder(operation, staged);
    return std::nullopt;
}

std::optional<datafiles::Failure> emptyCustomers(const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("tömma kundregistret");
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return lock.failure();
    const CustomersRead now = readCustomers(data);
    if (now.failure || now.unreadable)
        return (now.failure ? now.failure : now.unreadable)->during(operation);
    QList<Customer> removed;
    for (const Customer& customer : now.customers) {
        if (!sameCustomerNumber(customer.number, counterSaleCustomer))
            removed.append(customer);
    }
    if (std::optional<datafiles::Failure> failure = keepCustomers(data, removed, {}, operation))
        return failure;
    for (const Customer& customer : removed) {
        if (std::optional<datafiles::Failure> failure = datafiles::removeFile(*data.customerFile(customer.number)))
            return failure->during(operation);
    }
    return std::nullopt;
}

std::optional<datafiles::Failure> keepCustomers(const datafiles::DataDirectory& data, const QList<Customer>& replaced,
                                                const QStringList& added, const QString& operation)
{
    // The last import's copies give way to this one's.
    const QString kept = data.customersBeforeImport();
    if (std::optional<datafiles::Failure> link = datafiles::refuseLink(kept))
        return link->during(operation);
    if (std::optional<datafiles::Failure> failure = datafiles::removeTree(kept))
        return failure->during(operation);
    if (!QDir().mkpath(kept))
        return datafiles::Failure { operation, kept, QStringLiteral("mappen kunde inte skapas") };
    QByteArray addedNumbers;
    for (const QString& number : added)
        addedNumbers += datafiles::plainLine(number);
    for (const Customer& before : replaced) {
        const QString path = *data.customerFile(before.number);
        const datafiles::ReadResult bytes = datafiles::readWholeFile(path);
        if (!bytes.ok())
            return bytes.failure->during(operation);
        if (std::optional<datafiles::Failure> failure
            = datafiles::replaceFile(kept + QLatin1Char('/') + QFileInfo(path).fileName(), bytes.bytes))
            return failure->during(operation);
    }
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(addedList(data), addedNumbers))
        return failure->during(operation);
    if (std::optional<datafiles::Failure> failure = datafiles::syncFolder(datafiles::folderOf(kept)))
        return failure->during(operation);
    return std::nullopt;
}

bool canUndoCustomerList(const datafiles::DataDirectory& data)
{
    return datafiles::isFile(addedList(data));
}

std::optional<datafiles::Failure> undoCustomerList(const datafiles::DataDirectory& data)
{
    const datafiles::DataLock lock
        = datafiles::DataLock::take(data, QStringLiteral("ångra den senaste importen av en kundlista"));
    if (lock.failure())
        return lock.failure();
    return undoCustomerListHeld(data);
}

// The undo itself, by a caller that holds the folder's lock already (the lock
// is not taken twice: the import undoes itself with it held).
std::optional<datafiles::Failure> undoCustomerListHeld(const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("ångra den senaste importen av en kundlista");
    const datafiles::OpenedFolder kept(data.customersBeforeImport());
    if (kept.failure())
        return kept.failure()->during(operation);
    for (const QString& name : kept.fileNames()) {
        if (!datafiles::DataDirectory::customerNumberOfFile(name))
            continue;
        const datafiles::ReadResult before = kept.read(name);
        if (!before.ok())
            return before.failure->during(operation);
        if (std::optional<datafiles::Failure> failure
            = datafiles::replaceFile(data.customerFolder() + QLatin1Char('/') + name, before.bytes))
            return failure->during(operation);
    }
    const datafiles::ReadResult added = kept.read(QFileInfo(addedList(data)).fileName());
    if (!added.ok())
        return added.failure->during(operation);
    for (const QString& number : datafiles::readLines(added.bytes)) {
        if (const std::optional<QString> path = data.customerFile(number)) {
            if (std::optional<datafiles::Failure> failure = datafiles::removeFile(*path))
                return failure->during(operation);
        }
    }
    // The list goes last: until it has gone, the undo can be done again.
    if (std::optional<datafiles::Failure> failure = datafiles::removeFile(addedList(data)))
        return failure->during(operation);
    return failedIn(datafiles::removeTree(data.customersBeforeImport()), operation);
}

} // namespace core
