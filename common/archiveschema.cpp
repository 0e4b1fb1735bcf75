#include "common/archiveschema.h"

#include <QDate>
#include <QFile>
#include <functional>
#include <initializer_list>

namespace common {

using dao::Field;
using dao::FieldType;
using dao::Index;
using dao::TableDef;

namespace {

constexpr FieldType Boolean = FieldType::Boolean;
constexpr FieldType Byte = FieldType::Byte;
constexpr FieldType Integer = FieldType::Integer;
constexpr FieldType Long = FieldType::Long;
constexpr FieldType Double = FieldType::Double;
constexpr FieldType Date = FieldType::Date;
constexpr FieldType Text = FieldType::Text;
constexpr FieldType Memo = FieldType::Memo;

enum Flags : unsigned { None = 0, Req = 1, Azl = 2 };

// One field: size is the width of a Text field and ignored for the others;
// dflt is the default expression as the field keeps it ("\"A:\"", "0", "True").
Field field(const char *name, FieldType type, int size, int ord, unsigned flags = None, const char *dflt = "")
{
    Field f(QString::fromUtf8(name), type, type == Text ? size : 0);
    f.ordinalPosition = ord;
    f.required = flags & Req;
    f.allowZeroLength = flags & Azl;
    f.defaultValue = QString::fromUtf8(dflt);
    return f;
}

Index index(const char *name, std::initializer_list<const char *> fields, bool primary = false)
{
    Index i;
    i.name = QString::fromUtf8(name);
    for (const char *f : fields)
        i.fields.push_back({QString::fromUtf8(f), false});
    i.primary = primary;
    i.unique = primary;
    return i;
}

Index primaryKey(const char *name, std::initializer_list<const char *> fields) { return index(name, fields, true); }

TableDef table(const char *name, std::initializer_list<Field> fields, std::initializer_list<Index> indexes = {})
{
    TableDef t(QString::fromUtf8(name));
    for (const Field &f : fields)
        t.appendField(f);
    for (const Index &i : indexes)
        t.appendIndex(i);
    return t;
}

// A history table holds the fields and indexes of the table it keeps.
TableDef history(const TableDef &source)
{
    TableDef copy = source;
    copy.setName(QStringLiteral("H") + source.name());
    return copy;
}

TableDef indiceDoc()
{
    return table("IndiceDoc",
                 {field("Indice", Long, 0, 1, Req), field("Data", Date, 0, 2, Req), field("CodiceDoc", Text, 10, 3),
                  field("Stato1", Integer, 0, 4), field("ultimadata", Date, 0, 5)},
                 {primaryKey("PrimaryKey", {"Indice", "Data"})});
}

TableDef dettaglioBol()
{
    // Several rows may address one box (readers take the first, or the last):
    // the index serves the look-ups and imposes no uniqueness.
    return table("DettaglioBol",
                 {field("Indice", Long, 0, 1, Req), field("Data", Date, 0, 2, Req), field("Articolo", Integer, 0, 3),
                  field("Modulo", Text, 1, 4), field("Campo", Text, 2, 5), field("SottoCasella", Text, 2, 6),
                  field("Riga", Text, 2, 7), field("Contenuto", Text, 255, 8), field("MaxLung", Integer, 0, 9),
                  field("Corretto", Boolean, 0, 10), field("Gestito", Boolean, 0, 11),
                  field("Controllato", Boolean, 0, 12)},
                 {index("Casella", {"Indice", "Data", "Articolo", "Modulo", "Campo", "SottoCasella", "Riga"})});
}

TableDef compagnia()
{
    return table("Compagnia",
                 {field("Codice", Text, 10, 1, Azl), field("LetterD", Text, 1, 2, Azl), field("Sigla", Text, 3, 3, Azl),
                  field("Nome", Text, 28, 4), field("Anagrafica", Text, 115, 5), field("Accounting", Text, 190, 6, Azl),
                  field("Valuta", Text, 3, 7, Azl)},
                 {primaryKey("PrimaryKey", {"Codice", "LetterD", "Sigla"})});
}

// One row per table of the archive; the tables changed since their first
// layout stand at revision 2.
void fillRevisions(dao::Database &db)
{
    for (const TableDef &t : db.tableDefs()) {
        const bool changed = t.name() == QLatin1String("Valuta") || t.name() == QLatin1String("Compagnia");
        db.execute(QStringLiteral("INSERT INTO RevisioniTabelle (Tabella, Revisione) VALUES (?, ?)"),
                   {t.name(), changed ? 2 : 1}, dao::FailOnError);
    }
}

void fillArchive(dao::Database &db)
{
    // Jet's zero date stands in the date of a new row.
    db.execute(QStringLiteral("INSERT INTO Paragen (Versione, UsaQuestoNome, UltimaArchBoll, PeriodoArchBoll, "
                              "TipoPeriodoBoll) VALUES (?, ?, ?, ?, ?)"),
               {ArchiveVersionMarker, false, QDate(1899, 12, 30), 1, 0}, dao::FailOnError);
    const std::pair<const char *, const char *> modules[] = {
        {"X00", "99.03.0001"}, {"X01", "99.02.0027"}, {"X02", "99.03.0006"}, {"X07", "99.06.0000"}};
    for (const auto &[module, revision] : modules)
        db.execute(QStringLiteral("INSERT INTO Compatibilita (ModuloSW, Revisione) VALUES (?, ?)"),
                   {QString::fromUtf8(module), QString::fromUtf8(revision)}, dao::FailOnError);
    // Centrale takes its default, the empty text.
    db.execute(QStringLiteral("INSERT INTO Paramflu (FloppyDevice, SendWith, PreventCheck, WhereWrite, UserDir) "
                              "VALUES (?, ?, ?, ?, ?)"),
               {QStringLiteral("A:"), 0, false, 0, QStringLiteral("C:\\")}, dao::FailOnError);
    db.execute(QStringLiteral("INSERT INTO AliasTabelle (Nome, Descrizione, NomeNelDB) VALUES (?, ?, ?)"),
               {QStringLiteral("Anagrafe"), QStringLiteral("Archivio anagrafico clienti/fornitori"),
                QStringLiteral("zrqanagrafe")},
               dao::FailOnError);
    struct Alias {
        const char *table, *field, *real;
        int type;
        const char *description;
        int length;
    };
    const Alias aliases[] = {
        {"Anagrafe", "CAP", "cap", 1, "Codice di Avviamento Postale", 800},
        {"Anagrafe", "Codice", "Codice", 1, "Codice univoco per l'indentificazione del cliente/fornitore", 1500},
        {"Anagrafe", "Indirizzo", "Indirizzo", 1, "Indirizzo del cliente/fornitore", 4000},
        {"Anagrafe", "Indirizzo2", "Indirizzo2", 1, "Eventuale seconda parte dell'indirizzo.", 4000},
        {"Anagrafe", "Localita", "localita", 1, "Denominazione della località", 4000},
        {"Anagrafe", "PICF", "picf", 1, "Partita IVA o codice fiscale", 1800},
        {"Anagrafe", "Provincia", "provincia", 1, "Sigla della provincia", 500},
        {"Anagrafe", "Ragione Sociale", "ragione", 1, "Ragione sociale del cliente/fornitore", 4000},
        {"Anagrafe", "Stato", "stato", 1, "Codice 'ISO' del paese di appartenenza", 500},
        {"Tributi", "Detrazione", "Destrazione", 2, "Importo del tributo in detrazione", 700},
    };
    for (const Alias &a : aliases)
        db.execute(QStringLiteral("INSERT INTO AliasCampiTabelle (NomeTabella, NomeCampo, NomeRealeCampo, Tipo, "
                                  "Descrizione, Lunghezza) VALUES (?, ?, ?, ?, ?, ?)"),
                   {QString::fromUtf8(a.table), QString::fromUtf8(a.field), QString::fromUtf8(a.real), a.type,
                    QString::fromUtf8(a.description), a.length},
                   dao::FailOnError);
    fillRevisions(db);
}

dao::Database createDatabase(const QString &path, const std::vector<TableDef> &tables,
                             const std::function<void(dao::Database &)> &fill)
{
    dao::Database db = dao::Database::create(path);
    try {
        dao::Transaction transaction(db);
        for (const TableDef &t : tables)
            db.appendTableDef(t);
        if (fill)
            fill(db);
        transaction.commit();
    } catch (...) {
        db.close();
        QFile::remove(path);
        throw;
    }
    return db;
}

}  // namespace

std::vector<TableDef> archiveTables()
{
    std::vector<TableDef> tables;
    tables.push_back(table("Paragen", {field("Versione", Text, 20, 1), field("NomeDitta", Text, 50, 2),
                                       field("UsaQuestoNome", Boolean, 0, 3), field("UltimaArchBoll", Date, 0, 4),
                                       field("PeriodoArchBoll", Integer, 0, 5),
                                       field("TipoPeriodoBoll", Integer, 0, 6)}));
    tables.push_back(table("Compatibilita", {field("ModuloSW", Text, 3, 1, Req, "\"\""),
                                             field("Revisione", Text, 10, 2, Req, "\"\"")}));
    tables.push_back(table("Corbix",
                           {field("Posizione", Byte, 0, 1), field("Data", Date, 0, 2), field("Progressivo", Long, 0, 3),
                            field("NomeFile", Text, 255, 4, Azl, "\"\""), field("CompostoDa", Memo, 0, 5, Azl),
                            field("Stato", Byte, 0, 6), field("Tipo", Byte, 0, 7),
                            field("RifFloppy", Text, 12, 8, Azl, "\"\""), field("FattoDa", Text, 16, 9, Azl, "\"\""),
                            field("OK", Byte, 0, 10), field("KO", Byte, 0, 11), field("ND", Byte, 0, 12)},
                           {primaryKey("Primario", {"Posizione", "Data", "Progressivo"})}));
    tables.push_back(table("Paramflu", {field("FloppyDevice", Text, 2, 1, None, "\"A:\""), field("SendWith", Byte, 0, 2),
                                        field("PreventCheck", Boolean, 0, 3),
                                        field("Centrale", Text, 255, 4, Azl, "\"\""), field("WhereWrite", Byte, 0, 5),
                                        field("UserDir", Text, 255, 6, Azl, "\"\"")}));
    tables.push_back(table("Spedoga",
                           {field("Codice", Text, 16, 1, Req), field("Descrizione", Text, 35, 2),
                            field("Frase1", Text, 25, 3), field("Frase2", Text, 25, 4), field("ProgIM", Long, 0, 5),
                            field("ContoDog", Text, 5, 6), field("CodiceUtenza", Text, 4, 10, Azl, "\"\""),
                            field("PasswdUtenza", Text, 8, 11, Azl, "\"\""),
                            field("AutoPasswd", Boolean, 0, 12, None, "False"),
                            field("Ufficio", Text, 6, 13, Azl, "\"\""), field("POPAccount", Text, 30, 14, Azl, "\"\""),
                            field("PasswdPOPAccount", Text, 30, 15, Azl, "\"\"")},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("UtenzeEDI", {field("Dichiarante", Text, 16, 0, Req, "\"\""),
                                         field("UA", Text, 16, 1, Req, "\"\""),
                                         field("RagSocUA", Text, 50, 2, Req, "\"\""),
                                         field("Login", Text, 4, 3, Req, "\"\""),
                                         field("Passwd", Text, 8, 4, Req, "\"\""),
                                         field("Protocol", Text, 4, 5, Req, "\"\""),
                                         field("CodiceCED", Text, 4, 6, Req, "\"\""),
                                         field("DescrizioneCED", Text, 25, 7, Req, "\"\""),
                                         field("NodoSdA", Text, 4, 8, Req, "\"\""),
                                         field("TPMonitor", Text, 8, 9, Req, "\"\"")}));
    tables.push_back(table("Valuta",
                           {field("Codice", Text, 3, 1, Req), field("Descrizione", Text, 50, 2),
                            field("Quotata", Boolean, 0, 3), field("Dogana", Text, 3, 4), field("IATA", Text, 3, 5),
                            field("PosizioniDecimali", Byte, 0, 6, Req)},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("RevisioniTabelle", {field("Tabella", Text, 255, 1, Req, "\"\""),
                                                field("Revisione", Integer, 0, 2, Req, "0")}));
    tables.push_back(table("AliasTabelle", {field("Nome", Text, 50, 1), field("Descrizione", Text, 255, 2),
                                            field("NomeNelDB", Text, 50, 3)}));
    tables.push_back(table("AliasCampiTabelle",
                           {field("NomeTabella", Text, 50, 1), field("NomeCampo", Text, 50, 2),
                            field("NomeRealeCampo", Text, 50, 3), field("Tipo", Integer, 0, 4),
                            field("Descrizione", Text, 255, 5), field("Lunghezza", Integer, 0, 6)}));
    tables.push_back(indiceDoc());
    tables.push_back(dettaglioBol());
    tables.push_back(table("Stati",
                           {field("Codice", Text, 2, 1, Req), field("GeoCodice", Text, 3, 2),
                            field("Descrizione", Text, 50, 3), field("Valuta", Text, 3, 4), field("Aereo", Text, 10, 5)},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("CompDog",
                           {field("Stato", Text, 2, 1, Req), field("Codice", Text, 2, 2, Req),
                            field("Descrizione", Text, 25, 3), field("Provincia", Text, 2, 4), field("CED", Text, 4, 5)},
                           {primaryKey("PrimaryKey", {"Stato", "Codice"})}));
    tables.push_back(table("Dogane",
                           {field("Codice", Text, 6, 1, Req), field("CodiceComp", Text, 2, 2), field("Stato", Text, 2, 3)},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("ContoDoga",
                           {field("Codice", Text, 5, 1, Req), field("Intestatario", Text, 50, 2),
                            field("Fido", Double, 0, 3), field("Obbligato", Text, 255, 4)},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("Province", {field("Codice", Text, 2, 1, Req), field("Descrizione", Text, 50, 2)},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("ModoPagamento", {field("Codice", Text, 3, 1, Req), field("DaGarantire", Text, 20, 2)},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("GrupPae", {field("Figlio", Text, 2, 1)}));
    tables.push_back(table("ZRQAnagrafe",
                           {field("Codice", Text, 15, 1, Req), field("ragione", Text, 40, 2),
                            field("Indirizzo", Text, 40, 3), field("Indirizzo2", Text, 40, 4), field("cap", Text, 8, 5),
                            field("localita", Text, 40, 6), field("provincia", Text, 5, 7), field("stato", Text, 5, 8),
                            field("picf", Text, 18, 9)},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table("Tributi",
                           {field("Codice", Text, 4, 1, Req), field("Descrizione", Text, 50, 2),
                            field("Destrazione", Double, 0, 3), field("BaseXIVA", Boolean, 0, 4),
                            field("FaDaIVA", Boolean, 0, 5), field("Duplicabile", Boolean, 0, 6),
                            field("IncludiNonZero", Boolean, 0, 7), field("AutoLiquida", Boolean, 0, 8, Req, "True")},
                           {primaryKey("PrimaryKey", {"Codice"})}));
    tables.push_back(table(
        "Merci",
        {field("Codtar", Text, 10, 1, Req), field("ClaPae", Text, 3, 2, Req), field("Tributo", Text, 4, 3, Req),
         field("Ordinale", Integer, 0, 4, Req), field("Preferenze", Text, 3, 5, Req, "\"100\""),
         field("Annotazioni", Memo, 0, 6, Azl), field("FormulaBI", Memo, 0, 7, Azl), field("MIN", Memo, 0, 8, Azl),
         field("MAX", Memo, 0, 9, Azl), field("UsaFormulaAliq", Boolean, 0, 10, None, "True"),
         field("AliqUsaFormBI", Boolean, 0, 11, None, "False"), field("UsaFormulaMIN", Boolean, 0, 12, None, "False"),
         field("DirUniUsaFormBI", Boolean, 0, 13, None, "False"), field("AltreLocali", Boolean, 0, 14, None, "False"),
         field("InserisciAncheZero", Boolean, 0, 15, None, "False"), field("Puntatore", Text, 22, 16, Azl)},
        {primaryKey("PrimaryKey", {"Codtar", "ClaPae", "Tributo", "Ordinale", "Preferenze"})}));
    tables.push_back(table("DescriBol",
                           {field("Codtar", Text, 10, 1, Req), field("Descrizione", Text, 255, 2),
                            field("UniSup", Text, 10, 3, Azl)},
                           {primaryKey("PrimaryKey", {"Codtar"})}));
    tables.push_back(compagnia());
    tables.push_back(history(indiceDoc()));
    tables.push_back(history(dettaglioBol()));
    TableDef hCompagnia = history(compagnia());
    hCompagnia.appendField(field("Eliminato", Date, 0, 8, Req));
    tables.push_back(hCompagnia);
    return tables;
}

TableDef tracciatiTable()
{
    return table("Tracciati",
                 {field("CodiceMsg", Text, 8, 1, Req), field("Progressivo", Integer, 0, 2, Req),
                  field("RifBRELK", Text, 255, 3), field("Trattamento", Text, 20, 4),
                  field("Obbligatorio", Boolean, 0, 5), field("Numerico", Boolean, 0, 6),
                  field("Troncabile", Boolean, 0, 7), field("Descrizione", Text, 80, 8), field("Picture", Text, 20, 9),
                  field("RifMask1", Text, 2, 10), field("RifMask2", Text, 2, 11), field("Ripetizione", Integer, 0, 12),
                  field("RifBRELKErr", Text, 255, 13)},
                 {primaryKey("PrimaryKey", {"CodiceMsg", "Progressivo"}),
                  index("Errore", {"CodiceMsg", "RifMask1", "RifMask2", "Ripetizione"})});
}

TableDef pianoDeiContiTable()
{
    return table("PianoDeiConti",
                 {field("Codice", Text, 20, 1, Req), field("Descrizione", Text, 50, 2), field("natura", Text, 1, 3),
                  field("parola", Text, 30, 4)},
                 {primaryKey("PrimaryKey", {"Codice"})});
}

dao::Database createArchive(const QString &path) { return createDatabase(path, archiveTables(), fillArchive); }

dao::Database createProgramDatabase(const QString &path) { return createDatabase(path, {tracciatiTable()}, {}); }

dao::Database createAccountingDatabase(const QString &path)
{
    return createDatabase(path, {pianoDeiContiTable()}, {});
}

}  // namespace common
