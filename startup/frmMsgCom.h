#pragma once
// The message window of the desktop program: the text, one button per
// answer caption, and the number of the pressed answer.
#include "FinestraMessaggi.h"
#include "RichiestaTesto.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QHBoxLayout;

class frmMsgCom : public QDialog {
    Q_OBJECT
public:
    explicit frmMsgCom(QWidget* parent = nullptr);

    // Shows testo and waits for an answer; closing the window counts as the
    // last answer (the most cautious one by the suite's order of captions).
    int Mostra(const QString& testo, const QStringList& risposte);

    QPlainTextEdit* txtMessaggio;
    QLabel* LabMessaggio;
    QList<QPushButton*> ComEsegui;
    QLineEdit* txtComRit;  // hidden: number of the pressed answer

private:
    void Premuto(int indice);
    QHBoxLayout* m_pulsanti;
};

// FinestraMessaggi and input box of the desktop program.
class MessaggiDesktop : public FinestraMessaggi, public RichiestaTesto {
public:
    int msgCom(const QString& testo, const QStringList& risposte) override;
    std::optional<QString> Chiedi(const QString& prompt, const QString& titolo, const QString& proposta) override;
};
