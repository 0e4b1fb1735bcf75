#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

namespace platform {

// A run-time error as the program's procedures meet it: the number they test
// for and the Italian description shown to the user.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString &description, qint64 waitedMs = 0);

    int number() const { return number_; }
    const QString &description() const { return description_; }
    // How long the data layer had already waited for the lock it reports:
    // a procedure's silent wait counts it.
    qint64 waitedMs() const { return waitedMs_; }

private:
    int number_;
    QString description_;
    qint64 waitedMs_;
};

// Numbers the program tests for by name.
namespace err {
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int TypeMismatch = 13;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFullFile = 61;
constexpr int DeviceUnavailable = 68;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int PrinterFunctionNotSupported = 483;
constexpr int ReservedError = 3000;
constexpr int InvalidArgument = 3001;
constexpr int TableLockedExclusive = 3008;
constexpr int AlreadyExists = 3010;
constexpr int ObjectNotFound = 3011;
constexpr int UpdateWithoutEdit = 3020;
constexpr int NoCurrentRecord = 3021;
constexpr int DuplicateKey = 3022;
constexpr int DatabaseFileNotFound = 3024;
constexpr int DiskFull = 3026;
constexpr int ReadOnly = 3027;
constexpr int CommitWithoutBegin = 3034;
constexpr int DiskOrNetworkError = 3043;
constexpr int FileInUse = 3045;
constexpr int DatabaseCorrupt = 3049;
constexpr int DatabaseReadOnly = 3051;
constexpr int AmbiguousField = 3079;
constexpr int InvalidName = 3125;
constexpr int NullInIndex = 3058;
constexpr int TooFewParameters = 3061;
constexpr int SyntaxErrorInExpression = 3075;
constexpr int SyntaxErrorInFrom = 3131;
constexpr int CharactersAfterEnd = 3142;
constexpr int FieldTooSmall = 3163;
constexpr int RecordDeleted = 3167;
constexpr int DuplicateField = 3191;
constexpr int DataChanged = 3197;
constexpr int CouldNotUpdateLocked = 3218;
constexpr int CouldNotLockTable = 3261;
constexpr int CouldNotLockTableDenied = 3262;
constexpr int NoFields = 3264;
constexpr int ItemNotFound = 3265;
constexpr int PrimaryKeyExists = 3283;
constexpr int IndexAlreadyExists = 3284;
constexpr int FieldRequired = 3314;
constexpr int ZeroLengthNotAllowed = 3315;
constexpr int UnrecognizedDatabaseFormat = 3343;
constexpr int ObjectInvalid = 3420;
constexpr int DataTypeConversion = 3421;
constexpr int DataTypeMismatch = 3464;

// Whether a number is one of the locks another program's hold makes us meet.
constexpr bool isLock(int number)
{
    return number == CouldNotUpdateLocked || number == CouldNotLockTable || number == CouldNotLockTableDenied;
}
// Whether a number tells a write that the disk or the system refused: no
// space, no permission, a fault of the file or of the disk.
constexpr bool isWriteRefusal(int number)
{
    return number == DiskFullFile || number == PermissionDenied || number == PathFileAccess || number == DiskFull
           || number == DiskOrNetworkError;
}
}  // namespace err

// The Italian description of a number, with "%1", "%2" filled from args.
QString errorDescription(int number, const QStringList &args = {});

[[noreturn]] void raise(int number, const QStringList &args = {});

// The number of a file operation the system refused with systemErrno: 61
// for lack of space, 70 for a refused permission (a read-only medium
// included), 75 for any other fault.
int fileErrorNumber(int systemErrno);

// The error of a file operation that failed with systemErrno, read at once
// after the failing call.
[[noreturn]] void raiseFileError(int systemErrno);

// A lock met after waiting for it waitedMs.
[[noreturn]] void raiseAfterWait(int number, qint64 waitedMs, const QStringList &args = {});

}  // namespace platform
