#include "ScQuiva.h"

#include "DatabaseLink.h"
#include "OsservatoreRighe.h"
#include "ProgressMonitor.h"

ScQuiva::ScQuiva(ContestoQuiva& contesto)
    : m_ctx(contesto),
      m_rs(contesto.db),
      m_valuta([this](const QVariant& valore, const CampoCompilato& campo) { return ConvImporto(valore, campo); })
{
}

ScQuiva::~ScQuiva() = default;

ScQuivaCampi* ScQuiva::Campo(const QString& chiave) const { return m_indiceCampi.value(chiave.toLower(), nullptr); }

ProgressMonitor& ScQuiva::Progresso() const { return ogInElab ? *ogInElab : ProgressMonitor::Muto(); }

void ScQuiva::ScriviErrore(const QString& psRiga, const QString& psErrore)
{
    m_ctx.db.EseguiParametri(QStringLiteral("Insert into ErroriQuivamento (Tabella,Riga,Errore) Values (?, ?, ?)"),
                             {osCodice, psRiga, psErrore});
    ++m_conteggi.errori;
    Progresso().Errori(m_conteggi.errori);
    if (ogOsservatore)
        ogOsservatore->Errore(psErrore, m_campoInLettura);
}
