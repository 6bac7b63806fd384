#pragma once

#include "widgets/DirectoryModel.h"

#include <array>

struct DirectoryBox
{
    const char *name;
    const char *column;
    const char *caption; // empty: none beside the box
    int maxLength;
};

// Everything that tells the payer directory from the recipient directory.
struct DirectoryForm
{
    const char *panel;
    const char *title;
    const char *table;
    const char *query;
    const char *list;
    QList<DirectoryColumn> columns;
    const char *help;
    const char *editPanel;
    std::array<DirectoryBox, 9> boxes; // in Enter order
    const char *bankLabel;
    const char *errorLabel;
    const char *deleteQuestion;
};

// Positions in DirectoryForm::boxes with a key of their own.
namespace DirectoryBoxes {
inline constexpr int first = 0;
inline constexpr int bik = 3;
inline constexpr int firstName = 4;
inline constexpr int shortName = 8;
} // namespace DirectoryBoxes

const DirectoryForm &payerForm();
const DirectoryForm &recipientForm();
