#include "orderhistory.h"

#include "numbering.h"

namespace core {

OrderHistory::OrderHistory(const QList<OrderListEntry>& entries)
{
    const qsizetype count = entries.size();
    m_entries.reserve(size_t(count));
    m_words.reserve(count);
    for (qsizetype i = count - 1; i >= 0; --i) {
        const OrderListEntry& entry = entries.at(i);
        m_entries.push_back(entry);
        m_words.add({ entry.orderNumber, entry.customerNumber, entry.customerName });
    }
}

std::vector<int> OrderHistory::search(QStringView text) const
{
    return m_words.search(text);
}

Order newOrderFrom(const Order& printed, const Order& current, const QString& number, const QDate& today)
{
    Order order = current;
    startNewOrder(order, number, today);
    for (Order::Field field : { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3,
                                Order::Info, Order::PaymentTerms, Order::DeliveryMethod, Order::FreightMethod,
                                Order::RegistrationNumber, Order::VatCode })
        order.setText(field, printed.text(field));
    order.setLines(printed.lines());
    return order;
}

} // namespace core
