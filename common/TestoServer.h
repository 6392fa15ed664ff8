#pragma once
// Values in the text forms a PostgreSQL server reads in bulk: a copy's lines
// and arrays of a table's own row type.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// A value that is not null as the server's input functions read it:
// numbers in their shortest exact form, dates ISO, texts UTF-8 (a NUL,
// which a server's text cannot hold, as the symbol for null).
void AggiungiTestoServer(QByteArray& testo, const QVariant& valore);

// One value of a copy's line: "\N" for null, the rest with tab, line ends
// and backslash escaped.
void AggiungiValoreCopia(QByteArray& riga, const QVariant& valore);

// Gathered rows as an array literal of a table's row type, one element per
// row: valori holds posti.size() values per row, and value m goes to column
// posti[m] - parte * colonne of the element (others, and values whose place
// falls outside, stay null).
// UTF-8, as a statement's text value.
QByteArray MatriceRighe(const std::vector<QVariant>& valori, const std::vector<int>& posti, int colonne, int parte);

// Values as a one-dimensional array literal ({"a",NULL,"3"}), and the type
// of its elements: the one the values share (text, bigint, numeric, date,
// timestamp, boolean), empty when they share none. All nulls are texts.
QString MatriceValori(const std::vector<QVariant>& valori);
QString TipoMatrice(const std::vector<QVariant>& valori);

// The text of a statement around its "?" markers (those outside quoted
// texts and names): one part more than there are markers.
QStringList PartiTraSegni(const QString& sql);
