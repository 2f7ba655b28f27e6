// szkola_nowa FOLDER HASLO: creates a new data folder with every table, the fixed rows and the
// built-in operator "Administrator" with the given password.
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "Szkola/core/UFolderDanych.h"
#include "platform/db/Database.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr), out(stdout);
    const QStringList a = app.arguments();
    if (a.size() != 3) {
        err << "Użycie: szkola_nowa FOLDER HASŁO\n"
               "Tworzy w folderze nową bazę danych szkola.sqlite z operatorem \"Administrator\".\n";
        return 2;
    }
    db::Database baza;
    QString blad;
    if (!UtworzBazeDanych(baza, a[1], a[2], &blad)) {
        err << blad << "\n";
        return 1;
    }
    baza.close();
    out << "Utworzono bazę danych " << QDir::toNativeSeparators(SciezkaBazy(a[1])) << "\n"
        << "Operator: " << NazwaAdministratora << "\n";
    return 0;
}
