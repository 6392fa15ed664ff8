#pragma once
// A grid bound to a record set given by SQL: row number and count, sort by
// column, find, refresh, column captions / widths / hiding, navigation,
// bookmark, printing; in editing mode it also inserts, saves (after a row
// check), deletes (with confirmation) and cancels rows.
#include "ModelloLista.h"

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class BarraComandi;
class DatabaseLink;
class FinestraMessaggi;
class QComboBox;
class QLineEdit;
class QTableView;
class RecordsetManager;

struct ColonnaLista {
    QString campo;       // column of the record set
    QString didascalia;  // empty: the column name
    int larghezza = 0;   // twips; 0 keeps the current width
    bool nascosta = false;
};

// The columns with the captions given by name (case ignored) where they
// have none of their own.
QList<ColonnaLista> ConDidascalie(QList<ColonnaLista> colonne, const QHash<QString, QString>& didascalie);

// Direction of "Cerca" (the search frame's options).
enum class DirezioneRicerca { Primo, Successivo, Precedente, Ultimo };

class ListBrowser : public QObject {
    Q_OBJECT
public:
    ListBrowser(QTableView& griglia, DatabaseLink& db, FinestraMessaggi& messaggi, QObject* parent = nullptr);
    ~ListBrowser() override;

    void ImpostaContatore(QLineEdit* txtRiga) { m_txtRiga = txtRiga; }
    void ImpostaBarra(BarraComandi* barra) { m_barra = barra; }
    // The search frame: the text, the column chooser and the direction.
    void ImpostaRicerca(QLineEdit* testo, QComboBox* colonna, std::function<DirezioneRicerca()> direzione);
    void ImpostaTitolo(const QString& titolo) { m_titolo = titolo; }

    // Opens the SQL and binds it to the grid; the current row is the first.
    void SettaRecordset(const QString& sql);
    // Re-reads the same SQL, keeping the current row where possible.
    void DatRefresh();
    const QString& Sql() const { return m_sql; }
    // 1-based current row, 0 when none; row count.
    int Riga() const;
    int Conteggio() const;
    void VaiARiga(int riga);                       // 0-based
    QString Valore(const QString& colonna) const;  // of the current row
    ModelloLista& Modello() { return *m_modello; }

    void PersColonne(const QList<ColonnaLista>& colonne);
    // Sorts by a grid column: 0 done, 1 not possible.
    int Ordina(int colonna);
    // Runs a list command; false when the key is not one of the list's.
    bool Comando(const QString& chiave);

    // Editing mode: the grid takes typing and the editing commands work.
    void ModalitaModifica(bool attiva);
    void ImpostaScrittura(bool scrivibile);
    bool Scrivibile() const { return m_scrivibile; }
    // Asked before a row is written; false refuses it with motivo.
    std::function<bool(QVariantMap& riga, QString& motivo)> controlloRiga;

signals:
    void RigaCambiata(int riga, int conteggio);

private:
    void AggiornaContatore();
    void Cerca();
    bool Salva();
    void CancellaRiga();
    void Riapri(int riga);

    QTableView& m_griglia;
    DatabaseLink& m_db;
    FinestraMessaggi& m_messaggi;
    std::unique_ptr<RecordsetManager> m_rs;
    QString m_nomeRs;
    QString m_sql;
    ModelloLista* m_modello;
    QPointer<QLineEdit> m_txtRiga;
    BarraComandi* m_barra = nullptr;
    QPointer<QLineEdit> m_cercaTesto;
    QPointer<QComboBox> m_cercaColonna;
    std::function<DirezioneRicerca()> m_direzione;
    QList<ColonnaLista> m_colonne;
    QString m_titolo;
    int m_segnalibro = -1;  // record set row kept by "Punta"
    bool m_modifica = false;
    bool m_scrivibile = true;
};
