// Any bytes at all as fichas.dat. Besides never crashing, hanging or running
// out of memory, the reading pass must agree with itself: read from memory,
// from the file, or in dribbles, it finds the same cards; each card's own line
// reads back as that card; and a card saved after the bytes is read back as
// the last card, with every byte before it left alone.

#include "store/estructura.h"
#include "store/ficha.h"
#include "store/guardar.h"
#include "store/lector.h"
#include "tests/store/disco.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#define COMPROBAR(condicion)                                                                       \
    do {                                                                                           \
        if (!(condicion)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condicion);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace {

constexpr std::int64_t kSinLimite = std::numeric_limits<std::int64_t>::max();

using Carta = std::vector<std::string>; // the number in decimal, then the nine texts

Carta Resumir(const store::VistaFicha& ficha) {
    Carta carta{std::to_string(ficha.Numero)};
    for (const auto campo : store::kCamposVista) {
        carta.emplace_back(ficha.*campo);
    }
    return carta;
}

struct Lectura {
    std::vector<Carta> cartas;
    std::int64_t contador = 0;
    std::optional<std::int64_t> recordado;
    bool operator==(const Lectura&) const = default;
};

store::PasoPorFicha Juntar(Lectura& lectura) {
    return [&lectura](const store::VistaFicha& ficha) {
        lectura.cartas.push_back(Resumir(ficha));
        return store::Paso::Seguir;
    };
}

Lectura DeMemoria(std::string_view datos, std::int64_t limite) {
    Lectura lectura;
    const store::Pase pase =
        store::LeerFichasDe(datos, limite, store::Contador::Recordar, Juntar(lectura));
    lectura.contador = pase.contador;
    lectura.recordado = pase.recordado;
    return lectura;
}

// The pass fed `tramo` bytes per read from a first buffer of `bloque` bytes.
Lectura AGotas(std::string_view datos, std::size_t bloque, std::size_t tramo) {
    Lectura lectura;
    const auto fuente = [&](char* destino, std::size_t largo, std::int64_t desde) {
        const auto d = static_cast<std::size_t>(desde);
        const std::size_t n = d < datos.size() ? std::min({largo, tramo, datos.size() - d}) : 0;
        std::memcpy(destino, datos.data() + d, n);
        return static_cast<ssize_t>(n);
    };
    const store::Recorrido r = store::Recorrer(fuente, bloque, store::kLimitePaseDeLista,
                                               store::Contador::Recordar, Juntar(lectura));
    COMPROBAR(r.error == 0);
    lectura.contador = r.pase.contador;
    lectura.recordado = r.pase.recordado;
    return lectura;
}

Lectura DelArchivo(std::int64_t limite) {
    Lectura lectura;
    const store::Pase pase = store::LeerFichas(limite, store::Contador::Recordar, Juntar(lectura));
    COMPROBAR(pase.abierto);
    lectura.contador = pase.contador;
    lectura.recordado = pase.recordado;
    return lectura;
}

void Escribir(std::string_view datos) {
    const int fd = open(store::kNombreArchivo, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    COMPROBAR(fd >= 0);
    COMPROBAR(write(fd, datos.data(), datos.size()) == static_cast<ssize_t>(datos.size()));
    close(fd);
}

std::filesystem::path carpeta;

void Borrar() {
    std::filesystem::remove_all(carpeta);
}

} // namespace

// The file passes read fichas.dat in the current directory: a scratch one.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string plantilla = (std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") +
                            std::string("/fz-XXXXXX");
    COMPROBAR(mkdtemp(plantilla.data()) != nullptr);
    carpeta = plantilla;
    std::filesystem::current_path(carpeta);
    std::atexit(Borrar);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t largo) {
    const std::string_view datos(reinterpret_cast<const char*>(bytes), largo);

    // The same cards from memory, in dribbles, and from the file.
    const Lectura lista = DeMemoria(datos, store::kLimitePaseDeLista);
    // Whatever finds the items: byte by byte or by the index, however it
    // classifies the bytes.
    for (const auto explorador : {store::Explorador::Escalar, store::Explorador::Portatil,
                                  store::Explorador::Sse2, store::Explorador::Avx2}) {
        store::ElegirExplorador(explorador);
        COMPROBAR(DeMemoria(datos, store::kLimitePaseDeLista) == lista);
        COMPROBAR(AGotas(datos, 64 + largo % 61, 1 + largo % 97) == lista);
    }
    store::ElegirExplorador(store::Explorador::Automatico);
    const std::size_t bloque = largo > 0 ? 1 + bytes[0] % 16 : 1;
    const std::size_t tramo = largo > 1 ? 1 + bytes[1] % 7 : 1;
    COMPROBAR(AGotas(datos, bloque, tramo) == lista);
    Escribir(datos);
    COMPROBAR(DelArchivo(store::kLimitePaseDeLista) == lista);
    COMPROBAR(DelArchivo(store::kLimitePaseDeNumero) ==
              DeMemoria(datos, store::kLimitePaseDeNumero));
    COMPROBAR(store::SiguienteNumero() == store::SiguienteNumeroDe(datos));
    COMPROBAR(store::SiguienteNumero() >= 1);

    // Each card's line reads back as that card.
    for (const Carta& carta : lista.cartas) {
        store::Ficha ficha;
        ficha.Numero = std::stoll(carta[0]);
        for (int i = 0; i < 9; ++i) {
            ficha.*store::kCampos[i] = carta[static_cast<std::size_t>(i) + 1];
        }
        const std::string linea = store::Linea(ficha);
        COMPROBAR(DeMemoria(linea, kSinLimite).cartas == std::vector<Carta>{carta});
    }

    // A card saved after the bytes: appended, and read back last, after every
    // card that was there and at most one card cut short that it made whole.
    prueba::Disco disco{std::string(datos)};
    store::Ficha nueva;
    nueva.Titulo = "t \"q\"";
    nueva.Autor = ",";
    nueva.Comentario = "a\r\nb\"";
    const store::Error error = store::GuardarFichaCon(disco, nueva);
    COMPROBAR(!error);
    const std::string despues = disco.Archivo().value_or("");
    COMPROBAR(despues.starts_with(datos));
    COMPROBAR(despues.ends_with(store::Linea(nueva)));
    const Lectura antes = DeMemoria(datos, kSinLimite);
    const Lectura luego = DeMemoria(despues, kSinLimite);
    COMPROBAR(luego.cartas.size() == antes.cartas.size() + 1 ||
              luego.cartas.size() == antes.cartas.size() + 2);
    COMPROBAR(std::equal(antes.cartas.begin(), antes.cartas.end(), luego.cartas.begin()));
    store::VistaFicha vista;
    vista.Numero = nueva.Numero;
    for (int i = 0; i < 9; ++i) {
        vista.*store::kCamposVista[i] = nueva.*store::kCampos[i];
    }
    COMPROBAR(luego.cartas.back() == Resumir(vista));
    return 0;
}
