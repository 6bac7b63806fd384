#pragma once

#include <QList>
#include <QString>
#include <Qt>

// The editor's keyboard flow as data: one row per field, saying where Enter,
// Down, Up and Esc lead and what work runs on the way.

// Work a key runs before the focus moves; the work may keep the focus where it is.
enum class FieldWork {
    None,
    ConfirmDate,     // read the date, store P2
    WriteKind,       // VID_PLAT from l1
    WriteTaxType,    // NALOG from l2, then the tax details or the simple branch
    FirstAmount,     // check the first amount entry
    ConfirmAmount,   // compare the two entries, store S and PER1
    AccountLookup,   // the recipient's account
    BankLookup,      // the recipient's BIK
    LeaveUnfinished, // Esc in the number field
    LeaveFinished,   // Enter in the operation kind
};

// How a field goes forward by itself once it is full.
enum class AutoAdvance {
    None,
    Digits,   // a digit released with the text at its limit
    TextLine, // a space or a digit released with the text at its limit
    Priority, // a digit pressed while the one character is there
    Amount,   // two characters after the decimal separator
};

// The target "amount" means: the amount entry when the document has no amount
// yet, else the amount box.
inline constexpr const char *MoveToAmount = "amount";

struct FieldStep
{
    FieldWork work = FieldWork::None;
    const char *to = nullptr; // control to focus; nullptr keeps the focus
    bool operator==(const FieldStep &other) const;
};

enum class FieldKey { Enter, Down, Up, Esc };

struct FieldRow
{
    const char *control;
    const char *column; // record column the field edits; nullptr when none
    int limit;          // characters; what auto-advance compares with
    AutoAdvance advance;
    FieldStep enter, down, up, esc;
};

// Every field of the keyboard flow, in the page's order.
const QList<FieldRow> &fieldOrder();
const FieldRow *fieldRow(const QString &control);

// Boxes that never keep the focus: entering one opens its pick list.
const char *pickListOf(const QString &control);

// The key of the flow a key code stands for, if any.
bool fieldKeyOf(int key, FieldKey *out);

// From this field, with this key, what work and where to. A key that has no
// effect gives FieldStep{} (no work, the focus stays).
FieldStep fieldStepFor(const QString &control, FieldKey key);

// Whether a key event fills the field so that it goes forward by itself.
// pressed tells a key press from a release; text is the field's text at that moment.
bool autoAdvances(const FieldRow &row, int key, bool pressed, const QString &text);
