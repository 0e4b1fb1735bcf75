#include "sampledata/sampledata.h"

#include "common/archiveschema.h"
#include "common/commandline.h"
#include "common/globals.h"
#include "common/servizioedi.h"
#include "common/settings.h"
#include "flowengine/collectionpoint.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "programdatabase/programdatabase.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <vector>

namespace sampledata {

namespace {

using Values = QVariantList;

void insert(dao::Database &db, const QString &table, const QStringList &columns, const Values &values)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    db.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
               values, dao::FailOnError);
}

void fillReferenceTables(dao::Database &db)
{
    db.execute(QStringLiteral("UPDATE Paragen SET NomeDitta = ?, UsaQuestoNome = ?"),
               {QStringLiteral("Rossi Spedizioni S.r.l."), true}, dao::FailOnError);

    const QStringList spedoga = {QStringLiteral("Codice"),       QStringLiteral("Descrizione"),
                                 QStringLiteral("Frase1"),       QStringLiteral("Frase2"),
                                 QStringLiteral("ProgIM"),       QStringLiteral("ContoDog"),
                                 QStringLiteral("CodiceUtenza"), QStringLiteral("PasswdUtenza"),
                                 QStringLiteral("AutoPasswd"),   QStringLiteral("Ufficio")};
    insert(db, QStringLiteral("Spedoga"), spedoga,
           {Dichiarante1, QStringLiteral("Rossi Spedizioni S.r.l."),
            QStringLiteral("Spedizioniere doganale"), QStringLiteral("Via Roma 1 - Torino"), 101, Conto1, QStringLiteral("R001"), QStringLiteral("rossi001"), true,
            QStringLiteral("012100")});
    insert(db, QStringLiteral("Spedoga"), spedoga,
           {Dichiarante2, QStringLiteral("Bianchi & C. Dogane S.n.c."),
            QStringLiteral("Rappresentante indiretto"), QVariant(), 57, Conto2,
            QStringLiteral("B002"), QStringLiteral("bianchi2"), false, QStringLiteral("032100")});

    const QStringList conto = {QStringLiteral("Codice"), QStringLiteral("Intestatario"), QStringLiteral("Fido"),
                               QStringLiteral("Obbligato")};
    insert(db, QStringLiteral("ContoDoga"), conto,
           {Conto1, QStringLiteral("Rossi Spedizioni S.r.l."), 150000.0,
            QStringLiteral("Banca Esempio S.p.A.\r\nVia Garibaldi 10\r\n10121 Torino")});
    insert(db, QStringLiteral("ContoDoga"), conto,
           {Conto2, QStringLiteral("Bianchi & C. Dogane S.n.c."), 80000.0,
            QStringLiteral("Assicurazioni Esempio S.p.A.\r\nPiazza De Ferrari 2\r\n16121 Genova")});

    const QStringList province = {QStringLiteral("Codice"), QStringLiteral("Descrizione")};
    insert(db, QStringLiteral("Province"), province, {QStringLiteral("TO"), QStringLiteral("Torino")});
    insert(db, QStringLiteral("Province"), province, {QStringLiteral("GE"), QStringLiteral("Genova")});
    insert(db, QStringLiteral("Province"), province, {QStringLiteral("MI"), QStringLiteral("Milano")});

    const QStringList compDog = {QStringLiteral("Stato"), QStringLiteral("Codice"), QStringLiteral("Descrizione"),
                                 QStringLiteral("Provincia"), QStringLiteral("CED")};
    insert(db, QStringLiteral("CompDog"), compDog,
           {QStringLiteral("IT"), QStringLiteral("01"), QStringLiteral("Compartimento di Torino"), QStringLiteral("TO"),
            QStringLiteral("0101")});
    insert(db, QStringLiteral("CompDog"), compDog,
           {QStringLiteral("IT"), QStringLiteral("03"), QStringLiteral("Compartimento di Genova"), QStringLiteral("GE"),
            QStringLiteral("0301")});
    insert(db, QStringLiteral("CompDog"), compDog,
           {QStringLiteral("IT"), QStringLiteral("05"), QStringLiteral("Compartimento di Milano"), QStringLiteral("MI"),
            QVariant()});

    const QStringList dogane = {QStringLiteral("Codice"), QStringLiteral("CodiceComp"), QStringLiteral("Stato")};
    for (const char *office : {"012100", "012200", "032100", "052100"})
        insert(db, QStringLiteral("Dogane"), dogane,
               {QString::fromLatin1(office), QString::fromLatin1(office).left(2), QStringLiteral("IT")});

    const QStringList utenze = {QStringLiteral("Dichiarante"), QStringLiteral("UA"),        QStringLiteral("RagSocUA"),
                                QStringLiteral("Login"),       QStringLiteral("Passwd"),    QStringLiteral("Protocol"),
                                QStringLiteral("CodiceCED"),   QStringLiteral("DescrizioneCED"),
                                QStringLiteral("NodoSdA"),     QStringLiteral("TPMonitor")};
    insert(db, QStringLiteral("UtenzeEDI"), utenze,
           {Dichiarante1, QStringLiteral("01234560017"), QStringLiteral("Rossi Spedizioni S.r.l."),
            QStringLiteral("R001"), QStringLiteral("rossi001"), QStringLiteral("FTP"), QStringLiteral("0101"),
            QStringLiteral("CED di Torino"), QStringLiteral("N001"), QStringLiteral("CICS")});
    insert(db, QStringLiteral("UtenzeEDI"), utenze,
           {Dichiarante2, QStringLiteral("07654320030"), QStringLiteral("Bianchi & C. Dogane S.n.c."),
            QStringLiteral("B002"), QStringLiteral("bianchi2"), QStringLiteral("FTP"), QStringLiteral("0301"),
            QStringLiteral("CED di Genova"), QStringLiteral("N003"), QStringLiteral("CICS")});

    const QStringList valuta = {QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Quotata"),
                                QStringLiteral("Dogana"), QStringLiteral("IATA"), QStringLiteral("PosizioniDecimali")};
    struct Currency {
        const char *code, *name;
        bool quoted;
        const char *customs;
    };
    for (const Currency &c : {Currency{"EUR", "Euro", false, "978"}, Currency{"USD", "Dollaro USA", true, "840"},
                              Currency{"CHF", "Franco svizzero", true, "756"}, Currency{"CNY", "Renminbi", true, "156"}})
        insert(db, QStringLiteral("Valuta"), valuta,
               {QString::fromLatin1(c.code), QString::fromLatin1(c.name), c.quoted, QString::fromLatin1(c.customs),
                QString::fromLatin1(c.code), 2});

    const QStringList stati = {QStringLiteral("Codice"), QStringLiteral("GeoCodice"), QStringLiteral("Descrizione"),
                               QStringLiteral("Valuta")};
    struct Country {
        const char *code, *geo, *name, *currency;
    };
    for (const Country &c : {Country{"IT", "005", "Italia", "EUR"}, Country{"DE", "004", "Germania", "EUR"},
                             Country{"CH", "039", "Svizzera", "CHF"}, Country{"US", "400", "Stati Uniti", "USD"},
                             Country{"CN", "720", "Cina", "CNY"}})
        insert(db, QStringLiteral("Stati"), stati,
               {QString::fromLatin1(c.code), QString::fromLatin1(c.geo), QString::fromLatin1(c.name),
                QString::fromLatin1(c.currency)});

    // Cash is collected at once; the deferred modes name the part of the
    // customs account they guarantee with.
    const QStringList modo = {QStringLiteral("Codice"), QStringLiteral("DaGarantire")};
    insert(db, QStringLiteral("ModoPagamento"), modo, {QStringLiteral("A"), QStringLiteral("False")});
    insert(db, QStringLiteral("ModoPagamento"), modo, {QStringLiteral("F"), QStringLiteral("SOLOCONTODOG")});
    insert(db, QStringLiteral("ModoPagamento"), modo, {QStringLiteral("G"), QStringLiteral("SOLOCINCONTODOG")});

    insert(db, QStringLiteral("GrupPae"), {QStringLiteral("Figlio")}, {QStringLiteral("DE")});
    insert(db, QStringLiteral("ZRQAnagrafe"),
           {QStringLiteral("Codice"), QStringLiteral("ragione"), QStringLiteral("Indirizzo"), QStringLiteral("cap"),
            QStringLiteral("localita"), QStringLiteral("provincia"), QStringLiteral("stato"), QStringLiteral("picf")},
           {QStringLiteral("C0001"), QStringLiteral("Meccanica Esempio GmbH"), QStringLiteral("Hauptstrasse 5"),
            QStringLiteral("80331"), QStringLiteral("Monaco di Baviera"), QVariant(), QStringLiteral("DE"),
            QStringLiteral("DE123456789")});
}

// ---------------------------------------------------------------- declarations

struct Article {
    QString description, packages, commodity, origin, gross, net;
    QString duty, vat;  // amounts of the two tax lines (imports only)
};

struct Declaration {
    int indice;
    QDate date;
    QString kind;        // box 01 sub-box 1: "IM" or "EX"
    QString procedure;   // box 01 sub-box 2
    QString reference;   // box 07
    QString declarant;   // box 14
    QString office;      // box 29
    QString account;     // box 48
    QString warehouse;   // box 49, exports
    QString method;      // payment method of the tax lines
    std::vector<Article> articles;
};

class BoxWriter {
public:
    BoxWriter(dao::Database &db, const Declaration &d) : db_(db), d_(d) {}

    void box(const QVariant &article, const QString &module, const QString &campo, const QString &sub,
             const QString &riga, const QVariant &contenuto, int maxLung)
    {
        db_.execute(QStringLiteral("INSERT INTO DettaglioBol (Indice, Data, Articolo, Modulo, Campo, SottoCasella, "
                                   "Riga, Contenuto, MaxLung, Corretto, Gestito, Controllato) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {d_.indice, d_.date, article, module, campo, sub, riga, contenuto, maxLung, true, true, false},
                    dao::FailOnError);
    }
    void front(const QString &campo, const QString &sub, const QVariant &contenuto, int maxLung)
    {
        box(QVariant(), QStringLiteral("F"), campo, sub, QStringLiteral("1"), contenuto, maxLung);
    }
    void article(int k, const QString &campo, const QString &sub, const QString &riga, const QString &contenuto,
                 int maxLung)
    {
        box(k, QStringLiteral("A"), campo, sub, riga, contenuto, maxLung);
    }

private:
    dao::Database &db_;
    const Declaration &d_;
};

void writeDeclaration(dao::Database &db, const Declaration &d)
{
    db.execute(QStringLiteral("INSERT INTO IndiceDoc (Indice, Data, CodiceDoc, Stato1, ultimadata) VALUES (?, ?, ?, ?, ?)"),
               {d.indice, d.date, QStringLiteral("BOLL"), 0, d.date}, dao::FailOnError);
    BoxWriter w(db, d);
    const bool import = d.kind == QLatin1String("IM");
    w.front(QStringLiteral("01"), QStringLiteral("1"), d.kind, 2);
    w.front(QStringLiteral("01"), QStringLiteral("2"), d.procedure, 1);
    w.front(QStringLiteral("05"), QStringLiteral("0"), QString::number(d.articles.size()), 3);
    w.front(QStringLiteral("07"), QStringLiteral("0"), d.reference, 22);
    w.front(QStringLiteral("14"), QStringLiteral("0"), d.declarant, 16);
    w.front(QStringLiteral("15"), QStringLiteral("0"), import ? QStringLiteral("CN") : QStringLiteral("IT"), 2);
    w.front(QStringLiteral("17"), QStringLiteral("0"), import ? QStringLiteral("IT") : QStringLiteral("CH"), 2);
    w.front(QStringLiteral("29"), QStringLiteral("0"), d.office, 6);
    if (import)
        w.front(QStringLiteral("48"), QStringLiteral("0"), d.account, 5);
    else
        w.front(QStringLiteral("49"), QStringLiteral("0"), d.warehouse, 10);
    // The seven lines of box B, filled in by the outcome of the answer.
    for (int riga = 1; riga <= 7; ++riga)
        w.box(QVariant(), QStringLiteral("F"), QStringLiteral("0B"), QStringLiteral("0"), QString::number(riga),
              QVariant(), 0);
    for (int k = 1; k <= int(d.articles.size()); ++k) {
        const Article &a = d.articles[size_t(k - 1)];
        w.article(k, QStringLiteral("32"), QStringLiteral("0"), QStringLiteral("0"), QString::number(k), 3);
        w.article(k, QStringLiteral("31"), QStringLiteral("1"), QStringLiteral("1"), a.description, 70);
        w.article(k, QStringLiteral("31"), QStringLiteral("2"), QStringLiteral("1"), a.packages, 20);
        w.article(k, QStringLiteral("33"), QStringLiteral("1"), QStringLiteral("1"), a.commodity, 10);
        w.article(k, QStringLiteral("34"), QStringLiteral("0"), QStringLiteral("1"), a.origin, 2);
        w.article(k, QStringLiteral("35"), QStringLiteral("0"), QStringLiteral("1"), a.gross, 13);
        w.article(k, QStringLiteral("38"), QStringLiteral("0"), QStringLiteral("1"), a.net, 13);
        if (!import)
            continue;
        // Box 47, one line per tax: type, base, rate, amount, payment method.
        const double base = a.net.toDouble() * 10;
        const std::pair<const char *, QString> taxes[] = {{"A00", a.duty}, {"B00", a.vat}};
        int riga = 0;
        for (const auto &[type, amount] : taxes) {
            const QString r = QString::number(++riga);
            w.article(k, QStringLiteral("47"), QStringLiteral("1"), r, QString::fromLatin1(type), 3);
            w.article(k, QStringLiteral("47"), QStringLiteral("2"), r, QString::number(base, 'f', 2), 13);
            w.article(k, QStringLiteral("47"), QStringLiteral("3"), r,
                      riga == 1 ? QStringLiteral("2.7") : QStringLiteral("22"), 5);
            w.article(k, QStringLiteral("47"), QStringLiteral("4"), r, amount, 13);
            w.article(k, QStringLiteral("47"), QStringLiteral("5"), r, d.method, 1);
        }
    }
}

Article article(int n)
{
    static const char *const descriptions[] = {"Elaboratori portatili", "Parti di ricambio per macchine utensili",
                                               "Tessuti di cotone stampati", "Valvole in acciaio inossidabile"};
    static const char *const commodities[] = {"8471300000", "8466930000", "5208520000", "8481809990"};
    const int i = n % 4;
    const double net = 100 + 12.5 * n;
    return {QString::fromLatin1(descriptions[i]),
            QStringLiteral("%1 CARTONI").arg(5 + n),
            QString::fromLatin1(commodities[i]),
            i == 3 ? QStringLiteral("US") : QStringLiteral("CN"),
            QString::number(net * 1.2, 'f', 3),
            QString::number(net, 'f', 3),
            QString::number(net * 10 * 0.027, 'f', 2),
            QString::number(net * 10 * 0.22, 'f', 2)};
}

}  // namespace

QString reference(int n) { return QStringLiteral("2024%1TO").arg(n, 5, 10, QLatin1Char('0')); }

namespace {

// Declaration n of a series: the four message codes in turn.
Declaration declaration(int n, int articles)
{
    Declaration d;
    d.indice = n;
    d.date = sampleDate();
    static const char *const kinds[] = {"IM", "IM", "EX", "EX"};
    static const char *const procedures[] = {"4", "0", "1", "1"};
    const int i = (n - 1) % 4;
    d.kind = QString::fromLatin1(kinds[i]);
    d.procedure = QString::fromLatin1(procedures[i]);
    d.reference = reference(n);
    const bool first = n % 2 == 1;
    d.declarant = first ? Dichiarante1 : Dichiarante2;
    d.office = first ? QStringLiteral("012100") : QStringLiteral("032100");
    d.account = first ? Conto1 : Conto2;
    d.warehouse = i == 2 ? QStringLiteral("D%1").arg(n, 6, 10, QLatin1Char('0'))
                         : QStringLiteral("S%1").arg(n, 6, 10, QLatin1Char('0'));
    d.method = first ? QStringLiteral("F") : QStringLiteral("A");
    for (int k = 1; k <= articles; ++k)
        d.articles.push_back(article(n + k));
    return d;
}

}  // namespace

QDate sampleDate() { return QDate(2024, 3, 4); }

void fillArchive(dao::Database &archive, int generated)
{
    dao::Transaction transaction(archive);
    fillReferenceTables(archive);
    if (generated > 0) {
        for (int n = 1; n <= generated; ++n)
            writeDeclaration(archive, declaration(n, 3));
    } else {
        // One declaration of each message code, and a C1 of three articles.
        const int articles[] = {2, 1, 2, 1, 3};
        for (int n = 1; n <= 5; ++n)
            writeDeclaration(archive, declaration(n, articles[n - 1]));
    }
    transaction.commit();
}

QStringList existingSampleFiles(const QString &folder)
{
    QStringList existing;
    for (const QString &name : {QStringLiteral("Archivio.mdb"), QStringLiteral("Corbix.mdb"),
                                QStringLiteral("CORBIX.INI"), QStringLiteral("dosdevices"), QStringLiteral("Corbix"),
                                CartellaSupporto, CartellaServizio})
        if (QFileInfo::exists(QDir(folder).filePath(name)) || QFileInfo(QDir(folder).filePath(name)).isSymLink())
            existing << QDir(folder).filePath(name);
    return existing;
}

void createSampleDatabases(const QString &folder, int generated)
{
    const QDir dir(folder);
    const QString archivePath = dir.filePath(QStringLiteral("Archivio.mdb"));
    const QString programPath = dir.filePath(QStringLiteral("Corbix.mdb"));
    for (const QString &path : {archivePath, programPath})
        if (QFileInfo::exists(path))
            platform::raise(platform::err::AlreadyExists, {path});
    try {
        dao::Database archive = common::createArchive(archivePath);
        fillArchive(archive, generated);
        programdatabase::createFilledProgramDatabase(programPath);
    } catch (...) {
        QFile::remove(archivePath);
        QFile::remove(programPath);
        throw;
    }
}

namespace {

// The program-wide values the preparation sets, put back when it ends.
class KeptGlobals {
public:
    ~KeptGlobals()
    {
        common::CartellaProgramma = cartella_;
        common::PercorsoArchivio = archivio_;
        common::RiservatoIni1 = riga1_;
        common::RiservatoIni2 = riga2_;
    }

private:
    QString cartella_ = common::CartellaProgramma;
    QString archivio_ = common::PercorsoArchivio;
    QString riga1_ = common::RiservatoIni1;
    QString riga2_ = common::RiservatoIni2;
};

void removeSampleProgramFolder(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : {QStringLiteral("Archivio.mdb"), QStringLiteral("Corbix.mdb"), QStringLiteral("CORBIX.INI")})
        QFile::remove(dir.filePath(name));
    // The entries are links, c: to the folder itself: they are removed, never
    // followed.
    for (const QString &entry : {QStringLiteral("c:"), QStringLiteral("a:")})
        QFile::remove(dir.filePath(QStringLiteral("dosdevices/") + entry));
    const QDir unc(dir.filePath(QStringLiteral("dosdevices/unc")));
    for (const QString &server : unc.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QDir shares(unc.filePath(server));
        for (const QString &share : shares.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            QFile::remove(shares.filePath(share));
        unc.rmdir(server);
    }
    dir.rmdir(QStringLiteral("dosdevices/unc"));
    dir.rmdir(QStringLiteral("dosdevices"));
    for (const QString &name : {QStringLiteral("Corbix"), CartellaSupporto, CartellaServizio})
        QDir(dir.filePath(name)).removeRecursively();
}

// The removable medium A: and, for every declarant with an EDI user code,
// the user's share on the service machine with its "corbix" folder.
void makeOutsideWorld(const QString &host, const platform::DriveTable &drives)
{
    const QDir dir(host);
    if (!dir.mkpath(CartellaSupporto))
        platform::raise(platform::err::PathFileAccess);
    drives.setDrive(u'a', dir.filePath(CartellaSupporto));
    dao::Database archive = dao::Database::open(dir.filePath(QStringLiteral("Archivio.mdb")));
    auto users = archive.openRecordset(
        QStringLiteral("SELECT DISTINCT CodiceUtenza FROM Spedoga WHERE CodiceUtenza <> '' ORDER BY CodiceUtenza"), {},
        dao::RecordsetType::Snapshot);
    for (; !users->eof(); users->moveNext()) {
        const QString user = users->value(0).toString();
        const QString share = dir.filePath(CartellaServizio + u'/' + user);
        if (!QDir().mkpath(share + QStringLiteral("/corbix")))
            platform::raise(platform::err::PathFileAccess);
        drives.setShare(common::NomeMacchinaServizio(), user, share);
    }
}

}  // namespace

void createSampleProgramFolder(const QString &folder, int generated)
{
    const QString host = QDir(folder).absolutePath();
    const QStringList existing = existingSampleFiles(host);
    if (!existing.isEmpty())
        platform::raise(platform::err::AlreadyExists, {existing.first()});
    KeptGlobals globals;
    // The tool has no screen: the messages of the procedures that prepare
    // the folder are kept, and a failure reports them.
    platform::KeptMessageBoxService messages;
    platform::ScopedMessageBoxService messageGuard(messages);
    try {
        createSampleDatabases(host, generated);
        platform::DriveTable drives(host, host);
        platform::ScopedDriveTable driveGuard(drives);
        makeOutsideWorld(host, drives);
        common::CartellaProgramma = host + u'/';
        common::PercorsoArchivio = QStringLiteral("C:\\Archivio.mdb");
        common::RiservatoIni1.clear();
        common::RiservatoIni2.clear();
        QString cartella = QStringLiteral("C:\\Corbix\\");
        if (!flowengine::ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella)) {
            QStringList texts;
            for (const platform::Message &message : messages.shown)
                texts << message.text;
            throw platform::RuntimeError(platform::err::PathFileAccess, texts.join(u' '));
        }
        if (!common::ScriviIni())
            platform::raise(platform::err::PathFileAccess);
    } catch (...) {
        removeSampleProgramFolder(host);
        throw;
    }
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString usage = QStringLiteral("Uso: corbix-sample-data CARTELLA [--declarations N]");
    const QString help =
        usage
        + QStringLiteral("\n"
                         "Crea in CARTELLA una cartella di programma di prova: il file CORBIX.INI, l'archivio di\n"
                         "esempio, il database dei tracciati, la tabella delle unità, il punto di raccolta, il\n"
                         "supporto magnetico e le condivisioni del servizio EDI.\n"
                         "\n"
                         "  --declarations N  l'archivio con N dichiarazioni (da 1 a %1) al posto delle cinque\n"
                         "                    di esempio\n"
                         "  --help            mostra questo aiuto ed esce\n"
                         "  --version         mostra la versione ed esce")
              .arg(MassimoDichiarazioni);
    if (common::OpzioniDelPacchetto(arguments, QStringLiteral("corbix-sample-data"), help, out))
        return 0;
    QString folder;
    int generated = 0;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--declarations")) {
            bool ok = false;
            generated = i + 1 < arguments.size() ? arguments[++i].toInt(&ok) : 0;
            if (!ok || generated < 1 || generated > MassimoDichiarazioni) {
                err << "Il numero di dichiarazioni deve essere un intero da 1 a " << MassimoDichiarazioni << ".\n"
                    << usage << '\n';
                return 2;
            }
        } else if (folder.isEmpty() && !common::Opzione(a)) {
            folder = a;
        } else {
            err << usage << '\n';
            return 2;
        }
    }
    if (folder.isEmpty()) {
        err << usage << '\n';
        return 2;
    }
    const QStringList existing = existingSampleFiles(folder);
    for (const QString &path : existing)
        err << "Il file '" << path << "' esiste già: non viene sovrascritto.\n";
    if (!existing.isEmpty())
        return 1;
    if (!QDir().mkpath(folder)) {
        err << "Impossibile creare la cartella '" << folder << "'.\n";
        return 1;
    }
    try {
        createSampleProgramFolder(folder, generated);
    } catch (const platform::RuntimeError &e) {
        err << "Errore " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    out << "Creata la cartella di programma '" << QDir(folder).absolutePath() << "': archivio C:\\Archivio.mdb, "
        << "punto di raccolta C:\\Corbix\\, unità C: nella cartella stessa, supporto magnetico A: nella cartella '"
        << CartellaSupporto << "', condivisioni del servizio EDI \\\\" << common::NomeMacchinaServizio()
        << " nella cartella '" << CartellaServizio << "'.\n";
    return 0;
}

}  // namespace sampledata
