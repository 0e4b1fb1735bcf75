#pragma once

#include <QDate>
#include <QString>
#include <memory>

// The hold a composition keeps on its folder-step reservation, the register
// row that waits for its file. While the wizard that reserved the row runs,
// it holds an exclusive lock on a file of the collection point's TEMP folder
// named after the row's date and number; the start-up sweep removes a
// reservation of an earlier day only when it can take that lock itself, so a
// wizard still open across midnight, here or on another workstation, never
// loses its row.
namespace flowengine {

class BloccoRiservazione {
public:
    // The lock of the reservation of the date and number; nothing when
    // another process holds it. 76 when the TEMP folder is missing; the file
    // error of its creation when its file cannot be made (61, 70, 75); 75
    // when it cannot be locked.
    static std::unique_ptr<BloccoRiservazione> prendi(const QDate &data, qint32 progressivo);
    // The lock is given up and its file removed, once the run is over (its
    // row completed or deleted); again, nothing happens.
    void rilascia();
    ~BloccoRiservazione() { rilascia(); }
    BloccoRiservazione(const BloccoRiservazione &) = delete;
    BloccoRiservazione &operator=(const BloccoRiservazione &) = delete;

private:
    BloccoRiservazione(QString host, int fd);
    QString host_;
    int fd_;  // -1 once given up
};

// Removes the lock files of TEMP that no wizard holds: a wizard stopped dead
// leaves its file behind (the lock itself ends with its process).
void RimuoviBlocchiAbbandonati();

// The name of the lock's file in TEMP ("Riservata 20260115-7.corbix~").
QString NomeBloccoRiservazione(const QDate &data, qint32 progressivo);

}  // namespace flowengine
