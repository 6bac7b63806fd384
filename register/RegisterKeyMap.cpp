#include "register/RegisterKeyMap.h"

#include <QList>

namespace {

using C = RegisterCommand;
using M = ModifierCondition;

// First match wins, so the exact conditions stand before Otherwise.
const QList<RegisterKeyBinding> &bindings()
{
    static const QList<RegisterKeyBinding> table = {
        {Qt::Key_Return, M::CtrlAlone, C::View},   {Qt::Key_Enter, M::CtrlAlone, C::View},
        {Qt::Key_Return, M::Otherwise, C::Open},   {Qt::Key_Enter, M::Otherwise, C::Open},
        {Qt::Key_Escape, M::Any, C::Quit},         {Qt::Key_Space, M::Any, C::Mark},
        {Qt::Key_Insert, M::Any, C::NewDocument},  {Qt::Key_F7, M::Any, C::NewDocument},
        {Qt::Key_Delete, M::Any, C::Delete},       {Qt::Key_F8, M::Any, C::Delete},
        {Qt::Key_F1, M::Any, C::Help},             {Qt::Key_F2, M::Any, C::Menu},
        {Qt::Key_F3, M::CtrlAlone, C::Unlock},     {Qt::Key_F3, M::Otherwise, C::Nothing},
        {Qt::Key_F4, M::AltAlone, C::Nothing},     {Qt::Key_F4, M::Otherwise, C::Print},
        {Qt::Key_F5, M::AltAlone, C::SwitchArchive}, {Qt::Key_F5, M::Otherwise, C::Copy},
        {Qt::Key_F6, M::CtrlAlone, C::FindNumber}, {Qt::Key_F6, M::AltAlone, C::FindRecipient},
        {Qt::Key_F6, M::Otherwise, C::FindAmount}, {Qt::Key_F9, M::Any, C::RemoveFilter},
        {Qt::Key_F10, M::Any, C::ClearMarks},      {Qt::Key_F11, M::Any, C::Refresh},
        {Qt::Key_F12, M::Any, C::MoveArchive},
    };
    return table;
}

} // namespace

bool modifiersMatch(ModifierCondition condition, Qt::KeyboardModifiers modifiers)
{
    // The keypad flag tells where a key is, not what is held.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    switch (condition) {
    case M::Any:
    case M::Otherwise:
        return true;
    case M::CtrlAlone:
        return held == Qt::ControlModifier;
    case M::AltAlone:
        return held == Qt::AltModifier;
    }
    return false;
}

std::optional<RegisterCommand> registerCommandFor(int key, Qt::KeyboardModifiers modifiers)
{
    for (const RegisterKeyBinding &b : bindings())
        if (b.key == key && modifiersMatch(b.condition, modifiers))
            return b.command;
    return std::nullopt;
}
