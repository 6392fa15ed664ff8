#pragma once
// One value in the text form of a server's bulk copy: "\N" for null, the
// rest as the server reads its input, with tab, line ends and backslash
// escaped.
#include <QByteArray>
#include <QVariant>

void AggiungiValoreCopia(QByteArray& riga, const QVariant& valore);
