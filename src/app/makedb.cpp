// Writes a new database from SQL files, for the build's default register.
// The file appears only when every statement ran.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sqlite3.h>
#include <sstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: socivant-makedb DATABASE SQLFILE...\n");
        return 2;
    }
    const std::string target = argv[1];
    const std::string temp = target + ".tmp";
    std::remove(temp.c_str());
    sqlite3 *opened = nullptr;
    // Closed whichever way this ends, also when the open itself failed.
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> db(nullptr, sqlite3_close);
    const int openRc = sqlite3_open(temp.c_str(), &opened);
    db.reset(opened);
    if (openRc != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s\n", temp.c_str());
        return 1;
    }
    int rc = 0;
    for (int i = 2; i < argc && rc == 0; ++i) {
        std::ifstream in(argv[i]);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            rc = 1;
            break;
        }
        std::stringstream ss;
        ss << in.rdbuf();
        char *err = nullptr;
        if (sqlite3_exec(db.get(), ss.str().c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::fprintf(stderr, "%s: %s\n", argv[i], err ? err : "error");
            sqlite3_free(err);
            rc = 1;
        }
    }
    db.reset(); // the file is complete before it takes the register's name
    if (rc == 0 && std::rename(temp.c_str(), target.c_str()) != 0)
        rc = 1;
    if (rc != 0)
        std::remove(temp.c_str());
    return rc;
}
