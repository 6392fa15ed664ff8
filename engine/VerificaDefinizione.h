#pragma once
// The check of a load definition once LeggiTracciato has read it: its target
// tables and columns exist, its type names are known, its positions and
// separator can locate fields. A load makes it before it deletes or writes
// anything and stops when it finds a problem; a screen can make it to show a
// definition's problems. Every problem names the row it concerns.
#include <QString>
#include <vector>

class DatabaseLink;
class ScQuiva;

struct ProblemaDefinizione {
    enum class Genere {
        SenzaTabella,         // the definition names no target table
        TabellaInesistente,   // a target table is not in the database
        CodiceSenzaTabella,   // a field's table code names a slot without a table
        ColonnaInesistente,   // a field's column is not in its table
        TipoSconosciuto,      // TipoOrig or TipoDest is not a type name
        PosizioneNonValida,   // fixed width: Inizio below 1 or Lunghezza below 0
        SenzaSeparatore,      // delimited lines without a usable separator
        UnioneNonCaricabile,  // a name joining columns with "|" that takes a value
        // What the editor's check adds (VerificaEditor):
        SenzaChiave,        // a slot looked up by key has no key field
        ColonnaDoppia,      // two fields write the same column
        Sovrapposti,        // fixed width: two fields read overlapping spans
        OltreLaRiga,        // fixed width: a field reaches past the longest line of the file
        SenzaOrigine,       // a field with no place in the line and no default
        DecodificaOrfana,   // a decode row for a field the definition lacks
        RichiestaSenzaNome, // a prompted default ("§") without a description
    };
    Genere genere;
    int slot = 0;       // the target table (1..5) it concerns, 0 for none
    int campo = -1;     // the field row: its place in ScQuiva::Campi(); -1 for the header
    QString nomeCampo;  // that row's NomeCampo as stored
    QString testo;      // the problem in Italian, naming the row
};

// Reads the database's schema; raises ErroreRun when the database cannot be
// read. Empty when the definition can be loaded.
std::vector<ProblemaDefinizione> VerificaDefinizione(const ScQuiva& motore, DatabaseLink& db);

// The one message that stops a load: the definition, then a line per problem.
QString MessaggioVerifica(const QString& codice, const std::vector<ProblemaDefinizione>& problemi);
