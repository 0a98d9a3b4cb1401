#pragma once

#include "Database.h"

// Creates every table the service keeps, if missing, in the store's own types, and forgets pictures
// no one shows any more. Run inside a write transaction, so that processes starting at once on one
// database take turns.
void createSchema(Connection &db);

// True when the database holds no school yet.
bool schoolIsMissing(Connection &db);

// Removes every row of every table, for a fresh demo school.
void clearAllData(Connection &db);
