// Hostile files never crash, hang or exhaust memory. Each is read, and a card
// saved after it, in a child whose address space is capped (ulimit -v): a
// pass holds one card at a time, so a file far larger than the cap is fine.

#include "tests/soporte/fichas.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define FOLIOTECA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FOLIOTECA_ASAN 1
#endif
#endif

namespace {

constexpr std::size_t kMB = std::size_t{1} << 20;

// The address space this process uses now, in bytes.
std::size_t EnUso() {
    std::ifstream estado("/proc/self/statm");
    std::size_t paginas = 0;
    estado >> paginas;
    return paginas * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// A file written piece by piece, so that the test itself never holds it whole.
void Generar(std::size_t largo, std::string_view antes, std::string_view despues,
             const std::function<char(std::size_t)>& byte) {
    std::ofstream salida("fichas.dat", std::ios::binary | std::ios::trunc);
    salida << antes;
    std::string trozo;
    for (std::size_t hecho = 0; hecho < largo;) {
        trozo.clear();
        for (; trozo.size() < kMB && hecho < largo; ++hecho) {
            trozo += byte(hecho);
        }
        salida << trozo;
    }
    salida << despues;
    ASSERT_TRUE(salida.good());
}

struct Caso {
    const char* nombre;
    std::size_t largo;
    std::string antes, despues;
    std::function<char(std::size_t)> byte;
    std::size_t fichas;     // cards a full pass reads; SIZE_MAX: not known
    std::int64_t siguiente; // the next number
    std::size_t mas_largo;  // the longest text read
};

using Hostil = prueba::EnCarpeta;

TEST_F(Hostil, HostileFilesAreReadAndSavedIntoWithinAMemoryCap) {
#ifdef FOLIOTECA_ASAN
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space: no cap can be set";
#endif
    std::mt19937_64 azar(6);
    std::vector<std::uint64_t> ruido(kMB / 8);
    for (auto& r : ruido) {
        r = azar();
    }
    const auto aleatorio = [&ruido](std::size_t i) {
        const std::size_t palabra = i / 8 % ruido.size();
        return static_cast<char>((ruido[palabra] ^ (i / kMB * 0x9E3779B97F4A7C15)) >> (i % 8 * 8));
    };
    const std::string ocho_vacios = ",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"";
    const Caso casos[] = {
        {"a 100 MB line that is one card", 100 * kMB, prueba::Fila("1") + "2,\"",
         "\"" + ocho_vacios + "\r\n" + prueba::Fila("3"), [](std::size_t) { return 't'; }, 3, 4,
         100 * kMB},
        {"a 16 MB line with no separator", 16 * kMB, "", "", [](std::size_t) { return 'x'; }, 0, 1,
         0},
        {"a quote opened and never closed, 16 MB on", 16 * kMB, prueba::Fila("1") + "2,\"", "",
         [](std::size_t i) { return i % 61 == 60 ? '\n' : ','; }, 1, 2, 1},
        {"16 MB of NUL bytes", 16 * kMB, "", "", [](std::size_t) { return '\0'; }, 0, 1, 0},
        {"16 MB of double quotes", 16 * kMB, "", "", [](std::size_t) { return '"'; }, 0, 1, 0},
        {"16 MB of line ends", 16 * kMB, "", "", [](std::size_t i) { return "\r\n"[i % 2]; }, 0, 1,
         0},
        {"16 MB of random bytes", 16 * kMB, "", "", aleatorio, SIZE_MAX, 0, 0},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        Generar(caso.largo, caso.antes, caso.despues, caso.byte);
        prueba::EnHijo([&] {
            // Room for the longest card twice over while its buffer grows, and no more.
            const rlimit tope{EnUso() + 3 * caso.largo + 64 * kMB,
                              EnUso() + 3 * caso.largo + 64 * kMB};
            ASSERT_EQ(setrlimit(RLIMIT_AS, &tope), 0);
            std::size_t fichas = 0, mas_largo = 0;
            store::LeerFichas(store::kLimitePaseDeLista, store::Contador::Olvidar,
                              [&](const store::VistaFicha& ficha) {
                                  ++fichas;
                                  for (const auto campo : store::kCamposVista) {
                                      mas_largo = std::max(mas_largo, (ficha.*campo).size());
                                  }
                                  return store::Paso::Seguir;
                              });
            const std::int64_t siguiente = store::SiguienteNumero();
            if (caso.fichas != SIZE_MAX) {
                EXPECT_EQ(fichas, caso.fichas);
                EXPECT_EQ(siguiente, caso.siguiente);
                EXPECT_EQ(mas_largo, caso.mas_largo);
            }
            store::Ficha ficha = prueba::Tarjeta({"after"});
            const store::Error error = store::GuardarFicha(ficha);
            EXPECT_FALSE(error) << error.causa;
        });
    }
}

} // namespace
