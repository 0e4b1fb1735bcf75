#pragma once

#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/errors.h"
#include "support/otherprogram.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

namespace daotest {

// The number of the error a call throws; 0 when it throws none.
inline int errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const platform::RuntimeError &e) {
        return e.number();
    }
    return 0;
}

// A table with one field of every type and a rule on each, as the archive
// tables have them.
inline dao::TableDef sampleTable()
{
    using dao::Field;
    using dao::FieldType;
    dao::TableDef t("Prova");
    Field key("Codice", FieldType::Text, 5);
    key.required = true;
    t.appendField(key);
    Field name("Nome", FieldType::Text, 10);
    name.required = true;
    t.appendField(name);
    Field note("Nota", FieldType::Text, 20);
    note.allowZeroLength = true;
    t.appendField(note);
    t.appendField(Field("Attivo", FieldType::Boolean));
    Field count("Contatore", FieldType::Byte);
    count.defaultValue = "0";
    t.appendField(count);
    t.appendField(Field("Piccolo", FieldType::Integer));
    t.appendField(Field("Grande", FieldType::Long));
    t.appendField(Field("Importo", FieldType::Double));
    t.appendField(Field("Data", FieldType::Date));
    t.appendField(Field("Testo", FieldType::Memo));
    dao::Index pk;
    pk.name = "PrimaryKey";
    pk.primary = true;
    pk.unique = true;
    pk.fields = {{"Codice", false}};
    t.appendIndex(pk);
    dao::Index byName;
    byName.name = "Nome";
    byName.unique = true;
    byName.fields = {{"Nome", false}};
    t.appendIndex(byName);
    return t;
}

// A database file in a temporary folder holding sampleTable().
class DaoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("prova.mdb");
        db = dao::Database::create(path);
        db.appendTableDef(sampleTable());
    }

    void insert(const QString &code, const QString &name)
    {
        db.execute("INSERT INTO Prova (Codice, Nome) VALUES (?, ?)", {code, name}, dao::FailOnError);
    }

    testsupport::TempDir dir;
    QString path;
    dao::Database db;
};

using RawConnection = testsupport::OtherProgram;

}  // namespace daotest
