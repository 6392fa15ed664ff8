#pragma once
// The page keys: what a key that the common key handling left alone does on
// a page. Alt+PageUp/PageDown/Home/End move by row, Alt+letter runs the
// command bound to the letter, F10 searches or saves, and in lists and line
// grids the arrow and page keys move the row.
#include <QString>

class BarraComandi;
class QKeyEvent;
class QWidget;

enum class TipoPagina { Record, Lista, Righe };

// What the key handler needs from a page.
class PaginaComandi {
public:
    virtual ~PaginaComandi() = default;
    virtual TipoPagina Tipo() const = 0;
    virtual BarraComandi* Barra() const = 0;
    // Runs a command as a click on its button would.
    virtual void EseguiComando(const QString& chiave) = 0;
    // The page's operation: 0 search, 1 change, 2 new row.
    virtual int oiFlagOpe() const { return 1; }
    // Pending changes, "" when none.
    virtual QString VarDati() const { return {}; }
    // The command bound to an Alt key (key code as in QKeyEvent::key()).
    virtual QString TastoPremuto(int codice) const;
    // Whether the grid of a line page has the focus.
    virtual bool GrigliaAttiva(const QWidget* attivo) const
    {
        (void)attivo;
        return false;
    }
    // F10 on a single-record page goes back to searching after a save.
    bool ricercaDopoSalva = true;
};

// True when the key was a page key (it has then been run and is consumed).
bool GestTastiPagina(const QKeyEvent& tasto, QWidget* attivo, PaginaComandi& pagina);

// Sends the key presses of the screen and of its controls, after the common
// key handling, to GestTastiPagina.
void InstallaTastiPagina(QWidget& schermo, PaginaComandi& pagina);
