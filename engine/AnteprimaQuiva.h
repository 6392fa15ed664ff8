#pragma once
// The preview of a definition: its first lines run through the real load
// path inside a trial transaction that is always rolled back, so the same
// code that loads decides what the preview shows, and nothing stays written.
// The engine tells what it does with each line (OsservatoreRighe); the error
// rows, the table emptying, counters and key look-ups all happen as in a
// load and are undone with the rest. Final queries do not run.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <vector>

struct ContestoQuiva;
class ValueStore;

// What a line does with the row of one target table.
enum class AzioneTabella : quint8 { Nessuna, Inserimento, Variazione };
// "inserimento", "variazione", "nessuna scrittura".
QString TestoAzione(AzioneTabella azione);

struct CampoAnteprima {
    QString nome;        // "Tabella.Colonna"
    int slot = 1;        // 1..5
    int inizio = 0;      // fixed width: first character (1-based), 0 when not a slice of the line
    int lunghezza = 0;
};

// One field of one line: the value it sets in its table's row, if it sets
// one, and whether the line was rejected reading it.
struct ValoreAnteprima {
    QVariant valore;
    bool impostato = false;
    bool errato = false;
};

struct RigaAnteprima {
    long numero = 0;  // in the file
    QString testo;
    std::vector<ValoreAnteprima> valori;  // per field of the definition
    QStringList motivi;            // the line's error rows
    std::array<AzioneTabella, 6> azioni {};  // per slot 1..5
    bool Scartata() const { return !motivi.isEmpty(); }
};

struct EsitoAnteprima {
    int esito = 0;  // 0 run; else the error that stopped reading or loading (the user was told)
    bool fissa = false;
    std::array<QString, 6> tabelle;  // target table of each slot 1..5, empty when unused
    std::vector<CampoAnteprima> campi;
    std::vector<RigaAnteprima> righe;
};

struct OpzioniAnteprima {
    long righe = 20;
    ValueStore* valori = nullptr;  // answers to the prompts; counters start from them
    QString origine;               // another source file than the definition's
};

EsitoAnteprima Anteprima(ContestoQuiva& contesto, const QString& codice, const OpzioniAnteprima& opzioni = {});

// The preview as text for the terminal: one block per line with its
// writes, per table, and the values or the reasons.
QString TestoAnteprima(const QString& codice, const EsitoAnteprima& anteprima);
// A ruler of the given width: "1234567890" digits under a line of tens.
QStringList Righello(int larghezza);
