#pragma once
// Base values asked before a run: the prompts of the fields whose default
// begins with "§", read from the definitions, and the answers written to the
// store that the engine's defaults read. Shared by the load dialog and the
// headless runner.
#include <QString>
#include <QStringList>
#include <vector>

class RecordsetManager;
class ValueStore;

// One prompt: "§label§initial" or, for a counter, "§#break#label§initial".
struct RichiestaBase {
    QString codice;     // definition (osNomeTab)
    QString nomeCampo;  // NomeCampo as stored (osNomeCampo)
    QString etichetta;  // caption, trimmed, without the ":"
    QString proposta;   // proposed answer, trimmed
    bool contatore = false;
    QString rottura;    // break text of a counter, trimmed
    QString costBatch;  // constant answer of unattended runs

    QString Chiave() const { return codice + QLatin1Char('.') + nomeCampo; }
    QString Didascalia() const { return etichetta + QLatin1Char(':'); }
};

// Cuts a prompt description. False when a counter part has no closing "#".
bool AnalizzaRichiesta(const QString& descrizione, RichiestaBase& richiesta);

// The prompts of the selected definitions, in the order they are asked.
class RaccoltaValBase {
public:
    // Adds the prompts of one definition: 0 = go on; -1 = a description
    // cannot be cut (errore names the definition and the field). Database
    // failures raise.
    int RicValDefault(RecordsetManager& rs, const QString& codice, QString& errore);

    const std::vector<RichiestaBase>& Richieste() const { return m_richieste; }
    int oiNumRighe() const { return static_cast<int>(m_richieste.size()); }
    void Aggiungi(RichiestaBase richiesta) { m_richieste.push_back(std::move(richiesta)); }
    void Svuota() { m_richieste.clear(); }
    // Index of the prompt with that key ("Codice.NomeCampo", case ignored), -1 when none.
    int Indice(const QString& chiave) const;

    // Writes one answer per prompt (missing answers count as empty): a
    // counter gets its start and break, a plain prompt its text.
    void Memorizza(const QStringList& risposte, ValueStore& store) const;
    // The message refusing the first counter whose answer is not a whole
    // number ("abc", "1O", "12,5", nothing), and its index; empty when every
    // counter can start.
    QString ControllaContatori(const QStringList& risposte, int* indice = nullptr) const;

private:
    std::vector<RichiestaBase> m_richieste;
};
