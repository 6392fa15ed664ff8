#pragma once
// Prompt window of the base values: ten rows a page (label Lab(r), answer
// box txt(r)); with more than ten prompts "&Indietro" and "A&vanti" move
// between pages and every answer is kept. With prompts of several
// definitions each row names its definition (LabDef(r)); a label too long
// to stand beside its box wraps above it.
#include "ValoriBase.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class frmRicValBase : public QDialog {
    Q_OBJECT
public:
    static constexpr int RighePagina = 10;

    explicit frmRicValBase(QWidget* parent = nullptr);

    // The prompts to ask, with their proposed answers; first page shown.
    void Imposta(const RaccoltaValBase& raccolta);
    // Every answer, in the order of the prompts.
    QStringList Risposte();

    int oiNumRighe = 0;
    bool obOk = false;
    QString osKeySec;
    // Run on "&Ok" with every answer: false keeps the window open.
    std::function<bool(const QStringList&)> controllo;
    // Shows the answer box of a prompt (0-based), its text selected.
    void MostraRisposta(int indice);

    int Pagina() const { return m_pagina; }
    int NumeroPagine() const;
    void VaiAPagina(int pagina);

    QLabel* LabTitolo;
    std::array<QLabel*, RighePagina> LabDef {};
    std::array<QLabel*, RighePagina> Lab {};
    std::array<QLineEdit*, RighePagina> txt {};
    QLabel* LabPagina;
    QPushButton* ComIndietro;
    QPushButton* ComAvanti;
    QPushButton* ComOk;
    QPushButton* ComAnnulla;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void SalvaPagina();
    void MostraPagina();
    void Dimensiona();
    void DisponiRiga(int r, bool sopra);

    QGridLayout* m_righe = nullptr;
    std::vector<RichiestaBase> m_richieste;
    QStringList m_risposte;
    int m_pagina = 0;
};
