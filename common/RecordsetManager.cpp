#include "RecordsetManager.h"

#include "DatabaseLink.h"
#include "Recordset.h"

RecordsetManager::RecordsetManager(DatabaseLink& db) : m_db(db) { }

RecordsetManager::~RecordsetManager() = default;

QString RecordsetManager::Apri(const QString& sql, const QVariantList& valori)
{
    auto set = std::make_shared<Recordset>(m_db);
    set->Apri(sql, valori);
    const QString nome = QStringLiteral("rs%1").arg(++m_progressivo);
    m_set.insert(nome, std::move(set));
    return nome;
}

void RecordsetManager::Riapri(const QString& nome, const QString& sql, const QVariantList& valori)
{
    Oggetto(nome).Apri(sql, valori);
}

void RecordsetManager::Chiudi(const QString& nome) { m_set.remove(nome); }

Recordset& RecordsetManager::Oggetto(const QString& nome) const
{
    auto it = m_set.constFind(nome);
    if (it == m_set.cend())
        throw ErroreRun(3420, QStringLiteral("Oggetto non valido o non più impostato: ") + nome);
    return *it.value();
}

bool RecordsetManager::Vuoto(const QString& nome) const { return Oggetto(nome).Vuoto(); }
bool RecordsetManager::Fine(const QString& nome) const { return Oggetto(nome).Fine(); }
int RecordsetManager::NumeroRighe(const QString& nome) const { return Oggetto(nome).NumeroRighe(); }
int RecordsetManager::Posizione(const QString& nome) const { return Oggetto(nome).Posizione(); }
void RecordsetManager::Successivo(const QString& nome) { Oggetto(nome).Successivo(); }

QString RecordsetManager::Leggi(const QString& nome, const QString& colonna) const
{
    const QVariant valore = Oggetto(nome).Leggi(colonna);
    return valore.isNull() ? QString() : valore.toString();
}

QVariant RecordsetManager::LeggiGrezzo(const QString& nome, const QString& colonna) const
{
    return Oggetto(nome).Leggi(colonna);
}

void RecordsetManager::AggiungiNuovo(const QString& nome) { Oggetto(nome).AggiungiNuovo(); }
void RecordsetManager::Modifica(const QString& nome) { Oggetto(nome).Modifica(); }
bool RecordsetManager::InAggiunta(const QString& nome) const
{
    return Oggetto(nome).StatoModifica() == Recordset::Stato::Aggiunta;
}

void RecordsetManager::Imposta(const QString& nome, const QString& colonna, const QVariant& valore)
{
    Oggetto(nome).Imposta(colonna, valore);
}

void RecordsetManager::Aggiorna(const QString& nome) { Oggetto(nome).Aggiorna(); }
