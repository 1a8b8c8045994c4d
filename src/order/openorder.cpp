#include "openorder.h"

#include "basket.h"
#include "customerlookup.h"
#include "lineamounts.h"
#include "numbering.h"
#include "registration.h"

#include <algorithm>

namespace core {
namespace {

Order::Field codeField(CodeRegister which)
{
    switch (which) {
    case CodeRegister::PaymentTerms:
        return Order::PaymentTerms;
    case CodeRegister::DeliveryMethod:
        return Order::DeliveryMethod;
    case CodeRegister::FreightMethod:
        break;
    }
    return Order::FreightMethod;
}

} // namespace

OpenOrder::OpenOrder(datafiles::DataDirectory data, Clock now, QObject* parent)
    : QObject(parent)
    , m_data(std::move(data))
    , m_now(now ? std::move(now) : Clock([] { return QDateTime::currentDateTime(); }))
    , m_wording(m_data)
{
}

const CodeWording& OpenOrder::currentWording()
{
    m_wording.reload();
    return m_wording;
}

std::optional<datafiles::Failure> OpenOrder::nextNumber(QString& number)
{
    // A registration that stopped part-way (a full disk at one of its files)
    // is completed before a number is handed out; where it still cannot be,
    // its journal keeps its number from being handed out again.
    completeUnfinishedRegistration(m_data);
    const NextNumber next = claimNextNumber(m_data);
    if (next.failure)
        return next.failure;
    number = next.number;
    m_claim = number;
    return std::nullopt;
}

OpenOrder::~OpenOrder()
{
    // The desk closes: the number of an order it did not print is free again.
    if (!m_claim.isEmpty())
        releaseClaim(m_data, m_claim);
}

bool OpenOrder::isRegistered() const
{
    const QString& number = m_order.text(Order::OrderNumber);
    // An order that still holds its claim has not been printed; only a
    // printed one, or one put on the desk otherwise, is looked for in the list.
    return !holdsClaim(m_data, number) && isListed(m_data, number);
}

std::optional<datafiles::Failure> OpenOrder::startNew()
{
    QString number;
    if (std::optional<datafiles::Failure> failure = nextNumber(number))
        return failure;
    // Lines that stay on screen are the new order's: its basket holds them,
    // so that its archive has every line its paper will show, as a new order
    // from a printed one has them.
    if (!m_order.lines().isEmpty()) {
        if (std::optional<datafiles::Failure> failure = rewriteBasket(m_data, number, m_order.lines()))
            return failure;
    }
    startNewOrder(m_order, number, today());
    emit headChanged();
    emit changed();
    return std::nullopt;
}

std::optional<QString> OpenOrder::lookUpCustomer()
{
    const QString typed = m_order.text(Order::CustomerNumber);
    const CustomerLookup customer = core::lookUpCustomer(m_data, typed);
    applyCustomer(m_order, customer);
    if (m_customerLinesEditable != customer.linesEditable) {
        m_customerLinesEditable = customer.linesEditable;
        emit customerLinesEditableChanged(m_customerLinesEditable);
    }
    emit headChanged();
    emit changed();
    if (customer.counterSaleInstead)
        return typed;
    return std::nullopt;
}

void OpenOrder::setText(Order::Field field, const QString& text)
{
    if (m_order.text(field) == text)
        return;
    m_order.setText(field, text);
    emit headChanged();
    emit changed();
}

void OpenOrder::setCode(CodeRegister which, const QString& code)
{
    setText(codeField(which), code);
}

std::optional<datafiles::Failure> OpenOrder::appendLines(const QList<OrderLine>& lines, const QString& operation)
{
    QList<OrderLine> stored;
    stored.reserve(lines.size());
    for (const OrderLine& line : lines)
        stored.append(lineForBasket(line));
    const BasketAppend appended = appendToBasket(m_data, m_order.text(Order::OrderNumber), stored);
    if (appended.failure)
        return appended.failure->during(operation);
    m_order.appendLines(stored);
    emit linesAppended(stored);
    emit changed();
    if (appended.setAside)
        emit cutRecordSetAside(*appended.setAside);
    return std::nullopt;
}

std::optional<datafiles::Failure> OpenOrder::addLines(const QList<OrderLine>& lines)
{
    for (const OrderLine& line : lines) {
        if (std::optional<LineRefusal> refusal = refusedLineValue(line))
            return refusal->failure;
    }
    return appendLines(lines, addLineOperation);
}

std::optional<datafiles::Failure> OpenOrder::fetchLines(const QList<OrderLine>& lines)
{
    if (lines.isEmpty())
        return std::nullopt;
    return appendLines(lines, QStringLiteral("hämta orderraderna till ordern"));
}

std::optional<datafiles::Failure> OpenOrder::removeLines(const QList<int>& positions)
{
    QList<int> removed;
    for (int position : positions) {
        if (position >= 0 && position < m_order.lines().size())
            removed.append(position);
    }
    std::sort(removed.begin(), removed.end());
    removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
    if (removed.isEmpty())
        return std::nullopt;
    m_order.removeLines(removed);
    emit linesRemoved(removed);
    emit changed();
    return rewriteBasket(m_data, m_order.text(Order::OrderNumber), m_order.lines());
}

std::optional<datafiles::Failure> OpenOrder::startFrom(const Order& printed)
{
    QString number;
    if (std::optional<datafiles::Failure> failure = nextNumber(number))
        return failure;
    const Order order = newOrderFrom(printed, m_order, number, today());
    // The new order's basket holds its lines from the start, in place of any
    // left by an earlier order that was given the same number but not printed.
    if (std::optional<datafiles::Failure> failure = rewriteBasket(m_data, number, order.lines()))
        return failure;
    replace(order);
    return std::nullopt;
}

std::optional<datafiles::Failure> OpenOrder::recordNumber()
{
    return recordOrderNumber(m_data, m_order.text(Order::OrderNumber));
}

void OpenOrder::replace(const Order& order)
{
    m_order = order;
    emit orderReplaced();
    emit headChanged();
    emit changed();
}

void OpenOrder::replaceForTesting(const Order& order)
{
    replace(order);
}

} // namespace core
