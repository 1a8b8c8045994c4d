#include "registerediting.h"

#include "datafiles/codepage.h"
#include "datafiles/datalock.h"
#include "datafiles/numbers.h"
#include "datafiles/textfile.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace core {
namespace {

// What a register window says when its register changed on disk after it was
// read: it reads it again, and the operator makes the change again.
const QString changedSinceListed
    = QStringLiteral("registret har ändrats sedan det lästes; det läses nu in på nytt, gör ändringen igen");

// "Benämning: " before a reason that does not name its field itself.
QString inField(const char* caption, const QString& problem)
{
    return QStringLiteral("%1: %2").arg(QString::fromUtf8(caption), problem);
}

datafiles::Failure refusedProduct(const QStringList& product, const QString& reason)
{
    return datafiles::refusedByRule(QStringLiteral("spara produkt %1").arg(product.value(articleField)), {}, reason);
}

RegisterSaved refused(const datafiles::Failure& failure, const QString& file)
{
    RegisterSaved saved;
    saved.failure = failure;
    saved.failure->file = file;
    return saved;
}

} // namespace

datafiles::Failure cutRecordWillBeDropped(const datafiles::Failure& cutShort)
{
    datafiles::Failure told = cutShort;
    told.reason += QStringLiteral(". Den avkortade posten tas bort när registret sparas nästa gång");
    return told;
}

RegisterSaved saveRegister(const datafiles::DataDirectory& data, const QString& file,
                           const datafiles::RecordTable& current, const datafiles::RecordChanges& changes,
                           const QString& operation, const QString& whenChanged, const QString& keepBefore)
{
    RegisterSaved saved;
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure()) {
        saved.failure = lock.failure();
        return saved;
    }
    const bool exists = QFileInfo::exists(file);
    const datafiles::ReadResult onDisk = exists ? datafiles::readWholeFile(file) : datafiles::ReadResult {};
    if (!onDisk.ok()) {
        saved.failure = onDisk.failure->during(operation);
        return saved;
    }
    if (onDisk.bytes != current.bytes()) {
        saved.failure = datafiles::changedSinceRead(operation, file, whenChanged);
        return saved;
    }
    datafiles::RecordRewrite rewrite = datafiles::rewriteRecords(current, changes);
    if (!rewrite.problem.isEmpty()) {
        saved.failure = datafiles::refusedByRule(operation, file, rewrite.problem);
        return saved;
    }
    if (!keepBefore.isEmpty()) {
        if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(keepBefore, onDisk.bytes)) {
            saved.failure = failure->during(operation);
            return saved;
        }
    }
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(file, rewrite.bytes)) {
        saved.failure = failure->during(operation);
        return saved;
    }
    saved.records = std::move(rewrite.readBack);
    return saved;
}

QString keptBeforeEmptying(const QString& file)
{
    return file + QStringLiteral(".före-tömning");
}

RegisterSaved emptyRegister(const datafiles::DataDirectory& data, const QString& file,
                            const datafiles::RecordTable& current, const QString& name)
{
    datafiles::RecordChanges changes;
    for (qsizetype r = 0; r < current.recordCount(); ++r)
        changes.removed.insert(r);
    return saveRegister(data, file, current, changes, QStringLiteral("tömma registret %1").arg(name),
                        changedSinceListed, keptBeforeEmptying(file));
}

std::optional<datafiles::Failure> undoEmptying(const datafiles::DataDirectory& data, const QString& file,
                                               const QString& name)
{
    const QString operation = QStringLiteral("ångra tömningen av registret %1").arg(name);
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return lock.failure();
    const QString kept = keptBeforeEmptying(file);
    const datafiles::ReadResult before = datafiles::readWholeFile(kept);
    if (!before.ok())
        return before.failure->during(operation);
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(file, before.bytes))
        return failure->during(operation);
    if (std::optional<datafiles::Failure> failure = datafiles::removeFile(kept))
        return failure->during(operation);
    return std::nullopt;
}

std::optional<datafiles::Failure> productProblem(const QStringList& product)
{
    static const char* const captions[] = { "Artikelnr", "Benämning", "Enhet", "A-pris" };
    if (product.value(articleField).trimmed().isEmpty())
        return refusedProduct(product, QStringLiteral("artikelnumret är tomt"));
    for (int f = 0; f < productFields; ++f) {
        QString problem = datafiles::recordTextProblem(product.value(f));
        if (problem.isEmpty())
            problem = controlCharacterProblem(product.value(f), productFieldTab(f));
        if (!problem.isEmpty())
            return refusedProduct(product, inField(captions[f], problem));
    }
    return std::nullopt;
}

ProductChecked checkProduct(const QStringList& typed, QChar decimalMark)
{
    ProductChecked checked { typed, std::nullopt };
    const QString& price = typed.value(priceField);
    if (!price.trimmed().isEmpty()) {
        const std::optional<QString> stored = storedPrice(price, decimalMark);
        if (!stored) {
            checked.refused = refusedProduct(typed, QStringLiteral("priset \"%1\" är inte ett tal").arg(price));
            return checked;
        }
        checked.product[priceField] = *stored;
    }
    checked.refused = productProblem(checked.product);
    return checked;
}

RegisterSaved saveProduct(const datafiles::DataDirectory& data, const datafiles::RecordTable& products,
                          const ProductIndex& index, int place, const QStringList& typed)
{
    const ProductChecked checked = checkProduct(typed);
    if (checked.refused)
        return refused(*checked.refused, data.productRegister());
    if (const int other = index.findArticle(products, checked.product.at(articleField), place); other >= 0)
        return refused(
            refusedProduct(checked.product,
                           QStringLiteral("artikelnummer %1 finns redan (stora och små bokstäver räknas lika)")
                               .arg(products.field(other, articleField))),
            data.productRegister());
    datafiles::RecordChanges changes;
    if (place < 0)
        changes.added.append(checked.product);
    else
        changes.replaced[place] = checked.product;
    return saveRegister(data, data.productRegister(), products, changes,
                        QStringLiteral("spara produkt %1").arg(checked.product.at(articleField)), changedSinceListed);
}

RegisterSaved removeProduct(const datafiles::DataDirectory& data, const datafiles::RecordTable& products, int place)
{
    datafiles::RecordChanges changes;
    changes.removed.insert(place);
    return saveRegister(data, data.productRegister(), products, changes,
                        QStringLiteral("ta bort produkt %1").arg(products.field(place, articleField)),
                        changedSinceListed);
}

Tab productFieldTab(int field)
{
    return field == descriptionField ? Tab::Allowed : Tab::Refused;
}

Tab codeFieldTab(int field)
{
    return field == 1 ? Tab::Allowed : Tab::Refused;
}

std::optional<QString> storedPrice(QStringView typed, QChar decimalMark)
{
    QString text;
    text.reserve(typed.size());
    for (QChar c : typed) {
        // Blanks group the digits, as a Swedish spreadsheet writes 1 234,50.
        if (!c.isSpace())
            text.append(c);
    }
    if (decimalMark.isNull() || decimalMark == u',')
        text.replace(u',', u'.');
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    const std::optional<qint64> hundredths = datafiles::amountHundredths(text.toDouble());
    if (!hundredths)
        return std::nullopt;
    return datafiles::amountTextOfHundredths(*hundredths);
}

std::optional<datafiles::Failure> checkCode(const datafiles::RecordTable& codes, int row, const QStringList& code)
{
    const QString& id = code.value(0);
    const QString operation = QStringLiteral("spara kod %1").arg(id);
    auto refuse = [&operation](const QString& reason) {
        return datafiles::refusedByRule(operation, {}, reason);
    };
    // A longer ID already in the register may stay as it is.
    if (row < 0 || id != codes.field(row, 0)) {
        if (id.size() != 1)
            return refuse(QStringLiteral("koden ska vara ett tecken, som orderns kodrutor tar"));
        if (id.front().isSpace())
            return refuse(QStringLiteral("koden kan inte vara ett blanksteg"));
        if (const QString problem = datafiles::recordTextProblem(id); !problem.isEmpty())
            return refuse(inField("ID", problem));
        if (const QString problem = controlCharacterProblem(id, codeFieldTab(0)); !problem.isEmpty())
            return refuse(inField("ID", problem));
        for (qsizetype r = 0; r < codes.recordCount(); ++r) {
            if (r != row && datafiles::sameIgnoringCase(codes.field(r, 0), id))
                return refuse(QStringLiteral("koden %1 finns redan (stora och små bokstäver räknas lika)")
                                  .arg(codes.field(r, 0)));
        }
    }
    QString problem = datafiles::recordTextProblem(code.value(1));
    if (problem.isEmpty())
        problem = controlCharacterProblem(code.value(1), codeFieldTab(1));
    if (!problem.isEmpty())
        return refuse(inField("Beskrivning", problem));
    return std::nullopt;
}

RegisterSaved saveCode(const datafiles::DataDirectory& data, CodeRegister which, const datafiles::RecordTable& codes,
                       int row, const QStringList& code)
{
    const QString file = registerFile(data, which);
    if (const std::optional<datafiles::Failure> failure = checkCode(codes, row, code))
        return refused(*failure, file);
    datafiles::RecordChanges changes;
    if (row < 0)
        changes.added.append(code);
    else
        changes.replaced[row] = code;
    return saveRegister(data, file, codes, changes,
                        QStringLiteral("spara kod %1 i %2").arg(code.value(0), codeRegisterName(which)),
                        changedSinceListed);
}

RegisterSaved removeCode(const datafiles::DataDirectory& data, CodeRegister which, const datafiles::RecordTable& codes,
                         int row)
{
    datafiles::RecordChanges changes;
    changes.removed.insert(row);
    return saveRegister(data, registerFile(data, which), codes, changes,
                        QStringLiteral("ta bort kod %1 ur %2").arg(codes.field(row, 0), codeRegisterName(which)),
                        changedSinceListed);
}

} // namespace core
