// The wording of the payment-terms, delivery and freight codes that the printed
// order shows.

#include "frmmain.h"

#include "datafiles/textfile.h"
#include "pickers/registerpicker.h"
#include "textbox.h"

#include <QLabel>

#include <map>

namespace {

using Wording = std::map<QString, QString>;

// The standing wording of the codes every order starts with; it holds whatever
// the register files say.
const Wording& paymentTermsWording()
{
    static const Wording wording { { QStringLiteral("0"), QStringLiteral("Normalvillkor") } };
    return wording;
}

const Wording& deliveryWording()
{
    static const Wording wording { { QStringLiteral("0"), QStringLiteral("Hämtas") },
                                   { QStringLiteral("1"), QStringLiteral("Utkört") },
                                   { QStringLiteral("2"), QStringLiteral("Fritt vårt lager") } };
    return wording;
}

const Wording& freightWording()
{
    static const Wording wording { { QStringLiteral("0"), QStringLiteral("Posten") },
                                   { QStringLiteral("1"), QStringLiteral("DHL") },
                                   { QStringLiteral("2"), QStringLiteral("Bussgods") },
                                   { QStringLiteral("3"), QStringLiteral("BTL/Schenker") } };
    return wording;
}

// Any other code is printed as its register describes it, so the printed order
// never names terms the operator did not choose. A code the register does not
// know, or a register that cannot be read, prints nothing.
QString codeText(const Wording& wording, const QString& code, const QString& registerFile)
{
    if (const auto fixed = wording.find(code); fixed != wording.end())
        return fixed->second;
    if (code.isEmpty())
        return {};
    const datafiles::ReadResult file = datafiles::readWholeFile(registerFile);
    if (!file.ok())
        return {};
    return registerDescription(file.bytes, code).value_or(QString());
}

} // namespace

void FrmMain::recomputeCodeTexts()
{
    m_lbl_bet->setText(codeText(paymentTermsWording(), m_txt_Betk->text(), m_data.paymentTermsRegister()));
    m_lbl_lev->setText(codeText(deliveryWording(), m_txt_LevS->text(), m_data.deliveryMethodRegister()));
    m_lbl_frakt->setText(codeText(freightWording(), m_txt_Frkts->text(), m_data.freightMethodRegister()));
}
