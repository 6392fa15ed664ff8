#pragma once
// The Jet functions that stored statements use, made available on an SQLite
// connection: IIf, IsNull, Val, Mid, Left, Right, Len, IsNumeric, Trim,
// UCase, LCase, and "like" with Jet patterns.
struct sqlite3;

void RegistraFunzioniJet(sqlite3* db);
