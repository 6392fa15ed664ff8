#pragma once
// The hidden main window: never shown; its timers end the program and bring
// a screen forward at the menu's request.
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class frmPrincipale : public QWidget {
    Q_OBJECT
public:
    // chiusura: the program's closing routine, given oiChiudi; true when the
    // program has ended.
    explicit frmPrincipale(std::function<bool(int)> chiusura);

    QTimer timChiudi;
    QTimer timVarie;
    QLabel* lblChiusura;
    int oiChiudi = 0;
    int oiTmpAttesa = 3000;
    bool obRiprova = true;
    int oiFlagVarie = 0;
    QPointer<QWidget> daPortareAvanti;

    // Sets oiChiudi to 0 and switches timChiudi on.
    bool ChiudiProgramma();
    // Brings the screen to the front on the next tick of timVarie.
    void PortaAvanti(QWidget* finestra);

private:
    void TimChiudiTick();
    void TimVarieTick();
    std::function<bool(int)> m_chiusura;
};
