#pragma once

#include "platform/dao/database.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>

// Sample archives for a manual run, for test fixtures and for benchmarks:
// declarants, offices, compartments, EDI accounts, currencies, countries,
// payment modes, declarations with their boxes; the program database beside
// them holds the layouts the program ships (programdatabase/).
namespace sampledata {

// The two sample declarants (professional codes with their CIN letter), their
// customs accounts, and their users on the EDI service with the passwords.
inline const QString Dichiarante1 = QStringLiteral("010101Z");
inline const QString Dichiarante2 = QStringLiteral("030201H");
inline const QString Conto1 = QStringLiteral("1234Z");
inline const QString Conto2 = QStringLiteral("5678J");

// The most declarations a generated archive holds: the answers find a
// declaration by the first six characters of its reference, which carry its
// number in five digits.
constexpr int MassimoDichiarazioni = 99999;

// The folders of a sample program folder that stand for what lies outside
// the computer: the removable medium (drive A:) and the EDI service's shares,
// one folder per EDI user code, each with its "corbix" folder.
inline const QString CartellaSupporto = QStringLiteral("supporto");
inline const QString CartellaServizio = QStringLiteral("servizio");

// The date of the sample declarations.
QDate sampleDate();
// The customs reference (box 07) of declaration n, 1 to MassimoDichiarazioni.
// The answers find a declaration by the first six of the last seven
// characters of its reference: the number in five digits leads them.
QString reference(int n);

// Adds the reference rows and declarations to a new archive, in one
// transaction. With generated = 0 it adds a handful of hand-made
// declarations (one of each message code); otherwise that many declarations
// of three articles each, numbered from 1.
void fillArchive(dao::Database &archive, int generated = 0);
// The files of a sample program folder already present in the folder: the two
// databases, CORBIX.INI, the drive table and the collection point.
QStringList existingSampleFiles(const QString &folder);

// Makes Archivio.mdb and Corbix.mdb in the folder and fills them. Refuses,
// changing nothing, when either file exists (3010); a failure leaves neither
// file behind.
void createSampleDatabases(const QString &folder, int generated = 0);

// Makes a program folder that the application, started in it, finds
// complete and that never reaches outside itself: the two databases, a drive
// table whose C: is the folder, whose A: is its folder "supporto" and whose
// share \\MACHINE\CODE of every declarant's EDI user code (MACHINE the
// service machine) is its folder "servizio/CODE", the collection point C:\Corbix\ recorded in
// the archive with its folders made, and CORBIX.INI naming the archive
// C:\Archivio.mdb. Refuses, changing nothing, when any of them exists (3010);
// a failure leaves none of them behind. The program-wide values are left as
// they were.
void createSampleProgramFolder(const QString &folder, int generated = 0);

// The command line of corbix-sample-data: FOLDER [--declarations N].
// Returns the exit code; messages go to err.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace sampledata
