#pragma once

#include "store/Clock.h"

#include <QDate>

class Database;

// Sample users, payer, recipients and documents, so that a new installation
// has something to show.
namespace DemoData {

struct Options
{
    int documents = 300;  // spread over PL and PL_A
    int years = 1;        // dates run back this many years from `until`
    int archiveEvery = 3; // every n-th document goes to PL_A; 0 keeps all in PL
    QDate until = Clock::today();
    quint32 seed = 1;
};

// Adds the two demo users, the default payer and a few recipients unless they
// are there, then the documents; does nothing to PL and PL_A when PL holds rows.
void add(Database &db, const Options &options);

} // namespace DemoData
