#pragma once

#include "order.h"
#include "registers.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>

#include <functional>
#include <optional>

namespace core {

// The order on the desk: the one order the operator is entering. It owns the
// order, the data folder it is filed in, the wording of its codes and the
// desk's clock, which dates new orders and every change the desk makes.
// Every change to it goes through here, and the call that makes a change also
// writes the file that change needs: a line added reaches the order's basket
// before it shows. The order window edits the order through it and shows what
// it signals; no window writes an order file.
class OpenOrder : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // A fresh desk's order: number "1", nothing else, until the desk starts
    // it as "Ny" does. The desk tells the time by `now`, the system's clock
    // when none is given.
    explicit OpenOrder(datafiles::DataDirectory data, Clock now = {}, QObject* parent = nullptr);
    // Lets go of the claim on the number of an order that was not printed.
    ~OpenOrder() override;
    // The claim went with its folder (a restore put another in its place):
    // there is nothing to let go of.
    void forgetClaim() { m_claim.clear(); }

    const Order& order() const { return m_order; }
    const datafiles::DataDirectory& data() const { return m_data; }
    // The desk's clock, for the windows that date what they do by it.
    const Clock& clock() const { return m_now; }
    QDate today() const { return m_now().date(); }
    // The codes' wording as the registers hold them now, for the printed order.
    const CodeWording& currentWording();
    // The customer lines may be edited until a lookup finds a customer other
    // than the counter-sale customer "1".
    bool customerLinesEditable() const { return m_customerLinesEditable; }

    // "Ny": the next order number, claimed for this desk, today's dates and
    // the standing codes. A registration left unfinished is completed first;
    // where it cannot be, its number still counts as used. The customer and
    // the lines stay, and the lines are written to the new order's basket.
    std::optional<datafiles::Failure> startNew();
    // Whether the order on the desk is in the order list already: printing it
    // again would list its number twice.
    bool isRegistered() const;
    // The customer of the number in the customer-number box, from its file.
    // The number typed, when it named no customer and the counter-sale
    // customer came in its place.
    std::optional<QString> lookUpCustomer();
    // A head text as the operator typed it.
    void setText(Order::Field field, const QString& text);
    // A code chosen from its register.
    void setCode(CodeRegister which, const QString& code);
    // Lines from the product picker: added to the basket, then to the order.
    // Nothing is added when the basket cannot be written, or when a line's
    // values are refused (refusedLineValue).
    std::optional<datafiles::Failure> addLines(const QList<OrderLine>& lines);
    // A printed order's lines fetched with "Hämta underlag": kept in the
    // order's basket as lines from the picker are, so that the order's archive
    // holds every line its paper shows.
    std::optional<datafiles::Failure> fetchLines(const QList<OrderLine>& lines);
    // Removes the lines at these positions and rewrites the basket with the
    // lines left. The lines stay removed when the basket cannot be written.
    std::optional<datafiles::Failure> removeLines(const QList<int>& positions);
    // "Ny order från denna": a new order as "Ny" starts one, holding the
    // printed order's customer, codes and lines, its basket written.
    std::optional<datafiles::Failure> startFrom(const Order& printed);
    // Records the order's number as the last one used (the F9 legend).
    std::optional<datafiles::Failure> recordNumber();

    // Puts an order on the desk as it stands, writing nothing: for tests that
    // begin with an order already entered.
    void replaceForTesting(const Order& order);

signals:
    // One or more head texts changed.
    void headChanged();
    void customerLinesEditableChanged(bool editable);
    // Lines were added at the end.
    void linesAppended(const QList<core::OrderLine>& lines);
    // The lines at these positions (ascending) were removed.
    void linesRemoved(const QList<int>& positions);
    // The order was replaced whole.
    void orderReplaced();
    // Anything of the order changed.
    void changed();
    // A basket that ended inside a record was cut back to its whole records
    // before lines were added: what to tell the operator.
    void cutRecordSetAside(const datafiles::Failure& report);

private:
    std::optional<datafiles::Failure> appendLines(const QList<OrderLine>& lines, const QString& operation);
    void replace(const Order& order);
    std::optional<datafiles::Failure> nextNumber(QString& number);

    datafiles::DataDirectory m_data;
    Clock m_now;
    Order m_order;
    CodeWording m_wording;
    bool m_customerLinesEditable = true;
    QString m_claim; // the number this desk claimed for the order, until the desk closes
};

} // namespace core
