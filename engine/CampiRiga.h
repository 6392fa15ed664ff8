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
    // Lines split at separatore (an empty one is the tab; letters in it
    // match in either case).
    explicit CampiRiga(const QString& separatore = {});

    // Field n (1-based), or nothing when the line has fewer fields.
    std::optional<QStringView> Campo(const QString& riga, int n);

private:
    void Scansiona(const QString& riga);

    QString m_separatore;
    Qt::CaseSensitivity m_maiuscoleMinuscole = Qt::CaseSensitive;
    QString m_riga;
    bool m_valida = false;
    std::vector<qsizetype> m_inizi;  // start of every field
};
