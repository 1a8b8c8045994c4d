// A desk of the order core alone, for the tests of several desks on one
// folder: it starts as a desk does, then claims, fills and registers orders
// one after another, each for the customer <tag> with one line, both named
// <tag>-<n>, and writes each number it registered to its output.
//
//   deskworker <program folder> <tag> <orders> [crash point]
//
// With a crash point, the desk kills itself there during its first order, as
// a crash or a power cut would end it.

#include "datafiles/desks.h"
#include "order/crashpoint.h"
#include "order/openorder.h"
#include "order/recovery.h"
#include "order/registration.h"

#include <QCoreApplication>
#include <QHash>
#include <QTextStream>

#include <csignal>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const datafiles::DataDirectory data(QString::fromLocal8Bit(argv[1]));
    const QString tag = QString::fromLocal8Bit(argv[2]);
    const int orders = QByteArray(argv[3]).toInt();
    static const QHash<QByteArray, core::CrashPoint> points {
        { "journal", core::CrashPoint::Journal },
        { "ordernumber", core::CrashPoint::OrderNumber },
        { "archive-customer", core::CrashPoint::ArchiveCustomer },
    };
    const std::optional<core::CrashPoint> crashAt
        = argc > 4 ? std::optional(points.value(QByteArray(argv[4]))) : std::nullopt;
    const core::CrashHookForTesting crash([crashAt](core::CrashPoint point) {
        if (point == crashAt)
            std::raise(SIGKILL);
    });

    QTextStream out(stdout);
    datafiles::DeskPresence presence(data);
    if (const core::DeskStarted started = core::announceDesk(data, presence); started.failure) {
        out << "failed: " << started.failure->reason << "\n";
        return 3;
    }
    for (int n = 0; n < orders; ++n) {
        core::OpenOrder desk(data, [] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); });
        const QString name = QStringLiteral("%1-%2").arg(tag).arg(n);
        std::optional<datafiles::Failure> failure = desk.startNew();
        if (!failure) {
            desk.setText(core::Order::CustomerNumber, tag);
            desk.setText(core::Order::CustomerLine1, name);
            failure = desk.addLines({ core::OrderLine::fromList({ name, QStringLiteral("Vara"), QStringLiteral("st"),
                                                                  QStringLiteral("1.00"), QStringLiteral("1"),
                                                                  QString(), QStringLiteral("1.00") }) });
        }
        if (!failure)
            failure = core::registerOrder(data, desk.order());
        if (failure) {
            out << "failed: " << failure->operation << ": " << failure->file << ": " << failure->reason << "\n";
            return 4;
        }
        out << "registered " << desk.order().text(core::Order::OrderNumber) << "\n";
        out.flush();
    }
    return 0;
}
