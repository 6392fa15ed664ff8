#pragma once
// The rows of one statement, held in memory, with the add-new / edit /
// update cycle of a single-table record set. Statements are prepared once and
// reused, so a set re-opened for every line of a load costs only the binding.
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

    void Apri(const QString& sqlJet, const QVariantList& valori);
    bool Vuoto() const { return m_righe.empty(); }
    bool Fine() const { return m_posizione >= static_cast<int>(m_righe.size()); }
    int NumeroRighe() const { return static_cast<int>(m_righe.size()); }
    int Posizione() const { return m_posizione; }
    void Successivo();
    void Posiziona(int riga);  // 0-based; past the end means the end

    const QStringList& Colonne() const { return Corrente().colonne; }
    int IndiceColonna(const QString& colonna) const;  // -1 when missing
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
    void Aggiorna();
    // Deletes the current row from its table; the next row becomes current.
    void Elimina();

private:
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
    };

    Lettura& Prepara(const QString& sqlJet);
    // The statement the set was last opened with (an empty one before that).
    const Lettura& Corrente() const;
    Comando& Prepara(QHash<QByteArray, std::shared_ptr<Comando>>& cache, const QString& sql);
    void NuoviValori();
    void Inserisci();
    const QString& InizioInserimento();
    void EseguiScrittura(Comando& comando, int riga);
    void Cambia();

    DatabaseLink& m_db;
    QHash<QString, std::shared_ptr<Lettura>> m_letture;  // by Jet text
    Lettura* m_corrente = nullptr;
    std::vector<std::vector<QVariant>> m_righe;
    int m_posizione = 0;
    Stato m_stato = Stato::Nessuno;
    std::vector<QVariant> m_nuovi;
    QByteArray m_impostati;  // '1' for every column set
};
