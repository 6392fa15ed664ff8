#pragma once
// The source read on a second thread, a few hundred lines ahead of the load.
// That thread decodes the lines and reads the values that depend on the line
// alone (located, converted, checked: see PreparaRiga); the load takes the
// lines in file order with those values ready, writes them and does all the
// rest (counters, look-ups, error rows) itself, so the rows, the error rows
// and their order, the stop between lines and the progress counts are what
// one thread gives. A read error reaches the load after the lines before it.
#include "LetturaValore.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

class LettoreRighe;

// One field's value read ahead: the reading's result, or the exception it
// raised (raised again when the load asks for the value).
struct ValoreAnticipato {
    ValoreLetto letto;
    std::exception_ptr eccezione;

    // Member by member: a block takes every line's values by swapping.
    friend void swap(ValoreAnticipato& a, ValoreAnticipato& b) noexcept
    {
        a.letto.valore.swap(b.letto.valore);
        a.letto.errore.swap(b.letto.errore);
        std::swap(a.eccezione, b.eccezione);
    }
};

class LetturaAnticipata {
public:
    // Fills the values of one line (valoriPerRiga of them); runs on the
    // reading thread and must touch nothing the load changes.
    using PreparaRiga = std::function<void(const QString& riga, ValoreAnticipato* valori)>;

    LetturaAnticipata(LettoreRighe& file, int valoriPerRiga, PreparaRiga prepara);
    // Stops the reading thread; lines read ahead and not taken are dropped.
    ~LetturaAnticipata();
    LetturaAnticipata(const LetturaAnticipata&) = delete;
    LetturaAnticipata& operator=(const LetturaAnticipata&) = delete;

    // The next line and its values, valid until the next call; false at the
    // end of the file. Raises the reading's error in its place. The caller
    // may move or swap the values out: the reader only writes over them. After the
    // valoriPerRiga values comes one more, whose errore says why the line
    // cannot be loaded (LettoreRighe::Scarto; its values are then not read).
    bool Leggi(const QString*& riga, ValoreAnticipato*& valori);
    // Whether the line Leggi gave last holds nothing to load: without its
    // blanks it is empty or a lone tab (its values are then not read). The
    // reading thread tells it, as it has the text at hand.
    bool Vuota() const { return m_vuota; }

private:
    // Up to Lotti lots of RighePerLotto lines; a lot also ends once it holds
    // CaratteriPerLotto characters, and no lot is filled while those ready
    // hold CaratteriInAnticipo, so that long lines do not pile up in memory.
    static constexpr int RighePerLotto = 64;
    static constexpr int Lotti = 8;
    static constexpr qsizetype CaratteriPerLotto = 256 * 1024;
    static constexpr qsizetype CaratteriInAnticipo = 1024 * 1024;

    struct Lotto {
        std::vector<QString> righe;
        std::vector<ValoreAnticipato> valori;  // valoriPerRiga + 1 per line
        std::vector<char> vuote;               // per line, see Vuota
        int quante = 0;
        qsizetype caratteri = 0;
        bool ultimo = false;  // the file ends (or failed) after these lines
        std::exception_ptr errore;
    };

    bool DaSvegliare() const;
    void Leggitore();
    void Riempi(Lotto& lotto);

    LettoreRighe& m_file;
    const int m_valoriPerRiga;
    PreparaRiga m_prepara;

    std::vector<Lotto> m_lotti;
    std::mutex m_mutex;
    std::condition_variable m_cambiato;
    std::deque<Lotto*> m_pronti;  // read, in file order
    std::deque<Lotto*> m_liberi;  // taken by the load, to fill again
    qsizetype m_caratteriPronti = 0;
    bool m_ferma = false;

    Lotto* m_corrente = nullptr;  // the lot the load takes lines from
    int m_prossima = 0;
    bool m_vuota = false;

    std::thread m_thread;  // last: started once everything else is ready
};
