#pragma once
// Field location: where a field's text is in one source line, by the line's
// layout (fixed width, or fields between separators). Every call takes the
// line and the field record and returns what it found; the only thing kept
// between calls is where the fields of the last delimited line start.
#include "CampiRiga.h"

#include <QString>
#include <QVariant>

class ScQuivaCampi;
struct CampoCompilato;

class PosizioneCampo {
public:
    // separatore splits delimited lines (an empty one is the tab); fisso
    // reads fixed-width slices instead.
    explicit PosizioneCampo(const QString& separatore = {}, bool fisso = false);

    // The text value reading starts from: the field read from the line,
    // through its decode rows. A plain field is a view into the line; a text
    // that had to be built is kept in costruito and the view is into it.
    QStringView Testo(const QString& riga, const CampoCompilato& campo, QString& costruito);

    // The located value: text, or a number when implied decimals apply
    // (destNumerica) or an operation is computed. numCampo takes the short
    // cut of a plain field number on delimited lines. Raises ErroreRun when
    // an operation cannot be computed.
    QVariant Cerca(const QString& riga, const ScQuivaCampi& campo, bool numCampo, bool destNumerica);
    // Field n of a delimited line with the field's operation applied.
    QVariant CampoNum(const QString& riga, int n, const ScQuivaCampi& campo);
    // Field n of a delimited line: outer quotes dropped, the field's
    // Inizio/Lunghezza selection taken, spaces trimmed; empty beyond the line.
    QString ValCampoNum(const QString& riga, int n, const ScQuivaCampi& campo);

private:
    QStringView VistaCampoNum(const QString& riga, int n, const ScQuivaCampi& campo);
    // One piece of a template; gruppo is "{" or "[" inside a group.
    QString ValCampoStr(const QString& riga, QStringView elabora, const ScQuivaCampi& campo, QChar gruppo);

    bool m_fisso = false;
    CampiRiga m_campiRiga;
};
