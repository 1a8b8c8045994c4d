#pragma once

#include <QString>

class QLabel;
class QWidget;

// What a screen reader says for the controls of a window. Every control that
// takes the focus gets a name: a blind operator hears "Leveransdatum", not
// "text".
namespace accessible {

// Ties a caption to the control beside it: the control is called by the
// caption's words, without its colon, and a screen reader knows the two belong
// together.
void label(QLabel* caption, QWidget* control, const QString& description = {});

// Names a control whose caption is missing, abbreviated or not its name alone
// ("Kundens namn", "Leveransdatum" for "Levdat:"). The description says what
// the control takes, for a code box which key chooses it from its register.
void name(QWidget* control, const QString& name, const QString& description = {}, QLabel* caption = nullptr);

} // namespace accessible
