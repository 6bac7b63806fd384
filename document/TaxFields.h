#pragma once

#include <QList>
#include <QString>

// The tax details of a payment order, fields 101, 104 to 110 and 22, as data: one
// row per item of the field chooser, level with its edit box.

struct TaxField
{
    const char *caption;  // item of the chooser l3
    const char *box;      // the panel's edit box
    const char *column;   // document column it edits
    const char *codeList; // N_PARAM list key picked from under control; nullptr when typed only
    const char *nameBox;  // shows the code's NAME; nullptr when none
    int boxWidth;         // design pixels
    bool selectsItem;     // entering the box selects its chooser item
};

const QList<TaxField> &taxFields();

inline constexpr int TaxStatusItem = 0;
inline constexpr int TaxBasisItem = 3;
inline constexpr int TaxPeriodItem = 4;
inline constexpr int TaxDocumentNumberItem = 5;
inline constexpr int TaxTypeItem = 7;
inline constexpr int TaxAccrualIdItem = 8;
// The default of basis and type, and the basis that needs no period, number or date.
inline constexpr const char *TaxNoValue = "0";

// Field 22: "0", or the accrual's identifier of 20 or 25 digits, not all zeros.
bool IsAccrualId(const QString &text);
inline constexpr const char *AccrualIdMessage = "УИН: 0 или 20/25 цифр";

// What Enter on a chooser item leads to.
struct TaxStep
{
    enum Kind {
        FocusBox,     // the item's edit box, where the value is typed
        OpenPicker,   // the code picker over the item's list
        OpenComposer, // the period lists
        ActOnItem,    // Enter on another item
    };
    Kind kind;
    int item;
    bool operator==(const TaxStep &other) const { return kind == other.kind && item == other.item; }
};

// Enter on a chooser item, given the document's basis and the user's control
// setting P3. Item 4 follows the period rule.
TaxStep taxChooserStep(int item, const QString &basis, bool control);
