// Report engine speed: a 2,000-row report prepared into pages against a plain walk over the same
// rows that formats the same texts. The engine should stay within twice the plain walk.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"

namespace {

constexpr int kRows = 2000;

struct Data {
    QTemporaryDir dir;
    db::Database database;
    std::unique_ptr<db::Table> t;

    Data() {
        database.open(dir.filePath(QStringLiteral("bench.sqlite")), true);
        db::TableDef def;
        def.name = QStringLiteral("Lista");
        def.fields = {
            db::fInt(QStringLiteral("Id")),        db::fName(QStringLiteral("Nazwisko"), 30),
            db::fName(QStringLiteral("Imie"), 15), db::fText(QStringLiteral("Klasa"), 20),
            db::fDate(QStringLiteral("DataUr")),   db::fMoney(QStringLiteral("Kwota"))};
        database.createTable(def);
        database.begin();
        for (int i = 1; i <= kRows; ++i)
            database.exec(
                QStringLiteral("INSERT INTO Lista (Id, Nazwisko, Imie, Klasa, DataUr, Kwota) "
                               "VALUES (?, ?, ?, ?, ?, ?)"),
                {i, QStringLiteral("Nazwisko%1").arg(i), QStringLiteral("Imię%1").arg(i % 97),
                 QStringLiteral("Klasa %1").arg(i % 12),
                 QStringLiteral("2015-0%1-1%2").arg(1 + i % 9).arg(i % 10),
                 (i * 37 % 100000) / 100.0});
        database.commit();
        t = std::make_unique<db::Table>(&database);
        t->setTableName(QStringLiteral("Lista.db"));
        t->open();
    }
};

Data* data = nullptr;

// The same texts a detail line shows, walked and formatted without the engine; the fields are
// looked up once, before the walk, as a hand-written loop would.
void BM_PlainWalk(benchmark::State& state) {
    db::Table& t = *data->t;
    std::vector<const db::Field*> fields;
    for (const char* f : {"Nazwisko", "Imie", "Klasa", "DataUr", "Kwota"})
        fields.push_back(t.field(f));
    for (auto _ : state) {
        std::vector<QString> texts;
        texts.reserve(kRows * 6);
        int lp = 0;
        t.disableControls();
        for (t.first(); !t.eof(); t.next()) {
            texts.push_back(QString::number(++lp));
            for (const db::Field* fld : fields)
                texts.push_back(fld->isNull() ? QString() : fld->displayText());
        }
        t.enableControls();
        benchmark::DoNotOptimize(texts.data());
    }
}

struct ListReport : report::Report {
    report::Label* lp;
    report::DataField* nazwisko;
    report::DataField* kwota;
    int n = 0;
    explicit ListReport(db::Table* t) {
        setDataSet(t);
        report::Band* h = addBand(report::BandKind::PageHeader, 40);
        h->addLabel(276, 0, 0, QStringLiteral("Lista uczniów"), report::Font(14, true));
        h->addDate(620, 0);
        h->addPageNumber(620, 20);
        report::Band* d = addBand(report::BandKind::Detail, 16);
        lp = d->addLabel(0, 1, 30, QString(), report::Font(8), report::Alignment::Right);
        nazwisko = d->addField(40, 1, 200, t, QStringLiteral("Nazwisko"), report::Font(8));
        d->addField(250, 1, 100, t, QStringLiteral("Imie"), report::Font(8));
        d->addField(360, 1, 100, t, QStringLiteral("Klasa"), report::Font(8));
        d->addField(470, 1, 80, t, QStringLiteral("DataUr"), report::Font(8));
        kwota = d->addField(560, 1, 100, t, QStringLiteral("Kwota"), report::Font(8),
                            report::Alignment::Right);
        d->addHLine(0, 15, 718);
        d->beforePrint = [this](report::Band&, bool&) { lp->text = QString::number(++n); };
        addBand(report::BandKind::PageFooter, 10)
            ->addLabel(0, 0, 0, QStringLiteral("stopka"), report::Font(6));
        beforePrint = [this](report::Report&) { n = 0; };
    }
};

void BM_ReportPages(benchmark::State& state) {
    ListReport r(data->t.get());
    int pages = 0;
    for (auto _ : state) {
        report::PreparedReport p = r.prepare();
        pages = p.pageCount();
        benchmark::DoNotOptimize(p.pages.size());
    }
    state.counters["pages"] = pages;
}

// The same list in narrow boxes, as the statements set long data: from row 1,000 the number
// overflows its box and is set smaller, every surname is set smaller to fit, and the amounts
// stand at their box's edge. The measures a fitting takes are what this times.
struct FittedReport : ListReport {
    explicit FittedReport(db::Table* t) : ListReport(t) {
        lp->font = report::Font(9);
        nazwisko->width = 60;
        nazwisko->shrinkToFit = true;
        kwota->width = 34;
    }
};

void BM_FittedPages(benchmark::State& state) {
    FittedReport r(data->t.get());
    int pages = 0;
    for (auto _ : state) {
        report::PreparedReport p = r.prepare();
        pages = p.pageCount();
        benchmark::DoNotOptimize(p.pages.size());
    }
    state.counters["pages"] = pages;
}

// Several repetitions, interleaved, compared by their medians: one slow run on a busy machine
// must not decide the ratio.
BENCHMARK(BM_PlainWalk)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReportPages)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FittedPages)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// Keeps the median time of each benchmark for the ratio.
class Collector : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                times[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    Data d;
    data = &d;
    Collector rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    const double plain = rep.times["BM_PlainWalk"];
    const double engine = rep.times["BM_ReportPages"];
    const double fitted = rep.times["BM_FittedPages"];
    const bool ok = plain > 0 && engine > 0 && engine / plain <= 2.0;
    if (plain > 0 && engine > 0)
        std::printf("report/plain ratio (medians): %.2f (target <= 2.00) %s\n", engine / plain,
                    ok ? "OK" : "TOO SLOW");
    if (plain > 0 && fitted > 0)
        std::printf("fitted/plain ratio (medians): %.2f\n", fitted / plain);
    data = nullptr;
    benchmark::Shutdown();
    return ok ? 0 : 1;
}
