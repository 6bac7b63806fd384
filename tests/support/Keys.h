#pragma once

#include <Qt>
#include <QString>

class QWidget;

// Real key presses on whatever widget has the focus, as a user gives them.
namespace Keys {

QWidget *focused();
// Press and release of one key on the focused widget.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types text character by character on the focused widget; Cyrillic included.
void type(const QString &text);

} // namespace Keys
