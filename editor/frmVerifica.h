#pragma once
// The check window ("Verifica"): a definition's problems as a list, each
// naming the field row it concerns; a double click on one asks the editor
// to show that row.
#include "ContestoEditor.h"
#include "Maschera.h"
#include "VerificaEditor.h"

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

class frmVerifica : public Maschera {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3641;

    frmVerifica(const ContestoEditor& contesto, const QString& codice, QWidget* parent = nullptr);

    void Carica() override;
    // Checks the definition again.
    void Aggiorna() override;
    const QString& Codice() const { return m_codice; }
    const EsitoVerifica& Esito() const { return m_esito; }

    // Shows the field row of a problem (its stored NomeCampo).
    std::function<void(const QString& nomeCampo)> vaiACampo;

    QListWidget* lstProblemi;
    QLabel* lblEsito;
    QPushButton* ComAggiorna;
    QPushButton* ComChiudi;

private:
    ContestoEditor m_ctx;
    QString m_codice;
    EsitoVerifica m_esito;
};
