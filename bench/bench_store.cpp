// The record file operations on fichas.dat in the current directory: the
// reading pass alone, the next number, a search in each field, opening the
// last card and a save. Run it where generar_fichas wrote the file.

#include "bench/comun.h"
#include "store/catalogo.h"
#include "store/estructura.h"
#include "store/ficha.h"

#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The number of the last card, found once.
std::int64_t Ultima() {
    static const std::int64_t ultima = store::SiguienteNumero() - 1;
    return ultima;
}

void Pase(benchmark::State& estado) {
    std::int64_t fichas = 0;
    for (auto _ : estado) {
        fichas = 0;
        store::LeerFichas(store::kLimitePaseDeLista, store::Contador::Olvidar,
                          [&](const store::VistaFicha&) {
                              ++fichas;
                              return store::Paso::Seguir;
                          });
        benchmark::DoNotOptimize(fichas);
    }
    estado.counters["fichas"] = static_cast<double>(fichas);
}

// The same pass with another way of finding the items, to compare them.
void PaseCon(benchmark::State& estado, store::Explorador explorador) {
    const store::Explorador antes = store::ExploradorActual();
    store::ElegirExplorador(explorador);
    Pase(estado);
    store::ElegirExplorador(antes);
}

void Siguiente(benchmark::State& estado) {
    std::int64_t n = 0;
    for (auto _ : estado) {
        n = store::SiguienteNumero();
        benchmark::DoNotOptimize(n);
    }
    estado.counters["siguiente"] = static_cast<double>(n);
}

// The search the window runs, without the rows it shows.
void Buscar(benchmark::State& estado, store::CampoDe<std::string_view> campo,
            const std::string& palabra) {
    std::int64_t encontradas = 0;
    for (auto _ : estado) {
        encontradas = store::BuscarFichas(campo, palabra, [](const store::VistaFicha&) {});
        benchmark::DoNotOptimize(encontradas);
    }
    estado.counters["encontradas"] = static_cast<double>(encontradas);
}

// Opening a card by number as the search window does, for the last one.
void AbrirUltima(benchmark::State& estado) {
    const std::int64_t numero = Ultima();
    std::optional<store::Ficha> hallada;
    for (auto _ : estado) {
        hallada = store::FichaConNumero(numero);
        benchmark::DoNotOptimize(hallada);
    }
    if (numero > 0 && !hallada) {
        estado.SkipWithError("la última ficha no aparece");
    }
}

// A synced copy of fichas.dat in a directory of its own, so that saving never
// grows the generated file; removed at exit.
class Copia {
  public:
    Copia() {
        std::string plantilla = (fs::temp_directory_path() / "folioteca-guardar-XXXXXX").string();
        if (::mkdtemp(plantilla.data()) == nullptr) {
            throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
        }
        dir_ = plantilla;
        const fs::path archivo = dir_ / store::kNombreArchivo;
        if (fs::exists(store::kNombreArchivo)) {
            fs::copy_file(store::kNombreArchivo, archivo);
        } else {
            std::fclose(std::fopen(archivo.c_str(), "wb"));
        }
        tam_ = static_cast<off_t>(fs::file_size(archivo));
        Sincronizar();
    }
    ~Copia() {
        std::error_code e;
        fs::remove_all(dir_, e);
    }
    const fs::path& dir() const { return dir_; }
    // Back to the size it had, and synced, so that every save starts alike.
    void Restaurar() const {
        fs::resize_file(dir_ / store::kNombreArchivo, static_cast<std::uintmax_t>(tam_));
        Sincronizar();
    }

  private:
    void Sincronizar() const {
        const int fd = ::open((dir_ / store::kNombreArchivo).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    fs::path dir_;
    off_t tam_ = 0;
};

void Guardar(benchmark::State& estado) {
    static const Copia copia;
    const fs::path antes = fs::current_path();
    fs::current_path(copia.dir());
    store::Ficha ficha;
    ficha.Titulo = banco::Cp1252("Ficha de prueba añadida");
    ficha.Autor = banco::Cp1252("Iñigo Ibáñez");
    ficha.Editorial = "Ediciones Mirador";
    ficha.Fecha = "2024";
    ficha.Comentario = "Dos\r\nlíneas";
    for (auto _ : estado) {
        if (const store::Error error = store::GuardarFicha(ficha)) {
            estado.SkipWithError(error.causa.c_str());
            break;
        }
        estado.PauseTiming();
        copia.Restaurar();
        estado.ResumeTiming();
    }
    estado.counters["numero"] = static_cast<double>(ficha.Numero);
    fs::current_path(antes);
}

void Registrar() {
    const auto en_ms = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    en_ms(benchmark::RegisterBenchmark("pase", Pase));
    en_ms(benchmark::RegisterBenchmark("pase/escalar", PaseCon, store::Explorador::Escalar));
    en_ms(benchmark::RegisterBenchmark("pase/sse2", PaseCon, store::Explorador::Sse2));
    en_ms(benchmark::RegisterBenchmark("siguiente", Siguiente));
    for (const auto& p : banco::kPalabras) {
        const std::string decimo = banco::Cp1252(p.palabra);
        const std::string ninguna = banco::Cp1252(banco::kNinguna);
        const std::string nombre = std::string("buscar/") + p.campo;
        en_ms(
            benchmark::RegisterBenchmark((nombre + "/decimo").c_str(), Buscar, p.miembro, decimo));
        en_ms(benchmark::RegisterBenchmark((nombre + "/ninguna").c_str(), Buscar, p.miembro,
                                           ninguna));
    }
    en_ms(benchmark::RegisterBenchmark("abrir_ultima", AbrirUltima));
    en_ms(benchmark::RegisterBenchmark("guardar", Guardar));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    Registrar();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
