#include "orderarchive.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "orderwindow/frmmain.h"
#include "orderwindow/textbox.h"
#include "retrieval/messagebox.h"

#include <QDir>
#include <QLabel>

namespace printing {
namespace {

QByteArray plainLines(const QStringList& values)
{
    QByteArray bytes;
    for (const QString& value : values)
        bytes += datafiles::plainLine(value);
    return bytes;
}

// The order list's line, put together from the order window's two fixed
// pieces: the lone quote and the quote-comma-quote separator.
QByteArray orderListLine(const FrmMain& w)
{
    const QString quote = w.i1()->text();
    const QString separator = w.i2()->text();
    const QString line = quote + datafiles::textForRecord(w.txt_OrdDat()->text()) + separator
        + datafiles::textForRecord(w.txt_OrderNr()->text()) + separator
        + datafiles::textForRecord(w.txt_KundField0()->text()) + separator
        + datafiles::textForRecord(w.txt_KundField1()->text()) + quote;
    return datafiles::encode1252(line) + "\r\n";
}

QString noFileName(const QString& orderNumber)
{
    return QStringLiteral("ordernumret \"%1\" kan inte vara en del av ett filnamn").arg(orderNumber);
}

} // namespace

bool archiveOrder(FrmMain& w)
{
    const datafiles::DataDirectory& data = w.dataDirectory();
    const QString orderNumber = w.txt_OrderNr()->text();

    const QString numberFile = data.orderNumberFile();
    if (const QString reason = datafiles::replaceFile(numberFile, datafiles::plainLine(orderNumber));
        !reason.isEmpty()) {
        MessageBox::reportFailure(&w, QStringLiteral("spara ordernumret"), numberFile, reason);
        return false;
    }

    const std::optional<QString> customerFile = data.archiveCustomerFile(orderNumber);
    if (!customerFile) {
        MessageBox::reportFailure(&w, QStringLiteral("arkivera orderns kund"), {}, noFileName(orderNumber));
        return false;
    }
    const QByteArray customer
        = plainLines({ w.txt_KundField0()->text(), w.txt_KundField1()->text(), w.txt_KundField2()->text(),
                       w.txt_KundField3()->text(), w.txt_Info()->text() });
    if (const QString reason = datafiles::replaceFile(*customerFile, customer); !reason.isEmpty()) {
        MessageBox::reportFailure(&w, QStringLiteral("arkivera orderns kund"), *customerFile, reason);
        return false;
    }

    const std::optional<QString> headFile = data.archiveOrderHeadFile(orderNumber);
    if (!headFile) {
        MessageBox::reportFailure(&w, QStringLiteral("arkivera orderhuvudet"), {}, noFileName(orderNumber));
        return false;
    }
    // Payment terms, registration number, freight, delivery: the order the
    // archive has always had, not the order of the printed form.
    const QByteArray head
        = plainLines({ orderNumber, w.txt_LevDat()->text(), w.txt_OrdDat()->text(), w.txt_Betk()->text(),
                       w.txt_RegNr()->text(), w.txt_Frkts()->text(), w.txt_LevS()->text(), w.txt_Mkod()->text() });
    if (const QString reason = datafiles::replaceFile(*headFile, head); !reason.isEmpty()) {
        MessageBox::reportFailure(&w, QStringLiteral("arkivera orderhuvudet"), *headFile, reason);
        return false;
    }

    const QString list = data.orderList();
    if (const QString reason = datafiles::appendToFile(list, orderListLine(w)); !reason.isEmpty()) {
        MessageBox::reportFailure(&w, QStringLiteral("föra in ordern i orderlistan"), list, reason);
        return false;
    }
    return true;
}

QString confirmationText(const FrmMain& w, const QString& savedInsteadOfPrinted)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("Ordernummer: ") + w.txt_OrderNr()->text() + crlf + crlf + w.txt_KundField1()->text()
        + crlf + w.txt_KundField2()->text() + crlf + w.txt_KundField3()->text() + crlf + crlf
        + QStringLiteral("Utskrift pågår...") + QString(29, QLatin1Char(' '));
    if (!savedInsteadOfPrinted.isEmpty())
        text += crlf + QStringLiteral("Ingen skrivare finns: ordern är sparad som ")
            + QDir::toNativeSeparators(savedInsteadOfPrinted);
    return text;
}

} // namespace printing
