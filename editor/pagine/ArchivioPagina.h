#pragma once
// The rows of one table as a page sees them, without any window: find by a
// condition, move by key order, insert, change, delete, copy. Rows travel as
// column name -> value maps.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>

class DatabaseLink;

struct ColonnaChiave {
    QString nome;
    int tipo;  // TipiDato code
};

class ArchivioPagina {
public:
    enum class Verso { Primo, Precedente, Successivo, Ultimo };

    ArchivioPagina(DatabaseLink& db, QString tabella, QList<ColonnaChiave> chiave);

    const QString& Tabella() const { return m_tabella; }
    // First row, in key order, that meets the condition (Jet; empty: any).
    std::optional<QVariantMap> Cerca(const QString& where);
    std::optional<QVariantMap> Leggi(const QStringList& chiave) { return Cerca(WhereChiave(chiave)); }
    // First or last row, or the row before / after the given key.
    std::optional<QVariantMap> Vicino(Verso verso, const QStringList& chiave = {});
    // Inserts (chiaveVecchia empty) or changes the row; raises ErroreRun.
    void Scrivi(const QStringList& chiaveVecchia, const QVariantMap& valori);
    void Cancella(const QStringList& chiave);
    // "Codice = 'X' and ..." for a key.
    QString WhereChiave(const QStringList& chiave) const;

private:
    std::optional<QVariantMap> Cerca(const QString& where, bool discendente);
    QString OrdineChiave(bool discendente) const;
    QString Letterale(int colonna, const QString& valore) const;

    DatabaseLink& m_db;
    QString m_tabella;
    QList<ColonnaChiave> m_chiave;
};

// Copies every row of sqlOrigine (a "Select * from T where ..." of one table)
// as new rows of the same table, with the given columns replaced. Returns the
// number of rows copied; raises ErroreRun.
int CopiaRighe(DatabaseLink& db, const QString& sqlOrigine, const QVariantMap& sostituzioni);

// One transaction for a page operation: confirmed by Conferma, undone when
// it goes out of scope without.
class TransazioneUnica {
public:
    explicit TransazioneUnica(DatabaseLink& db);
    ~TransazioneUnica();
    TransazioneUnica(const TransazioneUnica&) = delete;
    TransazioneUnica& operator=(const TransazioneUnica&) = delete;
    void Conferma();

private:
    DatabaseLink& m_db;
    bool m_propria;  // false inside a transaction begun by someone else
    bool m_confermata = false;
};
