// Another program sharing a database file, for the tests: it runs each line
// of its input as SQL on its own connection, never waiting for a lock, and
// answers each row ("row A|B") and then "rc N MESSAGE".
#include <iostream>
#include <sqlite3.h>
#include <string>

namespace {
int row(void *, int columns, char **values, char **)
{
    std::string line = "row ";
    for (int i = 0; i < columns; ++i) {
        if (i)
            line += '|';
        line += values[i] ? values[i] : "";
    }
    std::cout << line << '\n';
    return 0;
}
}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 0);
    std::string sql;
    while (std::getline(std::cin, sql)) {
        char *message = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), row, nullptr, &message);
        std::cout << "rc " << rc << ' ' << (message ? message : "") << std::endl;
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return 0;
}
