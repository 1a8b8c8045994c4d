#include "frmkodregister.h"

#include "recordform.h"

#include "datafiles/textfile.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/reporttableview.h"
#include "widgets/twips.h"

#include <QLabel>

namespace {

const char* objectNameOf(core::CodeRegister which)
{
    static const char* const names[] = { "frmBetkRegister", "frmLevSRegister", "frmFrktsRegister" };
    return names[size_t(which)];
}

// "Betalningsvillkor": what the register holds, as the window's title.
QString titleOf(core::CodeRegister which)
{
    QString title = core::codeRegisterName(which);
    title[0] = title[0].toUpper();
    return title;
}

// The code "Ny" puts into every new order.
const QString standingCode = QStringLiteral("0");

} // namespace

FrmKodregister* FrmKodregister::open(const datafiles::DataDirectory& data, Register which, QWidget* parent)
{
    return listing(new FrmKodregister(data, which), parent);
}

FrmKodregister::FrmKodregister(datafiles::DataDirectory data, Register which)
    : RegisterWindow({ objectNameOf(which), titleOf(which), titleOf(which), QStringLiteral("&Ny"), false,
                       QStringLiteral("rad"), titleOf(which), QStringLiteral("Raden kan inte sparas: %1.") })
    , m_data(std::move(data))
    , m_which(which)
{
    m_codesShown = new ReportModel({ { QStringLiteral("ID"), 800 }, { QStringLiteral("Beskrivning"), 4000 } }, this);
    m_list->setModel(m_codesShown);
    m_list->setDesignWidths({ 800, 4000 });
    watch({ core::registerFile(m_data, m_which) });
    resize(twipsToPixels(7200), twipsToPixels(4695));
    look::placeOnScreen(*this, size());
}

RegisterWindow::Emptied FrmKodregister::emptied() const
{
    return { m_codes.recordCount(), titleOf(m_which), QStringLiteral("rader"),
             datafiles::isFile(core::keptBeforeEmptying(core::registerFile(m_data, m_which))) };
}

std::optional<datafiles::Failure> FrmKodregister::emptyRegister()
{
    return core::emptyRegister(m_data, core::registerFile(m_data, m_which), m_codes, titleOf(m_which)).failure;
}

std::optional<datafiles::Failure> FrmKodregister::undoEmptying()
{
    return core::undoEmptying(m_data, core::registerFile(m_data, m_which), titleOf(m_which));
}

RegisterWindow::Reading FrmKodregister::readRegister()
{
    core::RecordsRead read = core::readCodes(m_data, m_which, core::WhenMissing::IsEmpty);
    if (!read.failure)
        showCodes(std::move(read.records));
    if (read.cutShort)
        read.cutShort = core::cutRecordWillBeDropped(*read.cutShort);
    return { read.failure, read.cutShort };
}

void FrmKodregister::showCodes(datafiles::RecordTable codes)
{
    m_codes = std::move(codes);
    m_codesShown->clear();
    QList<QStringList> rows;
    for (qsizetype r = 0; r < m_codes.recordCount(); ++r)
        rows.append(m_codes.record(r));
    m_codesShown->appendRows(rows);
}

void FrmKodregister::cmdNy_Click()
{
    openForm(-1);
}

void FrmKodregister::cmdAndra_Click()
{
    const int row = rowToWorkOn();
    if (row >= 0)
        openForm(row);
}

void FrmKodregister::openForm(int row)
{
    const QList<RecordForm::Field> fields { { QStringLiteral("&ID"), "txtID", 1, core::codeFieldTab(0) },
                                            { QStringLiteral("&Beskrivning"), "txtBeskrivning", 0,
                                              core::codeFieldTab(1) } };
    const QStringList texts = row < 0 ? QStringList() : m_codes.record(row);
    auto* form = new RecordForm(this, recordTitle(), fields, texts, row < 0 ? 0 : 1,
                                [this, row](const QStringList& typed) { return save(typed, row); });
    form->setObjectName(QStringLiteral("frmKod"));
    showForm(form);
}

bool FrmKodregister::save(const QStringList& texts, int row)
{
    if (!listSaved(core::saveCode(m_data, m_which, m_codes, row, texts)))
        return false;
    chooseRow(row < 0 ? int(m_codes.recordCount()) - 1 : row);
    return true;
}

bool FrmKodregister::listSaved(core::RegisterSaved saved)
{
    if (saved.failure) {
        tellNotSaved(*saved.failure);
        return false;
    }
    showCodes(std::move(saved.records));
    markWritten();
    return true;
}

void FrmKodregister::cmdTaBort_Click()
{
    const int row = rowToWorkOn();
    if (row < 0)
        return;
    const QStringList texts = m_codes.record(row);
    QString question = QStringLiteral("Ta bort %1, %2?").arg(texts.at(0), texts.at(1));
    if (texts.at(0) == standingCode)
        question = QStringLiteral("Koden 0 är den som \"Ny\" sätter i varje ny order. Utan den i registret visar "
                                  "väljaren ingen rad för en ny order.\r\n\r\n")
            + question;
    if (!MessageBox::ask(this, QStringLiteral("Ta bort rad"), question))
        return;
    if (listSaved(core::removeCode(m_data, m_which, m_codes, row)))
        chooseRow(std::min(row, int(m_codes.recordCount()) - 1));
}
