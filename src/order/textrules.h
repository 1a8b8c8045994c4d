#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// What a text the operator types or an import brings may hold, for every text
// box and every import alike: no control character. Such a character shows
// as nothing on screen and on paper, ends a name on disk (NUL), or parts the
// fields of a spreadsheet file.
namespace core {

// A register's descriptive text (a product's Benämning, a code's Beskrivning)
// may hold a tab: the register keeps it within its quotes, as a pasted table
// cell may bring it. Every other text refuses it with the other controls.
enum class Tab { Refused, Allowed };

bool isRefusedControl(QChar c, Tab tab = Tab::Refused);

// Why the text cannot be kept for a control character in it; empty when it
// can.
QString controlCharacterProblem(QStringView text, Tab tab = Tab::Refused);

} // namespace core
