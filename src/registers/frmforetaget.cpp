#include "frmforetaget.h"

#include "datafiles/textfile.h"
#include "order/company.h"
#include "printing/orderdocument.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/textbox.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Box
{
    const char* caption;
    const char* name;
    QString core::Company::*value;
};

const Box boxes[] = {
    { "&Namn", "txtNamn", &core::Company::name },
    { "&Adress", "txtAdress", &core::Company::address },
    { "&Postadress", "txtPostadress", &core::Company::postalAddress },
    { "&Telefon", "txtTelefon", &core::Company::phone },
    { "&E-post", "txtEpost", &core::Company::email },
    { "&Organisationsnummer", "txtOrgNr", &core::Company::organisationNumber },
    { "&Momsregistreringsnummer", "txtMomsRegNr", &core::Company::vatNumber },
    { "&Bankgiro", "txtBankgiro", &core::Company::bankgiro },
    { "P&lusgiro", "txtPlusgiro", &core::Company::plusgiro },
};

} // namespace

FrmForetaget* FrmForetaget::open(const datafiles::DataDirectory& data, QWidget* parent)
{
    auto* window = new FrmForetaget(data, parent);
    if (!window->readDetails()) {
        delete window;
        return nullptr;
    }
    return window;
}

FrmForetaget::FrmForetaget(datafiles::DataDirectory data, QWidget* parent)
    : QWidget(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , m_data(std::move(data))
{
    setObjectName(QStringLiteral("frmForetaget"));
    setWindowTitle(QStringLiteral("Företaget"));
    setFont(look::sansSerif(8.25, false));

    auto* form = new QFormLayout;
    for (const Box& b : boxes) {
        auto* box = new TextBox(this);
        box->setObjectName(QLatin1String(b.name));
        box->setMinimumWidth(320);
        auto* label = new QLabel(QString::fromUtf8(b.caption), this);
        label->setBuddy(box);
        form->addRow(label, box);
        m_boxes.append(box);
    }
    m_chkFskatt = new QCheckBox(QStringLiteral("Godkänd för &F-skatt"), this);
    m_chkFskatt->setObjectName(QStringLiteral("chkFskatt"));
    form->addRow(QString(), m_chkFskatt);

    m_txtNastaOrderNr = new TextBox(this);
    m_txtNastaOrderNr->setObjectName(QStringLiteral("txtNastaOrderNr"));
    m_txtNastaOrderNr->setPlaceholderText(QStringLiteral("tomt: som förut"));
    auto* nextLabel = new QLabel(QStringLiteral("Nästa orde&rnummer"), this);
    nextLabel->setBuddy(m_txtNastaOrderNr);
    form->addRow(nextLabel, m_txtNastaOrderNr);
    connect(m_txtNastaOrderNr, &QLineEdit::returnPressed, this, &FrmForetaget::cmdSpara_Click);

    m_lblLogga = new QLabel(this);
    m_lblLogga->setObjectName(QStringLiteral("lblLogga"));
    m_lblLogga->setFixedSize(printing::logoBox);
    m_lblLogga->setFrameShape(QFrame::Box);
    m_lblLogga->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cmdLogga = new QPushButton(QStringLiteral("Välj logot&yp…"), this);
    m_cmdLogga->setObjectName(QStringLiteral("cmdLogga"));
    auto* logo = new QHBoxLayout;
    logo->addWidget(m_lblLogga);
    logo->addWidget(m_cmdLogga, 0, Qt::AlignBottom);
    logo->addStretch(1);
    form->addRow(QStringLiteral("Logotyp"), logo);

    m_cmdSpara = new QPushButton(QStringLiteral("&Spara"), this);
    m_cmdSpara->setObjectName(QStringLiteral("cmdSpara"));
    m_cmdSpara->setDefault(true);
    m_cmdStang = new QPushButton(QStringLiteral("Stän&g"), this);
    m_cmdStang->setObjectName(QStringLiteral("cmdStang"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_cmdSpara, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cmdStang, QDialogButtonBox::RejectRole);
    connect(m_cmdLogga, &QPushButton::clicked, this, &FrmForetaget::cmdLogga_Click);
    connect(m_cmdSpara, &QPushButton::clicked, this, &FrmForetaget::cmdSpara_Click);
    connect(m_cmdStang, &QPushButton::clicked, this, &FrmForetaget::cmdStang_Click);
    closeOnEscape(this, &FrmForetaget::cmdStang_Click);
    // Enter in a box saves, as "Spara" is the default.
    for (TextBox* box : m_boxes)
        connect(box, &QLineEdit::returnPressed, this, &FrmForetaget::cmdSpara_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Uppgifterna står på följesedeln, i e-postens hälsning, överst i "
                                                "orderexporten och i säkerhetskopians namn."),
                                 this));
    layout->addWidget(buttons);
    m_boxes.first()->setFocus();
    setFixedSize(sizeHint());
    look::placeOnScreen(*this, size());
}

bool FrmForetaget::readDetails()
{
    const core::CompanyRead read = core::readCompany(m_data);
    if (read.failure) {
        MessageBox::reportFailure(parentWidget(), *read.failure);
        return false;
    }
    m_records = read.records;
    showCompany(read.company);
    m_chosenLogo.clear();
    // The logo in the data folder is read as every data file is: never through a link.
    const datafiles::ReadResult logo = datafiles::readWholeFile(m_data.logoImage());
    showLogo(logo.ok() ? QImage::fromData(logo.bytes) : QImage());
    return true;
}

void FrmForetaget::showCompany(const core::Company& company)
{
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        m_boxes.at(i)->setText(company.*boxes[i].value);
    m_chkFskatt->setChecked(company.fTax);
}

void FrmForetaget::showLogo(const QImage& logo)
{
    m_lblLogga->setPixmap(QPixmap::fromImage(logo));
}

TextBox* FrmForetaget::box(const char* objectName) const
{
    return findChild<TextBox*>(QLatin1String(objectName));
}

void FrmForetaget::cmdLogga_Click()
{
    const QString path = FileDialog::openFile(this, QStringLiteral("Välj logotyp"), QDir::homePath(),
                                              QStringLiteral("Bilder (*.png *.jpg *.jpeg *.gif)"));
    if (path.isEmpty())
        return;
    const datafiles::ReadResult bytes = datafiles::readChosenFile(path);
    if (!bytes.ok()) {
        MessageBox::reportFailure(this, bytes.failure->during(QStringLiteral("läsa logotypen")));
        return;
    }
    QBuffer buffer;
    buffer.setData(bytes.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage chosen = reader.read();
    if (chosen.isNull()) {
        MessageBox::reportFailure(
            this, QStringLiteral("läsa logotypen"), QDir::toNativeSeparators(path),
            QStringLiteral("filen är ingen PNG-, JPEG- eller GIF-bild (%1)").arg(reader.errorString()));
        return;
    }
    const QImage logo = printing::logoForBox(chosen);
    QBuffer png(&m_chosenLogo);
    png.open(QIODevice::WriteOnly);
    logo.save(&png, "PNG");
    showLogo(logo);
}

void FrmForetaget::cmdSpara_Click()
{
    core::Company typed;
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        typed.*boxes[i].value = m_boxes.at(i)->text();
    typed.fTax = m_chkFskatt->isChecked();
    const core::RegisterSaved saved = core::saveCompany(m_data, m_records, typed);
    if (saved.failure) {
        MessageBox::reportFailure(this, *saved.failure);
        if (saved.failure->is(datafiles::FailureKind::ChangedSinceRead))
            readDetails();
        return;
    }
    m_records = saved.records;
    if (!m_txtNastaOrderNr->text().trimmed().isEmpty()) {
        if (const std::optional<datafiles::Failure> failure
            = core::setNextOrderNumber(m_data, m_txtNastaOrderNr->text())) {
            MessageBox::reportFailure(this, *failure);
            m_txtNastaOrderNr->setFocus();
            return;
        }
        m_txtNastaOrderNr->clear();
    }
    if (!m_chosenLogo.isEmpty()) {
        if (const std::optional<datafiles::Failure> failure = core::saveLogo(m_data, m_chosenLogo)) {
            MessageBox::reportFailure(this, *failure);
            return;
        }
    }
    close();
}

void FrmForetaget::cmdStang_Click()
{
    close();
}
