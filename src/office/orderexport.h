#pragma once

#include "progress.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The printed orders of a period as a CSV file for the accountant or a
// spreadsheet: UTF-8 with a BOM, ";" between fields, a decimal comma, dates as
// 2026-12-07, a header row. An order printed more than once is exported once,
// as it was last printed: its last line in the order list decides its date,
// and its archive files hold that printing. The amounts are those of the
// printed form. Each order's state stands in the column "Status"; voided
// orders are left out unless they are asked for.
namespace office {

enum class ExportRows {
    PerOrder, // one row an order
    PerLine, // one row an order line, the order's fields on each
};

enum class VoidedOrders { LeftOut, Included };

// An order exported only as far as its files go, and why.
struct IncompleteOrder
{
    QString orderNumber;
    QStringList problems;
};

struct ExportOutcome
{
    qsizetype orders = 0;
    qsizetype voidedLeftOut = 0; // voided orders of the period not exported
    QList<IncompleteOrder> incomplete;
    bool cancelled = false; // then no file was written
    std::optional<datafiles::Failure> failure;
    // The order list or the status file ends inside a record: what to tell
    // the operator; the orders of the list's complete records were exported,
    // with the states of the status file's.
    QList<datafiles::Failure> cutShort;
};

ExportOutcome exportOrders(const datafiles::DataDirectory& data, const QDate& from, const QDate& to, ExportRows rows,
                           VoidedOrders voided, const QString& file, const Progress& progress = {});

// The date of an order's YYMMDD text, in this century; none for a text that
// is not a date.
std::optional<QDate> dateOfOrder(const QString& yymmdd);

// The file name the export proposes: order-2026-12.csv for a whole month,
// otherwise order-2026-12-01--2026-12-15.csv.
QString proposedExportName(const QDate& from, const QDate& to);

} // namespace office
