#pragma once
// Base of every screen of the program: the launch values the menu gives it,
// its edit permission, and the operations the menu link calls on it.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class Maschera : public QWidget {
    Q_OBJECT
public:
    explicit Maschera(QWidget* parent = nullptr);

    QString osNome;          // name of the screen in the registry ("frmQuiva"...)
    QString osKeySec;        // its own key with the menu
    QString osKeyLancia;     // who launched it
    QString osKeySecLancia;  // with which key
    QString osParamLancia;   // and which parameters
    int oiAbilRW = 1;        // 0: view only ("/RO")
    int oiLoadOk = 0;        // 1 loaded, -1 load failed
    int helpContext = 0;

    // The screen's own load; raises on failure. Called once, before showing.
    virtual void Carica() { }
    // Asked to open again while already open.
    virtual void AttivatoDaAltri() { }
    // Hands the screen over to the menu with its title, name and key.
    virtual void PassaA();
    // The page command "Aggiorna".
    virtual void Aggiorna() { }
    // Whether the screen may close now; motivo explains why not.
    virtual bool PuoChiudere(QString& motivo)
    {
        (void)motivo;
        return true;
    }

    QPointer<QWidget> finestraCaricamento;  // "Quivamento maschera" while loading

protected:
    void closeEvent(QCloseEvent* evento) override;
};

// Screens by name, compared without case. Each screen registers itself.
namespace RegistroMaschere {
using Fabbrica = std::function<Maschera*()>;
void Registra(const QString& nome, Fabbrica fabbrica);
void Rimuovi(const QString& nome);
bool Registrata(const QString& nome);
// A new screen, or null for an unknown name.
Maschera* Crea(const QString& nome);
}  // namespace RegistroMaschere
