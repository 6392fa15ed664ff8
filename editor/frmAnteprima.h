#pragma once
// The preview window ("Anteprima"): the first lines of a definition's source
// file as a load would take them, one grid row per line, one column per
// field, what each line does to each target table and why a line would be
// rejected. A fixed-width line is shown with a ruler and its fields' spans.
// The preview runs inside a trial that is always rolled back: nothing it
// does stays in the database. Shown for a stored definition, or for a
// proposed one that is written only when the user saves it.
#include "AnteprimaQuiva.h"
#include "ContestoEditor.h"
#include "ContestoQuiva.h"
#include "Maschera.h"

#include <QJsonObject>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

// The load context of the running program for the editor's company, or the
// company alone when there is no program around (tests).
ContestoQuiva ContestoCarico(const ContestoEditor& contesto);

class frmAnteprima : public Maschera {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3640;
    static constexpr int RighePredefinite = 20;

    // The preview of a stored definition.
    frmAnteprima(const ContestoEditor& contesto, const QString& codice, QWidget* parent = nullptr);
    // The preview of a proposal: "Salva" writes it, asking before replacing
    // a definition with the same code.
    frmAnteprima(const ContestoEditor& contesto, const QJsonObject& proposta, const QString& descrizione,
                 QWidget* parent = nullptr);

    void Carica() override;
    // Runs the preview again (the definition or the number of lines changed).
    void Aggiorna() override;
    const QString& Codice() const { return m_codice; }
    const EsitoAnteprima& Esito() const { return m_esito; }
    // The open preview windows of a definition.
    static QList<frmAnteprima*> Aperte(const QString& codice);

    QSpinBox* spnRighe;
    QTableWidget* grdRighe;
    QPlainTextEdit* txtRiga;
    QLabel* lblProposta;
    QLabel* lblEsito;
    QPushButton* ComAggiorna;
    QPushButton* ComSalva;
    QPushButton* ComChiudi;

signals:
    // The proposal was written under this code.
    void Salvata(const QString& codice);

private:
    void Costruisci();
    void Riempi();
    void MostraRiga();
    void SalvaProposta_Click();
    int ColonnaCampo(int campo) const { return 1 + m_slotUsati.size() + campo; }

    ContestoEditor m_ctx;
    QString m_codice;
    QJsonObject m_proposta;  // empty for a stored definition
    EsitoAnteprima m_esito;
    QList<int> m_slotUsati;  // target table slots, in order
    int m_righeLette = 0;    // lines asked of the last run
};
