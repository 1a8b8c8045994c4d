// Order numbers: "Ny" shows the last recorded number plus one; the number is
// recorded when the order is printed or when the operator clicks the legend
// " F9 - Skriv ut underlag".

#include "frmmain.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "retrieval/messagebox.h"
#include "textbox.h"

#include <optional>

namespace {

// The order-number file holds the last number, possibly with leading zeros and
// with blanks or line ends around it. Anything else is not a number.
std::optional<qint64> recordedOrderNumber(const QString& content)
{
    const QString digits = content.trimmed();
    if (digits.isEmpty() || digits.size() > 17)
        return std::nullopt;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return digits.toLongLong();
}

} // namespace

void FrmMain::mnuNy_Click()
{
    const QString path = m_data.orderNumberFile();
    const datafiles::ReadResult file = datafiles::readWholeFile(path);
    if (!file.ok()) {
        MessageBox::reportFailure(this, QStringLiteral("läsa det senaste ordernumret"), path, file.error);
        return;
    }
    const std::optional<qint64> last = recordedOrderNumber(datafiles::decode1252(file.bytes));
    if (!last) {
        MessageBox::reportFailure(this, QStringLiteral("läsa det senaste ordernumret"), path,
                                  QStringLiteral("filen innehåller inget ordernummer"));
        return;
    }

    m_txt_OrderNr->setText(QString::number(*last + 1));
    const QString today = m_today().toString(QStringLiteral("yyMMdd"));
    m_txt_LevDat->setText(today);
    m_txt_OrdDat->setText(today);
    m_txt_Betk->setText(QStringLiteral("0"));
    m_txt_LevS->setText(QStringLiteral("0"));
    m_txt_Frkts->setText(QStringLiteral("0"));
    m_txt_Mkod->setText(QStringLiteral("0"));
    m_txt_RegNr->setText(QString());
    m_txt_lpl->setText(QStringLiteral("411"));
}

void FrmMain::Label26_Click()
{
    const QString path = m_data.orderNumberFile();
    const QString error = datafiles::replaceFile(path, datafiles::plainLine(m_txt_OrderNr->text()));
    if (!error.isEmpty())
        MessageBox::reportFailure(this, QStringLiteral("spara ordernumret"), path, error);
}
