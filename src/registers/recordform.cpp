#include "recordform.h"

#include "widgets/look.h"
#include "widgets/textbox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

RecordForm::RecordForm(QWidget* parent, const QString& title, const QList<Field>& fields, const QStringList& texts,
                       int focusField, Save save)
    : QDialog(parent)
    , m_save(std::move(save))
{
    setObjectName(QStringLiteral("frmPost"));
    setWindowTitle(title);
    setFont(look::sansSerif(8.25, false));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    auto* form = new QFormLayout;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        auto* box = new TextBox(this);
        box->setObjectName(QLatin1String(fields.at(i).name));
        box->setTypingLimit(fields.at(i).typingLimit);
        box->setTab(fields.at(i).tab);
        box->setText(texts.value(i));
        box->setMinimumWidth(320);
        auto* label = new QLabel(fields.at(i).caption, this);
        label->setBuddy(box);
        form->addRow(label, box);
        m_boxes.append(box);
    }

    m_cmdSpara = new QPushButton(QStringLiteral("&Spara"), this);
    m_cmdSpara->setObjectName(QStringLiteral("cmdSpara"));
    m_cmdSpara->setDefault(true);
    m_cmdAvbryt = new QPushButton(QStringLiteral("Avb&ryt"), this);
    m_cmdAvbryt->setObjectName(QStringLiteral("cmdAvbryt"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_cmdSpara, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cmdAvbryt, QDialogButtonBox::RejectRole);
    connect(m_cmdSpara, &QPushButton::clicked, this, &RecordForm::cmdSpara_Click);
    connect(m_cmdAvbryt, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    for (qsizetype i = 0; i + 1 < m_boxes.size(); ++i)
        setTabOrder(m_boxes.at(i), m_boxes.at(i + 1));
    if (!m_boxes.isEmpty()) {
        setTabOrder(m_boxes.last(), m_cmdSpara);
        setTabOrder(m_cmdSpara, m_cmdAvbryt);
        TextBox* first = m_boxes.value(focusField, m_boxes.first());
        first->setFocus();
        first->selectAll();
    }
    setFixedSize(sizeHint());
    look::placeOnScreen(*this, size());
}

QStringList RecordForm::texts() const
{
    QStringList all;
    for (const TextBox* box : m_boxes)
        all.append(box->text());
    return all;
}

void RecordForm::cmdSpara_Click()
{
    if (m_save(texts()))
        accept();
}
