#pragma once

#include "order/textrules.h"

#include <QLineEdit>

// A text box of the program's windows. Its typing limit bounds what the
// operator types or pastes, not what the program writes into it: a picker may
// put a two-character code into a one-character box. Characters that the data
// files' code page cannot hold are refused, so nothing changes on its way to
// disk, and so are control characters, by the core's rule (a tab only where
// the box allows one); a typed '"' becomes the inch mark the files can hold (”).
class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    void setTypingLimit(int characters) { m_typingLimit = characters; }
    int typingLimit() const { return m_typingLimit; }
    void setTab(core::Tab tab) { m_tab = tab; }
    core::Tab tab() const { return m_tab; }

    // True while an edit of the operator's (a key, a paste, a drop) is under way.
    bool operatorIsEditing() const { return m_operatorEdits > 0; }
    // The text as it stood before the operator's edit began.
    const QString& textBeforeEdit() const { return m_textBeforeEdit; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class OperatorEdit;

    int m_typingLimit = 0; // 0: no limit
    core::Tab m_tab = core::Tab::Refused;
    int m_operatorEdits = 0;
    QString m_textBeforeEdit;
};
