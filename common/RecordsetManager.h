#pragma once
// Record sets opened by name on the company database. Each user (a screen,
// a load engine object) owns one manager; closing the manager closes every
// record set it still holds.
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

class DatabaseLink;
class Recordset;

class RecordsetManager {
public:
    explicit RecordsetManager(DatabaseLink& db);
    ~RecordsetManager();
    RecordsetManager(const RecordsetManager&) = delete;
    RecordsetManager& operator=(const RecordsetManager&) = delete;

    // Opens an SQL text (Jet dialect) and gives back the record set's name.
    // Optional values bind the "?" markers of the text, in order.
    QString Apri(const QString& sql, const QVariantList& valori = {});
    // The same name now holds the rows of the new text; a pending add-new or
    // edit is discarded.
    void Riapri(const QString& nome, const QString& sql, const QVariantList& valori = {});
    void Chiudi(const QString& nome);  // an unknown name does nothing
    bool Aperto(const QString& nome) const { return m_set.contains(nome); }

    bool Vuoto(const QString& nome) const;
    bool Fine(const QString& nome) const;
    int NumeroRighe(const QString& nome) const;
    int Posizione(const QString& nome) const;  // 0-based
    void Successivo(const QString& nome);

    // Null-safe read: a null gives an empty text.
    QString Leggi(const QString& nome, const QString& colonna) const;
    QVariant LeggiGrezzo(const QString& nome, const QString& colonna) const;

    void AggiungiNuovo(const QString& nome);
    void Modifica(const QString& nome);
    bool InAggiunta(const QString& nome) const;
    // Raises ErroreRun 3265 (no such column) or 3163 (value too long).
    void Imposta(const QString& nome, const QString& colonna, const QVariant& valore);
    // Saves the row being added or changed; raises 3022 on a duplicate key.
    void Aggiorna(const QString& nome);

    Recordset& Oggetto(const QString& nome) const;

private:
    DatabaseLink& m_db;
    QHash<QString, std::shared_ptr<Recordset>> m_set;
    int m_progressivo = 0;
};

// A named record set that closes itself when it goes out of scope, also
// after an error. Converts to its name for the manager's calls.
class RecordsetAperto {
public:
    RecordsetAperto() = default;
    RecordsetAperto(RecordsetManager& rs, const QString& sql, const QVariantList& valori = {})
        : m_rs(&rs), m_nome(rs.Apri(sql, valori))
    {
    }
    RecordsetAperto(RecordsetAperto&& altro) noexcept : m_rs(altro.m_rs), m_nome(std::move(altro.m_nome))
    {
        altro.m_nome.clear();
    }
    RecordsetAperto& operator=(RecordsetAperto&& altro) noexcept
    {
        if (this != &altro) {
            Chiudi();
            m_rs = altro.m_rs;
            m_nome = std::move(altro.m_nome);
            altro.m_nome.clear();
        }
        return *this;
    }
    ~RecordsetAperto() { Chiudi(); }

    bool Aperto() const { return !m_nome.isEmpty(); }
    const QString& Nome() const { return m_nome; }
    operator const QString&() const { return m_nome; }
    void Chiudi()
    {
        if (m_rs && !m_nome.isEmpty())
            m_rs->Chiudi(m_nome);
        m_nome.clear();
    }

private:
    RecordsetManager* m_rs = nullptr;
    QString m_nome;
};
