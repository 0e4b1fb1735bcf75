#include "platform/errors.h"

#include <QHash>
#include <cerrno>

namespace platform {

namespace {

const QHash<int, QString> &descriptions()
{
    static const QHash<int, QString> table = {
        {err::Overflow, QStringLiteral("Overflow.")},
        {err::OutOfMemory, QStringLiteral("Memoria insufficiente.")},
        {err::TypeMismatch, QStringLiteral("Tipo non corrispondente.")},
        {err::BadFileNameOrNumber, QStringLiteral("Nome o numero di file non valido.")},
        {err::FileNotFound, QStringLiteral("Impossibile trovare il file.")},
        {err::FileAlreadyExists, QStringLiteral("File già esistente.")},
        {err::DiskFullFile, QStringLiteral("Disco pieno.")},
        {err::DeviceUnavailable, QStringLiteral("Periferica non disponibile.")},
        {err::PermissionDenied, QStringLiteral("Permesso negato.")},
        {err::PathFileAccess, QStringLiteral("Errore di accesso al percorso/file.")},
        {err::PathNotFound, QStringLiteral("Impossibile trovare il percorso.")},
        {err::PrinterFunctionNotSupported,
         QStringLiteral("Il driver della stampante non supporta la funzione specificata.")},
        {err::ReservedError, QStringLiteral("Errore riservato (%1); non esiste alcun messaggio per questo errore.")},
        {err::InvalidArgument, QStringLiteral("Argomento non valido.")},
        {err::TableLockedExclusive,
         QStringLiteral("La tabella '%1' è già aperta in modo esclusivo da un altro utente.")},
        {err::AlreadyExists, QStringLiteral("La tabella '%1' esiste già.")},
        {err::ObjectNotFound,
         QStringLiteral("Impossibile trovare l'oggetto '%1'. Verificare che l'oggetto esista e che il "
                        "nome e il percorso siano digitati correttamente.")},
        {err::UpdateWithoutEdit, QStringLiteral("Update o CancelUpdate senza AddNew o Edit.")},
        {err::NoCurrentRecord, QStringLiteral("Nessun record corrente.")},
        {err::DuplicateKey,
         QStringLiteral("Le modifiche richieste alla tabella non sono state apportate perché "
                        "creerebbero valori duplicati nell'indice, nella chiave primaria o nella "
                        "relazione. Modificare i dati nel campo o nei campi che contengono i dati "
                        "duplicati, rimuovere l'indice o ridefinirlo per consentire voci duplicate e "
                        "riprovare.")},
        {err::DatabaseFileNotFound, QStringLiteral("Impossibile trovare il file '%1'.")},
        {err::DiskFull, QStringLiteral("Spazio su disco insufficiente.")},
        {err::ReadOnly, QStringLiteral("Impossibile aggiornare. Il database o l'oggetto è di sola lettura.")},
        {err::CommitWithoutBegin, QStringLiteral("Commit o Rollback senza BeginTrans.")},
        {err::DiskOrNetworkError, QStringLiteral("Errore del disco o della rete.")},
        {err::DatabaseCorrupt,
         QStringLiteral("Impossibile aprire il database '%1'. Il file potrebbe essere danneggiato.")},
        {err::DatabaseReadOnly,
         QStringLiteral("Impossibile aprire il file '%1'. Il file è di sola lettura o non si dispone "
                        "dei permessi per modificarlo.")},
        {err::AmbiguousField,
         QStringLiteral("Il campo specificato '%1' potrebbe fare riferimento a più tabelle elencate "
                        "nella clausola FROM dell'istruzione SQL.")},
        {err::InvalidName, QStringLiteral("'%1' non è un nome valido.")},
        {err::NoFields, QStringLiteral("Nessun campo definito: impossibile aggiungere l'oggetto TableDef o Index.")},
        {err::PrimaryKeyExists, QStringLiteral("Chiave primaria già esistente.")},
        {err::FileInUse, QStringLiteral("Impossibile utilizzare '%1'. File già in uso.")},
        {err::NullInIndex, QStringLiteral("L'indice o la chiave primaria non possono contenere un valore Null.")},
        {err::TooFewParameters, QStringLiteral("Parametri insufficienti. Previsto %1.")},
        {err::SyntaxErrorInExpression,
         QStringLiteral("Errore di sintassi (operatore mancante) nell'espressione della query '%1'.")},
        {err::SyntaxErrorInFrom, QStringLiteral("Errore di sintassi nella clausola FROM.")},
        {err::CharactersAfterEnd, QStringLiteral("Trovati caratteri dopo la fine dell'istruzione SQL.")},
        {err::FieldTooSmall,
         QStringLiteral("Il campo è troppo piccolo per accettare la quantità di dati che si è tentato "
                        "di aggiungere. Provare a inserire o a incollare una quantità minore di dati.")},
        {err::RecordDeleted, QStringLiteral("Il record è eliminato.")},
        {err::DataChanged,
         QStringLiteral("Il processo è stato interrotto perché un altro utente ha modificato gli stessi dati.")},
        {err::DuplicateField, QStringLiteral("Impossibile definire il campo '%1' più di una volta.")},
        {err::CouldNotUpdateLocked, QStringLiteral("Impossibile aggiornare. Attualmente bloccato.")},
        {err::CouldNotLockTable,
         QStringLiteral("La tabella '%1' è bloccata in modo esclusivo da un altro utente e non può "
                        "essere letta ora.")},
        {err::CouldNotLockTableDenied,
         QStringLiteral("Impossibile bloccare la tabella '%1': attualmente in uso da parte di un "
                        "altro utente.")},
        {err::ItemNotFound, QStringLiteral("Elemento non trovato nell'insieme.")},
        {err::IndexAlreadyExists, QStringLiteral("Indice già esistente.")},
        {err::FieldRequired,
         QStringLiteral("Il campo '%1' non può contenere un valore Null poiché la proprietà Required "
                        "di questo campo è impostata a True. Immettere un valore in questo campo.")},
        {err::ZeroLengthNotAllowed, QStringLiteral("Il campo '%1' non può essere una stringa di lunghezza zero.")},
        {err::UnrecognizedDatabaseFormat, QStringLiteral("Formato di database '%1' non riconosciuto.")},
        {err::ObjectInvalid, QStringLiteral("Oggetto non valido o non più impostato.")},
        {err::DataTypeConversion, QStringLiteral("Errore di conversione del tipo di dati.")},
        {err::DataTypeMismatch, QStringLiteral("Tipo di dati non corrispondente nell'espressione criterio.")},
    };
    return table;
}

}  // namespace

RuntimeError::RuntimeError(int number, const QString &description, qint64 waitedMs)
    : std::runtime_error(description.toStdString()), number_(number), description_(description), waitedMs_(waitedMs)
{
}

QString errorDescription(int number, const QStringList &args)
{
    auto it = descriptions().constFind(number);
    QString text = it != descriptions().constEnd() ? *it
                                                   : descriptions().value(err::ReservedError).arg(number);
    // Fill the placeholders present; a missing argument leaves an empty name.
    for (int i = 0; i < 9; ++i) {
        const QString marker = QStringLiteral("%") + QString::number(i + 1);
        if (text.contains(marker))
            text.replace(marker, i < args.size() ? args[i] : QString());
    }
    return text;
}

void raise(int number, const QStringList &args) { throw RuntimeError(number, errorDescription(number, args)); }

int fileErrorNumber(int systemErrno)
{
    switch (systemErrno) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return err::DiskFullFile;
    case EACCES:
    case EPERM:
    case EROFS: return err::PermissionDenied;
    default: return err::PathFileAccess;
    }
}

void raiseFileError(int systemErrno) { raise(fileErrorNumber(systemErrno)); }

void raiseAfterWait(int number, qint64 waitedMs, const QStringList &args)
{
    throw RuntimeError(number, errorDescription(number, args), waitedMs);
}

}  // namespace platform
