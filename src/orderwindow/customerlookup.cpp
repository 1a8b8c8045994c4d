// The customer lookup: Enter in the customer-number box fills the customer
// boxes from the customer's file.

#include "frmmain.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "textbox.h"

#include <array>
#include <optional>

namespace {

const QString defaultCustomer = QStringLiteral("1");

using CustomerLines = std::array<QString, 4>;

// Overwrites the slots with the first four lines of the file. A line the file
// does not have, or a file that is missing or cannot be read, leaves its slot as
// it was: the default customer's file is read into the same slots.
void readCustomerLines(const std::optional<QString>& path, CustomerLines& lines)
{
    if (!path)
        return;
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (!file.ok())
        return;
    const QStringList read = datafiles::readLines(file.bytes);
    for (size_t i = 0; i < lines.size() && qsizetype(i) < read.size(); ++i)
        lines[i] = read.at(qsizetype(i));
}

} // namespace

void FrmMain::cmdGetCustomerInfo_Click()
{
    const bool editable = m_txt_KundField0->text() == defaultCustomer;
    for (TextBox* line : { m_txt_KundField1, m_txt_KundField2, m_txt_KundField3 })
        line->setReadOnly(!editable);

    const std::array<TextBox*, 4> boxes = { m_txt_KundField0, m_txt_KundField1, m_txt_KundField2, m_txt_KundField3 };
    CustomerLines lines;
    auto show = [&] {
        for (size_t i = 0; i < boxes.size(); ++i)
            boxes[i]->setText(lines[i]);
    };

    readCustomerLines(m_data.customerFile(m_txt_KundField0->text()), lines);
    show();
    if (!m_txt_KundField0->text().isEmpty())
        return;
    readCustomerLines(m_data.customerFile(defaultCustomer), lines);
    show();
}
