#include "orderexport.h"

#include "datafiles/textfile.h"
#include "order/archive.h"
#include "order/company.h"
#include "order/csvfile.h"
#include "order/orderstatus.h"
#include "order/registers.h"
#include "order/totals.h"

#include <QHash>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace office {
namespace {

using core::Order;
using core::OrderLine;

const QStringList orderHeader { "Orderdatum",        "Ordernr", "Kundnr",       "Namn",       "Status",
                                "Exkl moms",         "Moms %",  "Moms",         "Att betala", "Betk",
                                "Betalningsvillkor", "Levs",    "Leveranssätt", "Frkts",      "Fraktsätt" };
const QStringList lineHeader { "Artikelnr", "Benämning", "Enhet", "A-pris", "Antal", "Rab %", "Radsumma" };

// An order to export: its last line in the order list.
struct Listed
{
    core::OrderListEntry entry;
    QDate date;
    core::OrderState state = core::OrderState::Registered;
};

bool allDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString isoDate(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// Order numbers as the operator counts them: 99 before 100.
bool numberBefore(const QString& a, const QString& b)
{
    if (a.size() != b.size() && allDigits(a) && allDigits(b))
        return a.size() < b.size();
    return a < b;
}

// The orders of the order list, each once as last printed, in the order of
// their last printing.
QList<Listed> lastPrintings(const core::OrderList& list)
{
    QHash<QByteArrayView, qsizetype> last;
    last.reserve(list.size());
    for (qsizetype r = 0; r < list.size(); ++r)
        last.insert(list.fields(r)[1], r);
    QList<Listed> once;
    once.reserve(last.size());
    for (qsizetype r = 0; r < list.size(); ++r) {
        if (last.value(list.fields(r)[1]) == r)
            once.append({ list.entry(r), {} });
    }
    return once;
}

// The rows of one order; made on several threads at once, so it only reads.
class CsvRows
{
public:
    CsvRows(const datafiles::DataDirectory& data, ExportRows rows)
        : m_wording(data)
        , m_rows(rows)
        , m_sender(core::senderLines(core::readCompany(data).company))
    {
        // The registers are read now, once, not by the threads that share them.
        for (const auto which : { core::CodeRegister::PaymentTerms, core::CodeRegister::DeliveryMethod,
                                  core::CodeRegister::FreightMethod })
            m_wording.wording(which, QStringLiteral("\x01"));
    }

    QByteArray header() const
    {
        core::SpreadsheetRow row;
        row.texts(orderHeader);
        if (m_rows == ExportRows::PerLine)
            row.texts(lineHeader);
        QByteArray start = core::spreadsheetStart();
        // The business first, one detail a cell, and an empty row, so that a
        // spreadsheet sees the orders below as a table of their own.
        if (!m_sender.isEmpty())
            start += core::SpreadsheetRow().texts(m_sender).bytes() + core::SpreadsheetRow().bytes();
        return start + row.bytes();
    }

    // The order's rows; the problems of its amounts, if any, go to `problems`.
    QByteArray rowsOf(const Listed& listed, const Order& order, QStringList& problems) const
    {
        const core::Totals totals = core::totalsOf(order);
        core::SpreadsheetRow head;
        head.text(isoDate(listed.date))
            .text(order.text(Order::OrderNumber))
            .text(order.text(Order::CustomerNumber))
            .text(order.text(Order::CustomerLine1))
            .text(core::stateName(listed.state))
            .number(totals.exclusiveOfVat);
        // The archive keeps the VAT code, not the rate: a code outside the
        // table printed with the rate the order had before, which is not known.
        if (totals.vatRate.isEmpty()) {
            head.text({}).text({}).text({});
            problems.append(QStringLiteral("Momskoden \"%1\" ger ingen momssats; moms och att betala är tomma.")
                                .arg(order.text(Order::VatCode)));
        } else {
            head.number(totals.vatRate).number(totals.vat).number(totals.inclusiveOfVat);
        }
        for (const auto& [field, which] : { std::pair { Order::PaymentTerms, core::CodeRegister::PaymentTerms },
                                            std::pair { Order::DeliveryMethod, core::CodeRegister::DeliveryMethod },
                                            std::pair { Order::FreightMethod, core::CodeRegister::FreightMethod } })
            head.text(order.text(field)).text(m_wording.wording(which, order.text(field)));

        if (m_rows == ExportRows::PerOrder)
            return head.bytes();
        // An order without lines still has its row.
        const QList<OrderLine> lines = order.lines().isEmpty() ? QList<OrderLine> { OrderLine() } : order.lines();
        QByteArray rows;
        for (const OrderLine& line : lines) {
            core::SpreadsheetRow row = head;
            for (int column = 0; column < OrderLine::columnCount; ++column) {
                const QString& text = line.texts[size_t(column)];
                if (column >= OrderLine::UnitPrice)
                    row.number(text);
                else
                    row.text(text);
            }
            rows += row.bytes();
        }
        return rows;
    }

private:
    core::CodeWording m_wording;
    ExportRows m_rows;
    QStringList m_sender; // the business, a detail a cell
};

// One order read from its files and turned into its rows.
struct ExportedOrder
{
    QByteArray rows;
    QStringList problems;
};

ExportedOrder exportOrder(const datafiles::DataDirectory& data, const Listed& listed, const CsvRows& csv)
{
    core::ArchivedOrder archived = core::readArchivedOrder(data, listed.entry.orderNumber);
    Order& order = archived.order;
    // Without its customer file the order list still knows the customer.
    if (order.text(Order::CustomerNumber).isEmpty() && order.text(Order::CustomerLine1).isEmpty()) {
        order.setText(Order::CustomerNumber, listed.entry.customerNumber);
        order.setText(Order::CustomerLine1, listed.entry.customerName);
    }
    ExportedOrder exported;
    exported.problems = archived.problems;
    exported.rows = csv.rowsOf(listed, order, exported.problems);
    return exported;
}

// Exports the orders on every core: each order has three small files to read,
// and the disk answers several threads at once. The calling thread works too,
// and tells the progress between its batches; false when the operator stopped.
bool exportAll(const datafiles::DataDirectory& data, const QList<Listed>& orders, const CsvRows& csv,
               std::vector<ExportedOrder>& exported, const Progress& progress)
{
    constexpr qsizetype batch = 64;
    const qsizetype total = orders.size();
    exported.resize(size_t(total));
    std::atomic<qsizetype> next = 0;
    std::atomic<qsizetype> finished = 0;
    std::atomic<bool> stop = false;
    const auto work = [&](bool tell) {
        for (;;) {
            const qsizetype first = next.fetch_add(batch);
            if (first >= total || stop)
                return;
            const qsizetype last = std::min(first + batch, total);
            for (qsizetype i = first; i < last; ++i)
                exported[size_t(i)] = exportOrder(data, orders.at(i), csv);
            finished += last - first;
            if (tell && !goOn(progress, finished, total))
                stop = true;
        }
    };
    std::vector<std::thread> helpers;
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 4);
    for (int t = 1; t < threads && total > batch; ++t)
        helpers.emplace_back(work, false);
    work(true);
    for (std::thread& helper : helpers)
        helper.join();
    return !stop;
}

} // namespace

std::optional<QDate> dateOfOrder(const QString& yymmdd)
{
    if (yymmdd.size() != 6 || !allDigits(yymmdd))
        return std::nullopt;
    const QDate date(2000 + yymmdd.first(2).toInt(), yymmdd.sliced(2, 2).toInt(), yymmdd.sliced(4, 2).toInt());
    return date.isValid() ? std::optional(date) : std::nullopt;
}

QString proposedExportName(const QDate& from, const QDate& to)
{
    if (from.day() == 1 && to == from.addMonths(1).addDays(-1))
        return QStringLiteral("order-%1.csv").arg(from.toString(QStringLiteral("yyyy-MM")));
    return QStringLiteral("order-%1--%2.csv").arg(isoDate(from), isoDate(to));
}

ExportOutcome exportOrders(const datafiles::DataDirectory& data, const QDate& from, const QDate& to, ExportRows rows,
                           VoidedOrders voided, const QString& file, const Progress& progress)
{
    const QString operation = QStringLiteral("exportera orderna");
    ExportOutcome outcome;
    if (std::optional<datafiles::Failure> inside = data.refuseInside(operation, file)) {
        outcome.failure = inside;
        return outcome;
    }
    const core::OrderListRead list = core::readOrderList(data);
    if (list.failure) {
        outcome.failure = list.failure->during(operation);
        return outcome;
    }
    // Without the states a voided order would reach the accountant as a sale.
    const core::StatusLogRead status = core::readStatusLog(data);
    if (status.failure) {
        outcome.failure = status.failure->during(operation);
        return outcome;
    }
    for (const auto& cut : { list.cutShort, status.cutShort }) {
        if (cut)
            outcome.cutShort.append(*cut);
    }

    QList<Listed> inPeriod;
    for (Listed& listed : lastPrintings(list.list)) {
        const std::optional<QDate> date = dateOfOrder(listed.entry.orderDate);
        if (!date || *date < from || *date > to)
            continue;
        listed.date = *date;
        listed.state = status.log.stateOf(listed.entry.orderNumber);
        if (listed.state == core::OrderState::Voided && voided == VoidedOrders::LeftOut)
            ++outcome.voidedLeftOut;
        else
            inPeriod.append(std::move(listed));
    }
    std::stable_sort(inPeriod.begin(), inPeriod.end(), [](const Listed& a, const Listed& b) {
        if (a.date != b.date)
            return a.date < b.date;
        return numberBefore(a.entry.orderNumber, b.entry.orderNumber);
    });

    const CsvRows csv(data, rows);
    std::vector<ExportedOrder> exported;
    if (!goOn(progress, 0, inPeriod.size()) || !exportAll(data, inPeriod, csv, exported, progress)) {
        outcome.cancelled = true;
        return outcome;
    }
    QByteArray bytes = csv.header();
    qsizetype size = bytes.size();
    for (const ExportedOrder& order : exported)
        size += order.rows.size();
    bytes.reserve(size);
    for (qsizetype i = 0; i < inPeriod.size(); ++i) {
        bytes += exported[size_t(i)].rows;
        if (!exported[size_t(i)].problems.isEmpty())
            outcome.incomplete.append({ inPeriod.at(i).entry.orderNumber, exported[size_t(i)].problems });
    }
    outcome.orders = inPeriod.size();
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(file, bytes))
        outcome.failure = failure->during(operation);
    return outcome;
}

} // namespace office
