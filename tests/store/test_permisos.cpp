// Permission failures for real: the tests run as root, who may write
// anywhere, so each case runs in a child that has become an unprivileged user.

#include "tests/soporte/fichas.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using prueba::Contenido;
using prueba::Fila;

namespace {

constexpr uid_t kNadie = 65534;

// Drops every privilege of this process for good.
void HacerseNadie() {
    if (getuid() != 0 && geteuid() != 0) {
        return; // already unprivileged
    }
    if (setgroups(0, nullptr) != 0 || setresgid(kNadie, kNadie, kNadie) != 0 ||
        setresuid(kNadie, kNadie, kNadie) != 0) {
        prueba::Saltar(std::string("cannot become an unprivileged user here: ") +
                       std::strerror(errno));
    }
}

struct Caso {
    const char* nombre;
    mode_t carpeta;                // the directory's mode
    std::optional<mode_t> archivo; // fichas.dat's mode; none: no file
};

void PrintTo(const Caso& caso, std::ostream* os) {
    *os << caso.nombre;
}

class Permisos : public prueba::EnCarpeta, public ::testing::WithParamInterface<Caso> {};

// Reading works where the user may read; saving fails with EACCES, tells why
// and leaves the directory as it was.
TEST_P(Permisos, ReadingWorksAndASaveFailsLeavingEverythingAsItWas) {
    const Caso& caso = GetParam();
    const std::string fichas = Fila("1") + Fila("2");
    if (caso.archivo) {
        prueba::Escribir(fichas);
        ASSERT_EQ(chmod("fichas.dat", *caso.archivo), 0);
    }
    ASSERT_EQ(chmod(".", caso.carpeta), 0);
    prueba::EnHijo([&] {
        HacerseNadie();
        const std::size_t cuantas = caso.archivo ? 2 : 0;
        EXPECT_EQ(prueba::Todas().size(), cuantas);
        EXPECT_EQ(store::SiguienteNumero(), static_cast<std::int64_t>(cuantas) + 1);
        store::Ficha ficha = prueba::Tarjeta({"typed"});
        const store::Error error = store::GuardarFicha(ficha);
        EXPECT_EQ(error.codigo, EACCES);
        EXPECT_EQ(error.causa, "No tiene permiso para escribir en fichas.dat.");
        EXPECT_EQ(prueba::Resumir(ficha), prueba::Resumir(prueba::Tarjeta({"typed"})));
    });
    chmod(".", 0700);
    if (caso.archivo) {
        EXPECT_EQ(Contenido(), fichas);
    }
    EXPECT_EQ(std::filesystem::exists("fichas.dat"), caso.archivo.has_value());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                            std::filesystem::directory_iterator()),
              caso.archivo ? 1 : 0)
        << "a save left a file behind";
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Permisos,
    ::testing::Values(Caso{"read-only file in a writable directory", 0777, 0444},
                      Caso{"read-only file in a read-only directory", 0555, 0444},
                      Caso{"no file in a read-only directory", 0555, std::nullopt},
                      Caso{"another user's file, not writable by others", 0755, 0644}),
    prueba::PorNombre());

} // namespace
