// bench_wplaty_pg [FOLDER [FOLDER_PG]]: the payment window's work on PostgreSQL against SQLite,
// on the same school.
//
// A 2,000-pupil data folder (made by szkola_duza in a temporary folder when none is given) is
// moved with szkola_przenies into a PostgreSQL database of a throw-away server that syncs every
// commit to disk, as an office's server does (tools/pg_klaster.sh start --trwaly; the server
// named by SZKOLA_TEST_PG is taken instead when set). On both: preparing the payment window's
// data for a pupil with 20 school years of fees, and saving a 12-line cash receipt. Printed: the
// median times and their ratio PostgreSQL / SQLite (target <= 3). FOLDER_PG: a folder whose
// connection file names a database already moved from FOLDER (repeated runs).

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "Szkola/payments/UDokumentWplaty.h"
#include "platform/db/Server.h"
#include "platform/db/Table.h"
#include "tools/FolderBenchmarku.h"
#include "tools/PomiarWplat.h"

namespace {

using pomiar_wplat::Folder;
using pomiar_wplat::kRokKsiegowy;

QMap<QString, double> wyniki;  // median seconds per operation and folder

void Przygotowanie(benchmark::State& state, Folder* f) {
    pomiar_wplat::Przygotowanie(state, f, wyniki);
}
void Zapis12Linii(benchmark::State& state, Folder* f) {
    pomiar_wplat::Zapis12Linii(state, f, wyniki);
}

// The throw-away server of this run, stopped at the end.
struct Klaster {
    QString folder;
    ~Klaster() {
        if (!folder.isEmpty())
            QProcess::execute(QCoreApplication::applicationDirPath() + "/../tools/pg_klaster.sh",
                              {"stop", folder});
    }
};

bool uruchom(const QString& program, const QStringList& argumenty, QString* wyjscie = nullptr) {
    QProcess p;
    p.setProcessChannelMode(wyjscie ? QProcess::MergedChannels : QProcess::ForwardedChannels);
    p.start(program, argumenty);
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s nie zadziałał.\n", qPrintable(program));
        return false;
    }
    if (wyjscie) *wyjscie = QString::fromUtf8(p.readAll()).trimmed();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const auto app = uruchomBenchmark(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    QTemporaryDir tmp;
    const QString sqlite = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path() + "/sqlite";
    if (!IstniejeBazaDanych(sqlite)) {
        std::printf("Tworzenie folderu 2000 uczniów w %s ...\n", qPrintable(sqlite));
        std::fflush(stdout);
        if (!uruchom(bin + "/szkola_duza", {sqlite, "2000"})) return 1;
    }
    Klaster klaster;
    QString serwer = qEnvironmentVariable("SZKOLA_TEST_PG");
    const bool gotowy = argc > 2;
    QString postgres = gotowy ? QString::fromLocal8Bit(argv[2]) : tmp.path() + "/postgres";
    const QString nazwa = QString("bench_wplaty_%1").arg(QCoreApplication::applicationPid());
    if (gotowy) serwer = "-";
    if (serwer.isEmpty()) {
        if (!uruchom(bin + "/../tools/pg_klaster.sh", {"start", "--trwaly"}, &klaster.folder))
            return 1;
        serwer = "host=" + klaster.folder + " port=5432 user=szkola";
    }
    if (!gotowy) try {
            QDir().mkpath(postgres);
            db::server::createDatabase(serwer, nazwa);
            db::server::writeConnectionFile(postgres + "/" + NazwaPlikuPolaczenia, serwer, nazwa);
        } catch (const db::Error& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.message()));
            return 1;
        }
    if (!gotowy) {
        std::printf("Przenoszenie na serwer PostgreSQL ...\n");
        std::fflush(stdout);
        QString przeniesienie;
        if (!uruchom(bin + "/szkola_przenies", {sqlite, postgres}, &przeniesienie)) return 1;
        std::printf("%s\n", qPrintable(przeniesienie));
    }

    std::vector<std::unique_ptr<Folder>> foldery;
    for (const auto& [n, s] : {std::pair{"SQLite", sqlite}, std::pair{"PostgreSQL", postgres}}) {
        auto f = std::make_unique<Folder>();
        f->nazwa = n;
        if (!przygotujFolder(*f, s, 2000)) return 1;
        foldery.push_back(std::move(f));
    }
    for (auto& f : foldery) {
        zarejestruj("Przygotowanie", f.get(), Przygotowanie, 40);
        zarejestruj("Zapis12Linii", f.get(), Zapis12Linii, 30);
    }
    benchmark::RunSpecifiedBenchmarks();

    std::printf("\n%-16s %12s %15s %8s\n", "operacja", "SQLite [ms]", "PostgreSQL [ms]",
                "stosunek");
    bool dobrze = true;
    for (const char* op : {"przygotowanie", "zapis"}) {
        const double s = wyniki.value(QString(op) + " SQLite");
        const double p = wyniki.value(QString(op) + " PostgreSQL");
        const double stosunek = s > 0 ? p / s : 0;
        std::printf("%-16s %12.2f %15.2f %8.2f\n", op, s * 1000, p * 1000, stosunek);
        dobrze = dobrze && s > 0 && stosunek <= 3;
    }
    std::printf("%s\n", dobrze ? "Cel osiągnięty (PostgreSQL najwyżej 3 razy wolniejszy)."
                               : "Cel NIE osiągnięty.");
    for (auto& f : foldery) {
        f->wlacz();
        f->zamknij();
    }
    DM = nullptr;
    DMw = nullptr;
    if (!gotowy) try {
            db::server::dropDatabase(serwer, nazwa);
        } catch (const db::Error&) {
        }
    return 0;
}
