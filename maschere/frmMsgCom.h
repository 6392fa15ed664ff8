#pragma once
// The message window of the desktop program: an icon, the text, one button
// per answer caption, and the number of the pressed answer. It is also the
// program's input box, with an answer line under the text.
#include "FinestraMessaggi.h"
#include "RichiestaTesto.h"

#include <QDialog>
#include <QList>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QHBoxLayout;

class frmMsgCom : public QDialog {
    Q_OBJECT
public:
    explicit frmMsgCom(QWidget* parent = nullptr);

    // Shows testo and waits for an answer; closing the window counts as the
    // last answer (the most cautious one by the suite's order of captions).
    int Mostra(const QString& testo, const QStringList& risposte, IconaMessaggio icona = IconaMessaggio::Nessuna);
    // Input box: the text typed, or nothing when the user cancels.
    std::optional<QString> Chiedi(const QString& prompt, const QString& titolo, const QString& proposta);

    QLabel* LabIcona;
    QLabel* txtMessaggio;
    QLabel* LabMessaggio;
    QLineEdit* txtRisposta;  // shown only as an input box
    QList<QPushButton*> ComEsegui;
    QLineEdit* txtComRit;  // hidden: number of the pressed answer

private:
    void Premuto(int indice);
    void Dimensiona(const QString& testo);
    void Centra();
    QHBoxLayout* m_pulsanti;
};

// FinestraMessaggi and input box of the desktop program.
class MessaggiDesktop : public FinestraMessaggi, public RichiestaTesto {
public:
    int msgCom(const QString& testo, const QStringList& risposte) override;
    int MsgBox(const QString& testo, const QStringList& risposte, IconaMessaggio icona) override;
    std::optional<QString> Chiedi(const QString& prompt, const QString& titolo, const QString& proposta) override;
};
