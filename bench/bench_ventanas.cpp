// The windows over fichas.dat in the current directory, offscreen: the load
// event of the full list, the list opened and drawn, the new-card window
// opened, and a click on BUSCAR in the search window with its rows appended
// and drawn.

#include "app/aplicacion.h"
#include "app/programa.h"
#include "app/texto.h"
#include "bench/comun.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>

namespace {

app::Ventanas* ventanas = nullptr;

// Offscreen Qt warns about what it cannot do (raise a window and so on);
// only real errors are worth printing among the timings.
void SoloErrores(QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(texto));
    }
}

// Runs what is queued, the deletion of unloaded windows included.
void Procesar() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void Descargar(app::Id id) {
    ventanas->ocultar(id);
    ventanas->descargar(id);
    Procesar();
}

// The load event alone: the pass and the five lists filled, before any show.
void ListaCarga(benchmark::State& estado) {
    for (auto _ : estado) {
        ventanas->cargar(app::Id::Lista);
        estado.PauseTiming();
        Descargar(app::Id::Lista);
        estado.ResumeTiming();
    }
}

// What the user waits for: loaded, shown and drawn once.
void ListaAbrir(benchmark::State& estado) {
    QString numero;
    for (auto _ : estado) {
        ventanas->cargar(app::Id::Lista);
        ventanas->mostrar(app::Id::Lista);
        QCoreApplication::processEvents();
        estado.PauseTiming();
        numero = ventanas->obtener(app::Id::Lista).control<QLineEdit>("txtNumero")->text();
        Descargar(app::Id::Lista);
        estado.ResumeTiming();
    }
    estado.counters["ultima"] = numero.toDouble();
}

// The new-card window opened: its load event finds the next number.
void CrearAbrir(benchmark::State& estado) {
    QString numero;
    for (auto _ : estado) {
        ventanas->cargar(app::Id::Crear);
        ventanas->mostrar(app::Id::Crear);
        QCoreApplication::processEvents();
        estado.PauseTiming();
        numero = ventanas->obtener(app::Id::Crear).control<QLineEdit>("txtNumero")->text();
        Descargar(app::Id::Crear);
        estado.ResumeTiming();
    }
    estado.counters["siguiente"] = numero.toDouble();
}

// One click on BUSCAR in a fresh, shown search window, up to the lists drawn.
void ClicBuscar(benchmark::State& estado, const char* opcion, const std::string& palabra) {
    const QString texto = app::DesdeCp1252(palabra);
    QString encontradas;
    for (auto _ : estado) {
        estado.PauseTiming();
        ventanas->cargar(app::Id::Buscar);
        ventanas->mostrar(app::Id::Buscar);
        app::Ventana& v = ventanas->obtener(app::Id::Buscar);
        v.control<QRadioButton>(opcion)->click();
        v.control<QLineEdit>("txtBuscar")->setText(texto);
        QCoreApplication::processEvents();
        estado.ResumeTiming();

        v.control<QPushButton>("btnBuscar")->click();
        QCoreApplication::processEvents();

        estado.PauseTiming();
        encontradas = v.control<QLineEdit>("txtNtotal")->text();
        Descargar(app::Id::Buscar);
        estado.ResumeTiming();
    }
    estado.counters["encontradas"] = encontradas.toDouble();
}

void Registrar() {
    const auto en_ms = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    en_ms(benchmark::RegisterBenchmark("lista/carga", ListaCarga));
    en_ms(benchmark::RegisterBenchmark("lista/abrir", ListaAbrir));
    en_ms(benchmark::RegisterBenchmark("crear/abrir", CrearAbrir));
    for (const auto& p : banco::kPalabras) {
        en_ms(benchmark::RegisterBenchmark(
            (std::string("clic_buscar/") + p.campo + "/decimo").c_str(), ClicBuscar, p.opcion,
            banco::Cp1252(p.palabra)));
    }
    en_ms(benchmark::RegisterBenchmark("clic_buscar/titulo/ninguna", ClicBuscar, "optTitulo",
                                       banco::Cp1252(banco::kNinguna)));
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(SoloErrores);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    QApplication aplicacion(argc, argv);
    app::PrepararAplicacion();
    auto tabla = std::make_unique<app::Ventanas>();
    app::RegistrarVentanas(*tabla);
    tabla->salir = [](int) {}; // unloading the last window must not end the run
    ventanas = tabla.get();
    Registrar();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tabla.reset();
    Procesar();
    return 0;
}
