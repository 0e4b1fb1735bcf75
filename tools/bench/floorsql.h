#pragma once

#include <QByteArray>
#include <QString>
#include <sqlite3.h>
#include <stdexcept>

// The plain SQLite C API the floors do their work with, every call checked:
// a floor whose statement fails would otherwise read as a fast floor, and
// the program beside it as over its target.
namespace bench {

// A floor that could not do its work: the bench stops with it.
class MinimoFallito : public std::runtime_error {
public:
    explicit MinimoFallito(const QString &motivo) : std::runtime_error(motivo.toStdString()) {}
};

class Istruzione {
public:
    Istruzione(sqlite3 *db, const char *sql);
    ~Istruzione();
    Istruzione(const Istruzione &) = delete;
    Istruzione &operator=(const Istruzione &) = delete;

    Istruzione &lega(int posizione, qint64 valore);
    Istruzione &lega(int posizione, const QByteArray &testo);  // a null QByteArray binds a Null
    // The next row: false once the statement is done; a failure throws.
    bool riga();
    // Runs a statement that returns no row and checks that it changed
    // exactly that many rows; reset for its next bindings.
    void cambia(qint64 righe);
    // Every row to the end, each column read as text, the least a reader
    // does; the count of rows. Reset for its next bindings.
    qint64 leggiTutto();
    void azzera();

    qint64 intero(int colonna) const { return sqlite3_column_int64(st_, colonna); }
    bool nullo(int colonna) const { return sqlite3_column_type(st_, colonna) == SQLITE_NULL; }
    QByteArray testo(int colonna) const;

private:
    void verifica(int rc, const char *cosa) const;

    sqlite3 *db_;
    sqlite3_stmt *st_ = nullptr;
    QByteArray sql_;
};

// One connection of a floor of its own, closed when it goes.
class Connessione {
public:
    enum Modo { Lettura, Scrittura };
    Connessione(const QString &file, Modo modo);
    ~Connessione();
    Connessione(const Connessione &) = delete;
    Connessione &operator=(const Connessione &) = delete;

    void esegui(const QByteArray &sql);
    sqlite3 *handle() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

// Fails the floor with its reason.
[[noreturn]] void fallito(const QString &motivo);

}  // namespace bench
