#include "textbox.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"

#include <QValidator>

namespace {

class OperatorInputValidator : public QValidator
{
public:
    explicit OperatorInputValidator(TextBox* box)
        : QValidator(box)
        , m_box(box)
    {
    }

    State validate(QString& input, int& pos) const override
    {
        if (!m_box->operatorIsEditing())
            return Acceptable;

        if (input.contains(u'"'))
            input = datafiles::withStoredInchMarks(input);
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (!datafiles::fitsIn1252(input.at(i)) || core::isRefusedControl(input.at(i), m_box->tab())) {
                input.remove(i, 1);
                if (i < pos)
                    --pos;
            }
        }

        // Only what was just added is cut: a longer text that the program put in
        // stays, and the operator can still delete from it.
        const int limit = m_box->typingLimit();
        const qsizetype allowed = qMax<qsizetype>(limit, m_box->textBeforeEdit().size());
        if (limit > 0 && input.size() > allowed) {
            const qsizetype excess = input.size() - allowed;
            const qsizetype from = qMax<qsizetype>(0, pos - excess);
            input.remove(from, pos - from);
            pos = int(from);
            if (input.size() > allowed)
                input.truncate(allowed);
        }
        return Acceptable;
    }

private:
    TextBox* m_box;
};

} // namespace

class TextBox::OperatorEdit
{
public:
    explicit OperatorEdit(TextBox* box)
        : m_box(box)
    {
        if (m_box->m_operatorEdits++ == 0)
            m_box->m_textBeforeEdit = m_box->text();
    }
    ~OperatorEdit() { --m_box->m_operatorEdits; }

private:
    TextBox* m_box;
};

TextBox::TextBox(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new OperatorInputValidator(this));
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    OperatorEdit edit(this);
    QLineEdit::keyPressEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent* event)
{
    OperatorEdit edit(this);
    QLineEdit::inputMethodEvent(event);
}

void TextBox::dropEvent(QDropEvent* event)
{
    OperatorEdit edit(this);
    QLineEdit::dropEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent* event)
{
    OperatorEdit edit(this); // the middle button pastes the selection
    QLineEdit::mouseReleaseEvent(event);
}

void TextBox::contextMenuEvent(QContextMenuEvent* event)
{
    OperatorEdit edit(this); // "Klistra in" from the box's own menu
    QLineEdit::contextMenuEvent(event);
}
