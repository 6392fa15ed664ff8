#pragma once
// Turns the Jet statements that definitions and screens store into SQL that
// the database engine behind the connection understands.
#include <QString>

enum class DialettoDb;

QString TraduciJet(const QString& sql, DialettoDb dialetto);
