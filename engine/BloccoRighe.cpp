#include "BloccoRighe.h"

#include "DatabaseLink.h"
#include "ScrittureRaccolte.h"

#include <utility>

BloccoRighe::BloccoRighe(DatabaseLink& db, Motore motore) : m_db(db), m_motore(std::move(motore)) { }

void BloccoRighe::Riga(const QString& riga)
{
    if (m_righe.isEmpty()) {
        // A block that had to run again hints at more failures nearby: the
        // lines that follow it run one by one for a while.
        if (m_senzaBlocco > 0) {
            --m_senzaBlocco;
            m_motore.carica(riga, -1);
            return;
        }
        // Opened as the first line waits, so that no commit comes between
        // lines read and lines run.
        if (!m_db.IniziaBlocco()) {
            m_motore.carica(riga, -1);
            return;
        }
    }
    m_motore.trattieni(static_cast<int>(m_righe.size()));
    m_righe << riga;
    if (m_righe.size() >= RighePerBlocco)
        Chiudi();
}

// A statement of a line (an error row, a look-up that could not be made
// ahead) sends what was gathered and closes the block: the next line opens
// another, with its own copy of the engine's state.
void BloccoRighe::Chiudi()
{
    if (m_righe.isEmpty())
        return;
    const QStringList righe = std::exchange(m_righe, {});
    // What was looked up ahead serves these lines only, however they end.
    struct Dimentica {
        const Motore& motore;
        ~Dimentica() { motore.anticipa(nullptr); }
    } dimentica {m_motore};
    qsizetype inizio = 0;  // first line of the open block
    std::function<void()> ripristina;
    try {
        m_motore.anticipa(&righe);
        for (qsizetype r = 0; r < righe.size(); ++r) {
            if (!ripristina || !m_db.BloccoAperto()) {
                m_db.IniziaBlocco();
                inizio = r;
                ripristina = m_motore.salva();
            } else if (r == righe.size() / 2) {
                // The server writes the first half's changes while the
                // second half runs.
                m_db.InviaParteBlocco();
            }
            m_motore.carica(righe[r], static_cast<int>(r));
        }
        m_db.ChiudiBlocco();
    } catch (const BloccoDaRipetere&) {
        // Nothing the block's lines wrote reached the database; the block is
        // closed. The rest of the lines run one by one, looked up one by one.
        if (ripristina)
            ripristina();
        m_motore.anticipa(nullptr);
        m_senzaBlocco = RighePerBlocco;
        for (qsizetype r = inizio; r < righe.size(); ++r)
            m_motore.carica(righe[r], static_cast<int>(r));
    }
}
