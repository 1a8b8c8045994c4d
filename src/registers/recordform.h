#pragma once

#include "order/textrules.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPushButton;
class TextBox;

// The form in which the operator types one record of a register: a customer,
// a product or a code. It is given the fields and their texts, and on "Spara"
// (Enter) hands the texts to `save`, which checks and writes them and tells
// the operator why it could not; the form closes when they were saved.
// Escape is "Avbryt".
class RecordForm : public QDialog
{
    Q_OBJECT

public:
    struct Field
    {
        QString caption; // with its access key: "&Kundnr"
        const char* name;
        int typingLimit = 0;
        core::Tab tab = core::Tab::Refused;
    };
    using Save = std::function<bool(const QStringList& texts)>;

    RecordForm(QWidget* parent, const QString& title, const QList<Field>& fields, const QStringList& texts,
               int focusField, Save save);

    TextBox* field(int i) const { return m_boxes.at(i); }
    QStringList texts() const;
    QPushButton* cmdSpara() const { return m_cmdSpara; }

public slots:
    void cmdSpara_Click();

private:
    QList<TextBox*> m_boxes;
    QPushButton* m_cmdSpara = nullptr;
    QPushButton* m_cmdAvbryt = nullptr;
    Save m_save;
};
