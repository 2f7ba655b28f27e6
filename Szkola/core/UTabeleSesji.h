#pragma once
// Session work tables: prefix + session stamp, built from a "Str_" template in the
// connection-private temp schema, dropped when the window or statement is done.

#include <QString>
#include <memory>

namespace db {
class Table;
}

// The stamp of this run (ZbudujZnacznikSesji in UFunkcje). The main window sets it once after
// sign-in; tests set their own.
void UstawZnacznikSesji(const QString& znacznik);
QString BiezacyZnacznikSesji();

// Opens and closes `t` on its template; names it prefix + stamp + ".db"; drops a leftover of that
// name (after opening and closing the component on the template again); creates the table empty
// from the component's declared fields in the temp schema; opens it.
void UtworzTabeleSesji(db::Table* t, const QString& prefiks, const QString& szablon);
void UtworzTabeleSesji(db::Table* t, const QString& prefiks, const QString& szablon,
                       const QString& znacznik);

// The reverse: cancels a pending edit, closes, drops the table unless the component still
// names the template, and names the template again (closed; the caller reopens when needed).
void UsunTabeleSesji(db::Table* t, const QString& szablon);

// Writes the rows of a work table while its own cursor is closed. An open cursor keeps every
// row in memory in its index order; tens of thousands of posts landing mid-way in it made the
// statements slow and heavy on a big school. The writer shows no rows, so a post costs one
// insert; the work cursor is opened again by Zakoncz() (or, on the way out of an error, by the
// destructor) and then reads the table as the report walks it.
class ZapisRoboczy {
  public:
    explicit ZapisRoboczy(db::Table* t);
    ~ZapisRoboczy();
    ZapisRoboczy(const ZapisRoboczy&) = delete;
    ZapisRoboczy& operator=(const ZapisRoboczy&) = delete;

    db::Table& w() { return *w_; }
    void Zakoncz();

  private:
    db::Table* t_;
    bool otwarta_;
    std::unique_ptr<db::Table> w_;
};
