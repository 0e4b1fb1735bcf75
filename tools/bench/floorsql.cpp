#include "bench/floorsql.h"

#include <QFile>

namespace bench {

void fallito(const QString &motivo) { throw MinimoFallito(motivo); }

Istruzione::Istruzione(sqlite3 *db, const char *sql) : db_(db), sql_(sql)
{
    verifica(sqlite3_prepare_v2(db_, sql, -1, &st_, nullptr), "preparazione");
}

Istruzione::~Istruzione() { sqlite3_finalize(st_); }

void Istruzione::verifica(int rc, const char *cosa) const
{
    if (rc != SQLITE_OK)
        fallito(QStringLiteral("%1 non riuscita (%2): %3 [%4]")
                    .arg(QString::fromLatin1(cosa), QString::number(rc), QString::fromUtf8(sqlite3_errmsg(db_)),
                         QString::fromUtf8(sql_)));
}

Istruzione &Istruzione::lega(int posizione, qint64 valore)
{
    verifica(sqlite3_bind_int64(st_, posizione, valore), "associazione");
    return *this;
}

Istruzione &Istruzione::lega(int posizione, const QByteArray &testo)
{
    verifica(testo.isNull() ? sqlite3_bind_null(st_, posizione)
                            : sqlite3_bind_text(st_, posizione, testo.constData(), int(testo.size()), SQLITE_TRANSIENT),
             "associazione");
    return *this;
}

bool Istruzione::riga()
{
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        verifica(rc, "esecuzione");
    return false;
}

void Istruzione::cambia(qint64 righe)
{
    if (riga())
        fallito(QStringLiteral("l'istruzione ha restituito righe [%1]").arg(QString::fromUtf8(sql_)));
    const qint64 cambiate = sqlite3_changes64(db_);
    azzera();
    if (cambiate != righe)
        fallito(QStringLiteral("%1 righe cambiate invece di %2 [%3]")
                    .arg(cambiate)
                    .arg(righe)
                    .arg(QString::fromUtf8(sql_)));
}

qint64 Istruzione::leggiTutto()
{
    qint64 righe = 0;
    while (riga()) {
        const int colonne = sqlite3_column_count(st_);
        for (int c = 0; c < colonne; ++c) {
            sqlite3_column_text(st_, c);
            sqlite3_column_bytes(st_, c);
        }
        ++righe;
    }
    azzera();
    return righe;
}

void Istruzione::azzera() { verifica(sqlite3_reset(st_), "riavvio"); }

QByteArray Istruzione::testo(int colonna) const
{
    const auto *byte = reinterpret_cast<const char *>(sqlite3_column_text(st_, colonna));
    return QByteArray(byte, sqlite3_column_bytes(st_, colonna));
}

Connessione::Connessione(const QString &file, Modo modo)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db_,
                                   modo == Lettura ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString errore = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::number(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        fallito(QStringLiteral("apertura di %1 non riuscita: %2").arg(file, errore));
    }
}

Connessione::~Connessione() { sqlite3_close_v2(db_); }

void Connessione::esegui(const QByteArray &sql)
{
    char *errore = nullptr;
    const int rc = sqlite3_exec(db_, sql.constData(), nullptr, nullptr, &errore);
    const QString testo = errore ? QString::fromUtf8(errore) : QString();
    sqlite3_free(errore);
    if (rc != SQLITE_OK)
        fallito(QStringLiteral("esecuzione non riuscita (%1): %2 [%3]")
                    .arg(QString::number(rc), testo, QString::fromUtf8(sql.left(200))));
}

}  // namespace bench
