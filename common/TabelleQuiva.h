#pragma once
// The tables of the load definitions and of the error log, created when the
// company database does not hold them yet. Tables made by other tools are
// used as they are.
class DatabaseLink;

void CreaTabelleQuiva(DatabaseLink& db);
