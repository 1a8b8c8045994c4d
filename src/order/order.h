#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace core {

// One order line: seven texts in the order of the order-line list's columns and
// of a basket record, kept exactly as typed and stored.
struct OrderLine
{
    enum Column { Article, Description, Unit, UnitPrice, Quantity, Discount, LineAmount };
    static constexpr int columnCount = 7;

    std::array<QString, columnCount> texts;

    const QString& text(Column column) const { return texts[column]; }
    QStringList toList() const;
    // The first seven texts; texts a record lacks are empty.
    static OrderLine fromList(const QStringList& texts);

    bool operator==(const OrderLine&) const = default;
};

// The VAT rate in per cent of a VAT code: "0" 25, "1" 12, "3" 6, "9" 0. Any
// other code has none.
std::optional<QString> vatRateOfCode(const QString& code);

// The VAT codes with their rates, as the operator is told them: "0 (25 %), 1
// (12 %), 3 (6 %) eller 9 (0 %)".
QString vatCodesWithRates();

// The order being entered, or one read back from the archive: the head texts
// and the order lines, as the operator typed them and the files hold them.
// The order window shows and edits one; the totals, the printed form, the
// archive and the history read it.
class Order
{
public:
    enum Field {
        CustomerNumber,
        CustomerLine1, // the customer's name, as the order list keeps it
        CustomerLine2,
        CustomerLine3,
        Info,
        OrderNumber,
        Lpl,
        DeliveryMethod, // code
        FreightMethod, // code
        PaymentTerms, // code
        DeliveryDate, // YYMMDD
        OrderDate, // YYMMDD
        RegistrationNumber,
        VatCode,
    };
    static constexpr int fieldCount = VatCode + 1;

    // A fresh order window's order: number "1", everything else empty.
    Order();

    const QString& text(Field field) const { return m_texts[field]; }
    void setText(Field field, const QString& text);

    // The VAT rate of the order's VAT code; none (empty) for a code outside
    // the table ("2", an empty box), whatever code the order held before.
    QString vatRate() const;

    const QList<OrderLine>& lines() const { return m_lines; }
    void appendLine(const OrderLine& line) { m_lines.append(line); }
    void appendLines(const QList<OrderLine>& lines) { m_lines.append(lines); }
    // Removes the lines at these positions; the others keep their order.
    void removeLines(const QList<int>& positions);
    void setLines(QList<OrderLine> lines) { m_lines = std::move(lines); }

    bool operator==(const Order&) const = default;

private:
    std::array<QString, fieldCount> m_texts;
    QList<OrderLine> m_lines;
};

} // namespace core
