#pragma once
// Where the fields of one delimited line start, found with one scan and kept
// while the same line is asked for again (every field of a line is read in
// turn). The line is held by a shared copy, so its buffer can neither be
// freed nor changed in place while it is remembered: the same data pointer
// and size mean the same text.
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

class CampiRiga {
public:
    // Field n (1-based) of the line split at separatore (case ignored; an
    // empty separator is the tab), or nothing when the line has fewer fields.
    std::optional<QStringView> Campo(const QString& riga, const QString& separatore, int n);

private:
    void Scansiona(const QString& riga, const QString& separatore);

    QString m_riga;
    QString m_separatore;
    bool m_valida = false;
    bool m_maiuscoleMinuscole = false;  // the separator has letters
    qsizetype m_lunghezzaSep = 1;
    std::vector<qsizetype> m_inizi;     // start of every field
};
