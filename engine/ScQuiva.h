#pragma once
// The load engine: one object serves one load definition for one run.
// The caller sets ogInElab and ogValDefault, calls LeggiTracciato and, when
// it answers 0, QuivaDati; then drops the object.
#include "ChiaviAnticipate.h"
#include "ConteggiCarico.h"
#include "ContestoQuiva.h"
#include "ErroreRun.h"
#include "LetturaAnticipata.h"
#include "LetturaValore.h"
#include "PianoQuiva.h"
#include "PosizioneCampo.h"
#include "RecordsetManager.h"
#include "ScQuivaCampi.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class OsservatoreRighe;
class ProgressMonitor;
class ValueStore;
class LettoreRighe;

class ScQuiva {
public:
    static constexpr int NumSlot = 5;

    // One of the up to five target tables of the definition.
    struct Slot {
        QString tabella;
        QString codTab;       // empty for slot 1
        bool azzera = false;  // empty the table before loading
        QString whereAzz;
        QString campi = QStringLiteral("*");
        RecordsetAperto recordset;  // the open record set, if any
        Recordset* set = nullptr;   // the same, reached without its name
        qint16 flag = 0;            // 0 write, 1 skip this line, -1 last write hit a duplicate key
        QString listino;            // price list of the record being composed
        QString listinoPrec;        // price list last looked up
        QString valuta;             // its currency
        bool indicizzata = false;   // its key's case-free index is made
        bool usato() const { return !tabella.isEmpty(); }
    };

    explicit ScQuiva(ContestoQuiva& contesto);
    ~ScQuiva();
    ScQuiva(const ScQuiva&) = delete;
    ScQuiva& operator=(const ScQuiva&) = delete;

    QString osCodice;
    ProgressMonitor* ogInElab = nullptr;  // null shows nothing
    ValueStore* ogValDefault = nullptr;
    OsservatoreRighe* ogOsservatore = nullptr;  // null tells nobody

    // Loads only the first n lines (after the skipped ones) and leaves the
    // final queries alone; 0 loads them all.
    void LimitaRighe(long n) { m_righeMassime = n; }

    // Definition reader: 0 ready to load, -1 missing rows (message shown),
    // else the number of the error that stopped the reading.
    int LeggiTracciato(const QString& psCodice);
    // Load driver: 0 loaded to the end or stopped by the user, else the
    // number of the error that ended the load. Adds the rejected lines to
    // plErrori.
    int QuivaDati(long& plErrori);
    // Loads another file than the definition's Origine; call it after
    // LeggiTracciato.
    void SostituisciOrigine(const QString& percorso) { m_origine = percorso; }
    // What the last QuivaDati left in the database.
    const ConteggiCarico& Conteggi() const { return m_salvati; }
    static QString ConvEscape(const QString& testo);

    // A source file path completed with the company's drive and load folder.
    QString QuivaPathCompleta(const QString& psFile) const;

    // Field names of the definition rows: "C Nome" is column Nome of the
    // slot coded C.
    static QString LeggiNomeCampo(const QString& psNomeCampo);
    static QString LeggiCodTab(const QString& psNomeCampo);

    // What the reader loaded, for the screens and the tests.
    const Slot& slot(int i) const { return m_slot[i]; }
    const std::vector<std::unique_ptr<ScQuivaCampi>>& Campi() const { return m_campi; }
    ScQuivaCampi* Campo(const QString& chiave) const;
    const QString& Modalita() const { return m_modalita; }
    const QString& InsVaria() const { return m_insVaria; }
    const QString& Separatore() const { return m_separatore; }
    const QString& Origine() const { return m_origine; }
    const QString& Tipo() const { return m_tipo; }
    bool Fisso() const { return m_tipo.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0; }
    qint16 SaltaInizio() const { return m_saltaInizio; }
    const QString& QueryFinale(int i) const { return m_queryFin[i - 1]; }

private:
    // Definition reading and compiling.
    void LeggiTestata(const QString& rs);
    void LeggiCampi(const QString& rs);
    void LeggiDecodifiche(const QString& rs);
    QString LeggiNomeTabella(const QString& psNomeCampo) const;
    qint16 QualeTab(const QString& psCodTab) const;
    void ImpCampiKey();
    void Compila();

    // Value of one field of a line: 0 with the value, 1 when the line is
    // rejected (the error row is written).
    int LeggiVal(const QString& psRiga, const CampoCompilato& campo, QVariant& pvValore);
    // The same without a copy: pvValore points at the value the reading
    // thread left, or at calcolato when it was read here.
    int LeggiVal(const QString& psRiga, const CampoCompilato& campo, const QVariant*& pvValore, QVariant& calcolato);
    bool ValoreValido(const QString& psRiga, const CampoCompilato& campo, const ValoreLetto& letto);
    int LeggiVal(const QString& psRiga, const ScQuivaCampi& pgcampo, QVariant& pvValore, int piCodTab);
    QStringView TestoCampo(const QString& psRiga, const CampoCompilato& campo, QString& costruito);
    QVariant LeggiDefault(const ScQuivaCampi& pgcampo, const QString& psRiga, int piCodTab);
    QVariant ConvImporto(const QVariant& pvValore, const CampoCompilato& campo);
    QString LeggiValuta(const QString& psListino);
    void ScriviErrore(const QString& psRiga, const QString& psErrore);
    // The field being read, for an observer told of a rejection.
    const ScQuivaCampi* m_campoInLettura = nullptr;

    // Writing.
    int CompRecord(const QString& psRiga);
    void Apri(Slot& s, RecordsetAperto recordset);
    // The column of every field of slot i in its record set's statement.
    const std::vector<int>& Colonne(int i);
    void Prepara();
    void IndicizzaChiave(int i);
    LetturaAnticipata::PreparaRiga PreparazioneRighe() const;
    void SvuotaTabella(const Slot& slot);
    void ElaboraRiga(const QString& riga);
    // One line with its error row, if it has one.
    // posizione: the line's place in a block, whose values were kept
    // (TrattieniValori); -1 for the line just read.
    void CaricaRiga(const QString& riga, int posizione = -1);
    void TrattieniValori(int posizione);
    // A copy of what loading lines changes in the engine (error count,
    // counters), and what puts it back.
    std::function<void()> SalvaStato();
    void RiprovaComeAggiornamento(const QString& riga);
    // Opens slot i's record set on the row of this line's key; false when the
    // key cannot be built (a key value was rejected).
    bool ApriChiave(int i, const QString& riga);
    bool ValoriChiave(const QString& riga, int i, QVariantList& valori);
    // The key look-ups of the lines of a block, made ahead where no earlier
    // line of it can change their answer; null forgets them.
    void AnticipaChiavi(const QStringList* righe);
    bool SlotAnticipabile(int i) const;
    void AnticipaSlot(int i, const QStringList& righe);
    const QString& SqlChiave(int i);
    void SalvaSlotDopo(int t, const QString& psRiga);
    void EseguiQueryFinali();
    // Waits for the company's write lock before anything is changed; false
    // when the user stopped meanwhile. Raises ErroreRun when the wait is over.
    bool AttendiScrittura();
    // The error of a statement stored in the definition, naming it.
    ErroreRun ErroreIstruzione(const std::exception& errore, const QString& istruzione, const QString& tabella) const;
    void ChiudiTutto();
    ProgressMonitor& Progresso() const;
    QString ProgressivoCodice(const QString& psRiga, const ScQuivaCampi& pgcampo, int piCodTab);
    // "Modalita", read once: what a line does with a row that is or is not there.
    enum class ModoScrittura {
        InserisciOAggiorna,  // "0": add or change; a duplicate key retries as a change
        SoloInserimento,     // "1": existing rows are left alone
        SoloAggiornamento,   // "2": missing rows are not added
        Altro,               // add or change; a duplicate key is an error
    };

    ContestoQuiva& m_ctx;
    RecordsetManager m_rs;
    std::array<Slot, NumSlot + 1> m_slot;  // 1..5 are the slots; 0 serves lookups of code 0
    std::array<QString, 3> m_queryFin;
    QString m_modalita;
    ModoScrittura m_modo = ModoScrittura::Altro;
    QString m_insVaria;
    bool m_inserimentoLibero = false;  // InsVaria "I": every line adds rows, no key look-up
    QString m_separatore;
    QString m_origine;
    QString m_tipo;
    qint16 m_saltaInizio = 0;
    long m_righeMassime = 0;
    std::vector<std::unique_ptr<ScQuivaCampi>> m_campi;
    QHash<QString, ScQuivaCampi*> m_indiceCampi;   // lower-case osKey
    ConteggiCarico m_conteggi;                     // of the load running, the open batch included
    ConteggiCarico m_salvati;                      // of the batches committed
    std::array<QString, NumSlot + 1> m_sqlChiave;  // parametrised key query per slot
    PianoQuiva m_piano;                            // the definition compiled for the line loop
    QVariantList m_valoriChiave;                   // reused key values of a line
    ChiaviAnticipate m_anticipate;                 // look-ups of the running block
    PosizioneCampo m_posizione;                    // field location in the definition's layout
    ConversioneValuta m_valuta;                    // ConvImporto, for value reading
    // The line being loaded as the reading thread gave it, with the values
    // it read ahead; a line run again (see BloccoRighe) is another object.
    const QString* m_rigaAnticipata = nullptr;
    // Of the line just read, where the reading thread left them: that thread
    // also frees them, when it reads over them.
    ValoreAnticipato* m_valoriLetti = nullptr;
    std::vector<std::vector<ValoreAnticipato>> m_valoriBlocco;  // of the lines waiting in a block
    const ValoreAnticipato* m_valoriCorrenti = nullptr;         // of the line that runs
};
