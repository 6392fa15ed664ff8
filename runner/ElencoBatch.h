#pragma once
// The definitions that take part in unattended runs.
#include <QStringList>

class DatabaseLink;

// Codes of the definitions marked Batch = "S", in code order.
QStringList CodiciBatch(DatabaseLink& db);
