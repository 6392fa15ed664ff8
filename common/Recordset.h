#pragma once
// The rows of one statement, held in memory, with the add-new / edit /
// update cycle of a single-table record set. Statements are prepared once and
// reused, so a set re-opened for every line of a load costs only the binding.
#include "ScrittureRaccolte.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class Comando;
class DatabaseLink;
struct ColonnaSchema;
struct SchemaTabella;

class Recordset {
public:
    enum class Stato { Nessuno, Aggiunta, Modifica };

    explicit Recordset(DatabaseLink& db);
    ~Recordset();

    using Righe = std::vector<std::vector<QVariant>>;

    void Apri(const QString& sqlJet, const QVariantList& valori);
    // Many look-ups of the same statement in one query, for a server: the
    // rows each list of values finds, as Apri would find them at this
    // moment. Empty when the statement cannot be run so (the caller looks
    // up one by one).
    std::vector<Righe> CercaMolti(const QString& sqlJet, const std::vector<QVariantList>& valori);
    // Opens the set on rows that CercaMolti found for this statement.
    void ApriCon(const QString& sqlJet, Righe righe);
    bool Vuoto() const { return m_righe.empty(); }
    bool Fine() const { return m_posizione >= static_cast<int>(m_righe.size()); }
    int NumeroRighe() const { return static_cast<int>(m_righe.size()); }
    int Posizione() const { return m_posizione; }
    void Successivo();
    void Posiziona(int riga);  // 0-based; past the end means the end

    const QStringList& Colonne() const { return Corrente().colonne; }
    int IndiceColonna(const QString& colonna) const;  // -1 when missing
    // Declared shape of a column of the current statement, null when unknown.
    const ColonnaSchema* SchemaColonna(int colonna) const
    {
        const Lettura& l = Corrente();
        return colonna >= 0 && colonna < static_cast<int>(l.schema.size()) ? l.schema[colonna] : nullptr;
    }
    // The first columns hold the row identity (row number or primary key).
    int Identita() const { return static_cast<int>(Corrente().chiave.size()); }
    QVariant Valore(int riga, int colonna) const { return m_righe[riga][colonna]; }
    QVariant Leggi(const QString& colonna) const;
    const QString& Tabella() const { return Corrente().tabella; }

    void AggiungiNuovo();
    void Modifica();
    Stato StatoModifica() const { return m_stato; }
    void Imposta(const QString& colonna, const QVariant& valore);
    // The same by the column's position in Colonne(), for callers that
    // resolved it once.
    void Imposta(int colonna, const QVariant& valore);
    // The same without a copy: valore stays as it is, where it is, until
    // Aggiorna has written it.
    void ImpostaPrestato(int colonna, const QVariant& valore);
    void Aggiorna();
    // Deletes the current row from its table; the next row becomes current.
    void Elimina();

private:
    // A statement whose rows are gathered, and the column each of its
    // markers takes (for a change, -1 - k: the row identity's column k).
    struct Raccolta {
        FormaRighe forma;
        std::vector<int> segni;
    };

    // One prepared statement the set has been opened with.
    struct Lettura {
        std::unique_ptr<Comando> query;
        QString tabella;     // updatable table, empty otherwise
        QStringList chiave;  // identity columns, quoted, read first
        QStringList colonne;
        QHash<QString, int> indice;     // lower-case column name -> index
        QHash<QString, int> nomiUsati;  // column names as callers spell them
        std::shared_ptr<const SchemaTabella> schemaTabella;
        std::vector<const ColonnaSchema*> schema;                 // declared shape per column, null when unknown
        QHash<QByteArray, std::shared_ptr<Comando>> inserimenti;  // by set of columns
        QHash<QByteArray, QString> inizi;                         // "INSERT INTO t (a, b)" by set of columns
        QHash<QByteArray, std::shared_ptr<Comando>> modifiche;
        QString sql;                                     // the statement as the engine runs it
        QHash<QString, std::shared_ptr<Comando>> molti;  // CercaMolti's query by the types of its arrays
        QHash<QByteArray, Raccolta> raccolte;            // gathered statements, by kind and set of columns
    };

    Lettura& Prepara(const QString& sqlJet);
    // Column names and declared shapes, from the first execution of a
    // statement; the first salta columns are not the set's.
    void Descrivi(Lettura& lettura, const Comando& query, int salta);
    // The statement the set was last opened with (an empty one before that).
    const Lettura& Corrente() const;
    Comando& Prepara(QHash<QByteArray, std::shared_ptr<Comando>>& cache, const QString& sql);
    void NuoviValori();
    void Imposta(int colonna, const QVariant& valore, bool prestato);
    void Inserisci();
    const QString& InizioInserimento();
    void EseguiScrittura(Comando& comando, int riga);
    void Cambia();
    // A change gathered with the block's writes; false when it must be
    // written now.
    bool RaccogliModifica();
    const Raccolta* RaccoltaModifica();

    DatabaseLink& m_db;
    QHash<QString, std::shared_ptr<Lettura>> m_letture;  // by Jet text
    Lettura* m_corrente = nullptr;
    std::vector<std::vector<QVariant>> m_righe;
    int m_posizione = 0;
    Stato m_stato = Stato::Nessuno;
    // The value of each column set: one of m_propri, or one lent by the
    // caller (ImpostaPrestato).
    std::vector<const QVariant*> m_nuovi;
    std::vector<QVariant> m_propri;
    std::vector<const QVariant*> m_valoriRiga;  // a gathered row's, reused
    QByteArray m_impostati;                     // '1' for every column set
};
