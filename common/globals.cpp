#include "common/globals.h"

namespace common {

QString CartellaProgramma;
QString PercorsoArchivio;
QString PercorsoContabilita;
QVariant EsitoPrimaEsecuzione;
Opzioni OpzioniCorbix;
qint32 RigaSelezionata = 0;
bool ChiudiApplicazione = false;
QString CartellaApplicazione;
QString DescrizioneApplicazione;

QString RiservatoIni1;
QString RiservatoIni2;

Ciclo CicloAttesa;

QString InsiemeMessaggi;
QStringList ElencoMessaggi;
qint32 NumeroMessaggi = 0;

void resetGlobals()
{
    CartellaProgramma.clear();
    PercorsoArchivio.clear();
    PercorsoContabilita.clear();
    EsitoPrimaEsecuzione = QVariant();
    OpzioniCorbix = Opzioni();
    RigaSelezionata = 0;
    ChiudiApplicazione = false;
    CartellaApplicazione.clear();
    DescrizioneApplicazione.clear();
    RiservatoIni1.clear();
    RiservatoIni2.clear();
    CicloAttesa = Ciclo();
    InsiemeMessaggi.clear();
    ElencoMessaggi.clear();
    NumeroMessaggi = 0;
}

}  // namespace common
