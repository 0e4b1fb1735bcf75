#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The program-wide values, read and written everywhere. resetGlobals() puts
// every one back as at start-up.
namespace common {

// How flows are handed to the EDI service (SendWith). The values are the
// numbers of the options row; a number of none of them is kept as it stands.
enum class CanaleInvio : int {
    RichiediSempre = 0,    // the channel is asked at each sending
    InternetIntranet = 1,
    ServizioLan = 2,       // the LAN service, read back as InternetIntranet
};

// Where a new flow goes unless the user chooses otherwise (WhereWrite). The
// values are the numbers of the options row; a number of none of them is
// kept as it stands and selects no destination.
enum class DestinazionePredefinita : int {
    Supporto = 0,     // written on the removable medium
    Memorizzato = 1,  // stored
    Cartella = 2,     // written into the user folder
};

// The six values of the options row.
struct Opzioni {
    QString Centrale;
    QString FloppyDevice;
    CanaleInvio SendWith = CanaleInvio::RichiediSempre;
    bool PreventCheck = false;
    DestinazionePredefinita WhereWrite = DestinazionePredefinita::Supporto;
    QString UserDir;
};

// The lock-wait cycle of the error management, one for the whole program.
// Inizio is a reading of the monotonic clock in milliseconds.
struct Ciclo {
    qint64 Inizio = 0;
    QString Funzione;
};

extern QString CartellaProgramma;    // host form, ends with "/"
extern QString PercorsoArchivio;
extern QString PercorsoContabilita;  // the accounting database, Windows form
extern QVariant EsitoPrimaEsecuzione;
extern Opzioni OpzioniCorbix;
extern qint32 RigaSelezionata;
extern bool ChiudiApplicazione;
extern QString CartellaApplicazione;
extern QString DescrizioneApplicazione;

// The first two lines of the settings file, carried and written back unread.
extern QString RiservatoIni1;
extern QString RiservatoIni2;

extern Ciclo CicloAttesa;

// The message set: its selector and its entries, numbered from 1.
extern QString InsiemeMessaggi;
extern QStringList ElencoMessaggi;
extern qint32 NumeroMessaggi;

// The application's title: the title of the messages given no other.
inline const QString TitoloApplicazione = QStringLiteral("CORBIX");

// The title of most messages of the main window and the flow engine.
inline const QString TitoloCorbix = QStringLiteral("Corbix doganali");

// The program file's name, without extension: the title of the run-time
// error messages of the shared routines.
inline const QString NomeProgramma = QStringLiteral("Corbix");

void resetGlobals();

}  // namespace common
