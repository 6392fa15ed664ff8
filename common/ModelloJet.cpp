#include "ModelloJet.h"

namespace {

bool Uguali(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

// Matches one "[...]" class at modello[i] (just after "["); returns the index
// after "]" or -1 when the bracket is not closed (then "[" is a literal).
int FineClasse(QStringView modello, qsizetype i)
{
    qsizetype j = i;
    if (j < modello.size() && modello[j] == u'!')
        ++j;
    if (j < modello.size() && modello[j] == u']')
        ++j;  // "[]]" holds a "]"
    while (j < modello.size() && modello[j] != u']')
        ++j;
    return j < modello.size() ? static_cast<int>(j + 1) : -1;
}

bool NellaClasse(QChar c, QStringView classe)
{
    bool negata = false;
    qsizetype i = 0;
    if (!classe.isEmpty() && classe[0] == u'!') {
        negata = true;
        i = 1;
    }
    bool trovato = false;
    for (; i < classe.size(); ++i) {
        if (i + 2 < classe.size() && classe[i + 1] == u'-') {
            const QChar da = classe[i].toCaseFolded();
            const QChar a = classe[i + 2].toCaseFolded();
            const QChar x = c.toCaseFolded();
            if (x >= da && x <= a)
                trovato = true;
            i += 2;
        } else if (Uguali(c, classe[i])) {
            trovato = true;
        }
    }
    return trovato != negata;
}

}  // namespace

bool CorrispondeModello(QStringView valore, QStringView modello)
{
    // Iterative matching with backtracking on the last "*": linear in
    // practice, never recursive.
    qsizetype v = 0, m = 0;
    qsizetype stellaM = -1, stellaV = 0;
    while (v < valore.size()) {
        bool passo = false;
        qsizetype prossimoM = m + 1;
        if (m < modello.size()) {
            const QChar p = modello[m];
            if (p == u'*') {
                stellaM = m;
                stellaV = v;
                ++m;
                continue;
            }
            if (p == u'?') {
                passo = true;
            } else if (p == u'#') {
                passo = valore[v].isDigit();
            } else if (p == u'[') {
                const int fine = FineClasse(modello, m + 1);
                if (fine < 0) {
                    passo = Uguali(valore[v], p);
                } else {
                    passo = NellaClasse(valore[v], modello.sliced(m + 1, fine - m - 2));
                    prossimoM = fine;
                }
            } else {
                passo = Uguali(valore[v], p);
            }
        }
        if (passo) {
            ++v;
            m = prossimoM;
        } else if (stellaM >= 0) {
            m = stellaM + 1;
            v = ++stellaV;
        } else {
            return false;
        }
    }
    while (m < modello.size() && modello[m] == u'*')
        ++m;
    return m == modello.size();
}
