#pragma once

class QLineEdit;

// What a box takes from typing, counted in characters: QLineEdit's own limit counts
// UTF-16 units, so it splits an emoji, and it cuts a longer value the program puts
// in, which the user never typed. A value shown is shown whole; typing may not make
// it longer than the limit, or longer than it already is.
namespace CharacterLimit {

void apply(QLineEdit *box, int limit);
// The box's limit; 0 when it has none.
int of(const QLineEdit *box);

} // namespace CharacterLimit
