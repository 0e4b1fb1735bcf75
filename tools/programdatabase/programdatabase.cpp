#include "programdatabase/programdatabase.h"

#include "common/archiveschema.h"
#include "common/commandline.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

namespace programdatabase {

namespace {

enum Scope : unsigned {
    First = 1,    // only on the first article line (C1, C7, C2, C9)
    Import = 2,   // import codes (C1, C11, C7, C71)
    Export = 4,   // export codes (C2, C21, C9, C91)
    Both = Import | Export,
};

struct LayoutField {
    unsigned scope;
    const char *description, *references, *treatment, *picture;
    bool mandatory, numeric, truncatable;
};

const LayoutField layoutFields[] = {
    {First | Both, "Tipo dichiarazione", "F0111;F0121", "STRCAT", "X(3)", true, false, false},
    {First | Both, "Ufficio doganale", "F2901", "", "X(6)", true, false, false},
    {First | Both, "Codice dichiarante", "F1401", "", "X(16)", true, false, false},
    {First | Both, "Riferimento del dichiarante", "F0701", "", "X(22)", true, false, false},
    {First | Both, "Numero degli articoli", "F0501", "", "9(3)", true, true, false},
    {First | Both, "Paese di spedizione", "F1501", "", "A(2)", true, false, false},
    {First | Both, "Paese di destinazione", "F1701", "", "A(2)", true, false, false},
    {First | Import, "Conto di debito", "F4801", "SOLOCONTODOG", "9(4)", false, true, false},
    {First | Import, "Carattere di controllo del conto", "F4801", "SOLOCINCONTODOG", "A(1)", false, false, false},
    {First | Export, "Deposito", "F4901", "", "X(10)", false, false, false},
    {Both, "Numero dell'articolo", "A3200", "", "9(3)", true, true, false},
    {Both, "Codice delle merci", "A3311", "", "X(10)", true, false, false},
    {Both, "Descrizione delle merci", "A3111", "", "X(70)", true, false, true},
    {Both, "Numero dei colli", "A3121", "COLLI", "9(5)", false, true, false},
    {Both, "Paese di origine", "A3401", "", "A(2)", true, false, false},
    {Both, "Massa lorda", "A3501", "", "9(9)V9(3)", true, true, false},
    {Both, "Massa netta", "A3801", "", "9(9)V9(3)", false, true, false},
    {Import, "Liquidazione dazio", "A4711;A4721;A4741;A4751", "LINEALIQUIDAZIONE", "X(20)", false, false, false},
    {Import, "Liquidazione IVA", "A4712;A4722;A4742;A4752", "LINEALIQUIDAZIONE", "X(20)", false, false, false},
    {Import, "Totale dell'articolo", "", "TOTART", "S9(11)V9(2)", false, true, false},
    {Import, "Totale della dichiarazione", "", "TOTGEN", "S9(11)V9(2)", false, true, false},
    {First | Both, "Data di invio", "", "SYSDATEGGMMAA", "9(6)", true, false, false},
};

// The first field of a record after its 22-character prefix, as the readers
// of flow lines and the answers count the fields.
constexpr int PrimoCampo = 7;

void fillLayout(dao::Database &db, const QString &code, unsigned scope, bool firstLine)
{
    int progressivo = PrimoCampo - 1;
    for (const LayoutField &f : layoutFields) {
        if (!(f.scope & scope) || ((f.scope & First) && !firstLine))
            continue;
        const QString refs = QString::fromLatin1(f.references);
        // An error on the field flags the boxes it is read from; the error
        // codes of the answers name the box and sub-box of its first one.
        QVariant mask1, mask2, repetition, errRefs;
        if (!refs.isEmpty()) {
            mask1 = refs.mid(1, 2);
            mask2 = refs.mid(3, 1);
            repetition = refs.mid(4, 1).toInt();
            errRefs = refs;
        }
        db.execute(QStringLiteral("INSERT INTO Tracciati (CodiceMsg, Progressivo, RifBRELK, Trattamento, "
                                  "Obbligatorio, Numerico, Troncabile, Descrizione, Picture, RifMask1, RifMask2, "
                                  "Ripetizione, RifBRELKErr) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {code, ++progressivo, refs.isEmpty() ? QVariant() : QVariant(refs),
                    *f.treatment ? QVariant(QString::fromLatin1(f.treatment)) : QVariant(), f.mandatory, f.numeric,
                    f.truncatable, QString::fromUtf8(f.description), QString::fromLatin1(f.picture), mask1, mask2,
                    repetition, errRefs},
                   dao::FailOnError);
    }
}

}  // namespace

void fillProgramDatabase(dao::Database &program)
{
    dao::Transaction transaction(program);
    for (const char *code : {"C1", "C7", "C2", "C9"}) {
        const QString first = QString::fromLatin1(code);
        const unsigned scope = first == QLatin1String("C1") || first == QLatin1String("C7") ? Import : Export;
        // The first article line has its own layout; the later lines use the
        // code with "1" appended.
        fillLayout(program, first, scope, true);
        fillLayout(program, first + u'1', scope, false);
    }
    transaction.commit();
}

void createFilledProgramDatabase(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        platform::raise(platform::err::AlreadyExists, {path});
    try {
        dao::Database program = common::createProgramDatabase(path);
        fillProgramDatabase(program);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString usage = QStringLiteral("Uso: corbix-program-database FILE");
    const QString help = usage
                         + QStringLiteral("\n"
                                          "Crea in FILE il database del programma con i tracciati record di ogni\n"
                                          "codice messaggio, quello che accompagna il programma.\n"
                                          "\n"
                                          "  --help     mostra questo aiuto ed esce\n"
                                          "  --version  mostra la versione ed esce");
    if (common::OpzioniDelPacchetto(arguments, QStringLiteral("corbix-program-database"), help, out))
        return 0;
    if (arguments.size() != 1 || common::Opzione(arguments.first())) {
        err << usage << '\n';
        return 2;
    }
    try {
        createFilledProgramDatabase(arguments.first());
    } catch (const platform::RuntimeError &e) {
        err << "Errore " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace programdatabase
