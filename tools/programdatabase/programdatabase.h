#pragma once

#include "platform/dao/database.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// The program database Corbix.mdb as the program ships it: the record
// layouts (Tracciati) of every message code. The build makes the shipped
// file with corbix-program-database; corbix-sample-data puts the same
// layouts in the folders it makes.
namespace programdatabase {

// Adds the record layouts of the message codes C1, C11, C7, C71, C2, C21, C9
// and C91 to a new program database, in one transaction.
void fillProgramDatabase(dao::Database &program);

// Makes the program database at the host path and fills it. Refuses,
// changing nothing, when a file is there (3010); a failure leaves no file.
void createFilledProgramDatabase(const QString &path);

// The command line of corbix-program-database: FILE. Returns the exit code;
// messages go to err.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace programdatabase
