#pragma once

#include <Qt>
#include <optional>

enum class RegisterCommand {
    View, Open, Quit, Mark, NewDocument, Delete, Help, Menu, Unlock, Nothing, Print,
    SwitchArchive, Copy, FindNumber, FindRecipient, FindAmount, RemoveFilter, ClearMarks,
    Refresh, MoveArchive,
};

// Which modifiers a binding asks for. CtrlAlone and AltAlone are exact sets:
// Ctrl+Shift is not Ctrl. Otherwise matches whatever is held.
enum class ModifierCondition { Any, CtrlAlone, AltAlone, Otherwise };

struct RegisterKeyBinding
{
    int key;
    ModifierCondition condition;
    RegisterCommand command;
};

// The command of a key in the register grid; none for keys the grid keeps
// (arrows, Page Up, Page Down).
std::optional<RegisterCommand> registerCommandFor(int key, Qt::KeyboardModifiers modifiers);
bool modifiersMatch(ModifierCondition condition, Qt::KeyboardModifiers modifiers);
