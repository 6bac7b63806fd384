#pragma once

#include <QList>

class DataSet;

// One of the seven personal settings P0 to P6 of a PARAM row.
struct UserSetting
{
    const char *column;
    const char *caption;     // the entry in lb_param
    bool checkBox;           // ticked means on
    const char *defaultText; // what a new user starts with
};

// The settings in the order of the settings list; control pN sits beside entry N.
const QList<UserSetting> &UserSettings();

// A new user's row in editing: each empty setting takes its default, in order.
void FillNewUserDefaults(DataSet &row);
