#pragma once
// The test support without Qt, for every test: a fresh working directory per
// test, fixture files, record lines, and cards turned into plain vectors that
// compare and print well. The widget side is in tests/soporte/ventanas.h.

#include "store/archivos.h"
#include "store/ficha.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace prueba {

// A fresh empty directory under /tmp, made the current one for the life of
// the object.
class DirTemporal {
  public:
    DirTemporal();
    ~DirTemporal();
    DirTemporal(const DirTemporal&) = delete;
    DirTemporal& operator=(const DirTemporal&) = delete;
    const std::string& ruta() const { return ruta_; }

  private:
    std::string ruta_;
    std::filesystem::path anterior_;
};

// A test fixture that runs each test in its own DirTemporal.
class EnCarpeta : public ::testing::Test {
  private:
    DirTemporal carpeta_;
};

// Writes or reads a whole file of the current directory, the record file unless
// another is named.
void Escribir(std::string_view bytes, const std::filesystem::path& nombre = "fichas.dat");
std::string Contenido(const std::filesystem::path& nombre = "fichas.dat");

// A card as its number (in decimal) and its nine texts.
using Resumen = std::vector<std::string>;
Resumen Resumir(const store::Ficha& ficha);
Resumen Resumir(const store::VistaFicha& ficha);
// Builds the summary of a card; missing texts are empty.
Resumen R(std::int64_t numero, std::vector<std::string> textos = {});

// A line as the program writes it, with the number given as raw text, a title
// and eight empty texts. Written out here, not with store::Linea, so that tests
// of what the program writes do not check the line format against itself.
std::string Fila(std::string_view numero, std::string_view titulo = "x");

// Every card of a pass, with the limit of the full list.
std::vector<Resumen> Todas();
std::vector<Resumen> TodasDe(std::string_view datos);

store::Ficha Tarjeta(std::vector<std::string> textos, std::int64_t numero = 0);

// The real calls, with every write cut to one page, as a kernel may cut it
// when a signal comes, and a pause after each piece, as on a slow disk: the
// save carries on with the rest, so for a while the file holds part of a line.
struct ATrozos : store::Archivos {
    std::chrono::microseconds pausa{0};
    ssize_t escribir(int fd, const void* datos, std::size_t largo) override;
};

// Runs `cuerpo` in a forked child, for what a test must not do to its own
// process (change its user, its mounts, its memory limit). The child's
// expectations count as the test's. Inside, Saltar ends the child and the
// test is skipped with the reason; EnHijo then returns false.
bool EnHijo(const std::function<void()>& cuerpo);
[[noreturn]] void Saltar(const std::string& motivo);

// Names a parameterised case after its `nombre`, as a test name allows.
struct PorNombre {
    template <class Caso> std::string operator()(const ::testing::TestParamInfo<Caso>& info) const {
        std::string nombre = std::to_string(info.index) + "_";
        for (const char* c = info.param.nombre; *c != '\0'; ++c) {
            const bool letra =
                (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
            nombre += letra ? *c : '_';
        }
        return nombre;
    }
};

} // namespace prueba
