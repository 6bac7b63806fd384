#pragma once

#include <QList>
#include <QRect>

// The editor page laid out like the paper form, as data: every caption, box,
// memo and bar at its place on a page designed 800 by 600 pixels.

enum class FormKind {
    Caption,   // fixed text
    Box,       // one-line box over a column of the document
    Memo,      // several lines over a column of the document
    Message,   // the red look-up message label
    Bar,       // the grey bar between payer and recipient
    Help,      // the help memo at the foot of the page
};

enum class BoxUse {
    Flow,      // in the keyboard flow
    MouseOnly, // editable, but not reached with the keys
    ReadOnly,  // shows a column
    Disabled,
    Opener,    // shows a name; entering it opens its pick list
};

struct FormElement
{
    FormKind kind;
    const char *name;   // objectName; captions have none
    const char *text;   // caption text, or the document column (nal, vid: looked-up names)
    QRect rect;         // design pixels; a height of 0 takes the kind's usual one
    int limit = 0;      // characters a box takes; 0: as its column
    BoxUse use = BoxUse::Flow;
    bool borderless = false;
};

const QList<FormElement> &editorForm();
const FormElement *formElement(const char *name);

inline constexpr int EditorDesignWidth = 800;
inline constexpr int EditorDesignHeight = 600;
// Usual heights of a box with a frame, a borderless line and a caption.
inline constexpr int BoxHeight = 23;
inline constexpr int LineHeight = 20;

// The two lines of the help memo Memo4.
const QStringList &editorHelpLines();
