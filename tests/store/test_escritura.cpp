// Writing cards: the exact bytes of a line, numbering, and reading back.

#include "tests/soporte/fichas.h"

#include "store/archivos.h"
#include "store/guardar.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace std::string_literals;
using prueba::Contenido;
using prueba::Tarjeta;

namespace {

struct CasoLinea {
    const char* nombre;
    store::Ficha ficha;
    std::string linea;
};

const CasoLinea kLineas[] = {
    {"the example card", Tarjeta({"abc"}, 12),
     "12,\"abc\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"},
    {"all texts empty", Tarjeta({}, 7), "7,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"},
    {"the nine texts in file order", Tarjeta({"T", "A", "E", "F", "P", "C", "K", "M", "X"}, 3),
     "3,\"T\",\"A\",\"E\",\"F\",\"P\",\"C\",\"K\",\"M\",\"X\"\r\n"},
    {"commas stay as typed", Tarjeta({"a, b", ",", "", "", "", "", "", "", ",,"}, 1),
     "1,\"a, b\",\",\",\"\",\"\",\"\",\"\",\"\",\"\",\",,\"\r\n"},
    {"line breaks stay as typed", Tarjeta({"", "", "", "", "", "", "", "", "uno\r\ndos\r\n"}, 1),
     "1,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"uno\r\ndos\r\n\"\r\n"},
    {"double quotes are doubled",
     Tarjeta({"Dijo \"hola\"", "\"", "\"\"", "", "", "", "", "", "\"x"}, 1),
     "1,\"Dijo \"\"hola\"\"\",\"\"\"\",\"\"\"\"\"\",\"\",\"\",\"\",\"\",\"\",\"\"\"x\"\r\n"},
    {"Spanish letters as single Windows-1252 bytes",
     Tarjeta({"\xE1\xE9\xED\xF3\xFA", "\xF1\xFC", "\xBF\xA1", "", "", "", "", "", "\xD1"}, 10),
     "10,\"\xE1\xE9\xED\xF3\xFA\",\"\xF1\xFC\",\"\xBF\xA1\",\"\",\"\",\"\",\"\",\"\",\"\xD1\"\r\n"},
};

void PrintTo(const CasoLinea& caso, std::ostream* os) {
    *os << caso.nombre;
}

class Linea : public ::testing::TestWithParam<CasoLinea> {};

TEST_P(Linea, IsWrittenByteForByte) {
    EXPECT_EQ(store::Linea(GetParam().ficha), GetParam().linea);
}

INSTANTIATE_TEST_SUITE_P(Casos, Linea, ::testing::ValuesIn(kLineas), prueba::PorNombre());

using Guardar = prueba::EnCarpeta;

TEST_F(Guardar, ThreeCardsIntoAnEmptyDirectoryAreNumbered1To3) {
    for (std::int64_t esperado = 1; esperado <= 3; ++esperado) {
        store::Ficha ficha = Tarjeta({"t" + std::to_string(esperado)}, 77); // 77 is replaced
        const store::Error error = store::GuardarFicha(ficha);
        ASSERT_FALSE(error) << error.causa;
        EXPECT_EQ(ficha.Numero, esperado);
        if (esperado == 1) {
            EXPECT_EQ(Contenido(), "1,\"t1\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
        }
    }
    EXPECT_EQ(Contenido(), "1,\"t1\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                           "2,\"t2\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                           "3,\"t3\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

TEST_F(Guardar, EveryTextReadsBackAsTyped) {
    std::string todos_los_bytes;
    for (int b = 0; b < 256; ++b) {
        todos_los_bytes += static_cast<char>(b);
    }
    std::vector<store::Ficha> fichas;
    for (const CasoLinea& caso : kLineas) {
        fichas.push_back(caso.ficha);
    }
    fichas.push_back(Tarjeta({todos_los_bytes, "  blanks around  ", "\t", "\r", "\n", "\r\r\n\n",
                              "\"\"\"", "a\0b"s, "\"a, \"\r\n\"b\""}));
    fichas.push_back(Tarjeta({"", "", "", "", "", "", "", "", ""}));
    std::string esperado;
    for (std::size_t i = 0; i < fichas.size(); ++i) {
        store::Ficha ficha = fichas[i];
        ASSERT_FALSE(store::GuardarFicha(ficha));
        fichas[i].Numero = static_cast<std::int64_t>(i) + 1;
        EXPECT_EQ(ficha.Numero, fichas[i].Numero);
        esperado += store::Linea(fichas[i]);
    }
    EXPECT_EQ(Contenido(), esperado);
    const auto leidas = prueba::Todas();
    ASSERT_EQ(leidas.size(), fichas.size());
    for (std::size_t i = 0; i < fichas.size(); ++i) {
        EXPECT_EQ(leidas[i], prueba::Resumir(fichas[i])) << "card " << i + 1;
    }
    EXPECT_EQ(store::SiguienteNumero(), static_cast<std::int64_t>(fichas.size()) + 1);
}

// A last line without a line end must not swallow the new card.
struct CasoFinal {
    const char* nombre;
    std::string antes;
    std::string separador; // what the save puts before its line
    std::int64_t numero;
};

void PrintTo(const CasoFinal& caso, std::ostream* os) {
    *os << caso.nombre;
}

class FinalDelArchivo : public prueba::EnCarpeta,
                        public ::testing::WithParamInterface<CasoFinal> {};

TEST_P(FinalDelArchivo, TheNewCardStartsOnALineOfItsOwn) {
    const CasoFinal& caso = GetParam();
    prueba::Escribir(caso.antes);
    store::Ficha ficha = Tarjeta({"nueva"});
    ASSERT_FALSE(store::GuardarFicha(ficha));
    ASSERT_EQ(ficha.Numero, caso.numero);
    EXPECT_EQ(Contenido(), caso.antes + caso.separador + store::Linea(ficha));
    const auto fichas = prueba::Todas();
    ASSERT_FALSE(fichas.empty());
    EXPECT_EQ(fichas.back(), prueba::Resumir(ficha));
}

const std::string kSinFinal = "1,\"x\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"";

INSTANTIATE_TEST_SUITE_P(
    Casos, FinalDelArchivo,
    ::testing::Values(CasoFinal{"no line end", kSinFinal, "\r\n", 2},
                      CasoFinal{"blanks after the last item", kSinFinal + "  ", "\r\n", 2},
                      CasoFinal{"CR LF", kSinFinal + "\r\n", "", 2},
                      CasoFinal{"LF", kSinFinal + "\n", "", 2},
                      CasoFinal{"lone CR", kSinFinal + "\r", "", 2},
                      CasoFinal{"blank line at the end", kSinFinal + "\r\n\r\n", "", 2},
                      CasoFinal{"empty file", "", "", 1}),
    prueba::PorNombre());

// Counts the calls that matter for durability and for the single write.
struct Contador : store::Archivos {
    int escrituras = 0;
    int sincronizaciones = 0;
    int carpeta = -1;
    bool carpeta_sincronizada = false;
    int abrir(const char* nombre, int modo, mode_t permisos) override {
        const int fd = Archivos::abrir(nombre, modo, permisos);
        if ((modo & O_DIRECTORY) != 0) {
            carpeta = fd;
        }
        return fd;
    }
    ssize_t escribir(int fd, const void* datos, std::size_t largo) override {
        ++escrituras;
        return Archivos::escribir(fd, datos, largo);
    }
    int sincronizar(int fd) override {
        ++sincronizaciones;
        carpeta_sincronizada = carpeta_sincronizada || fd == carpeta;
        return Archivos::sincronizar(fd);
    }
};

TEST_F(Guardar, SyncsAfterOneWriteAndTheDirectoryWhenTheFileIsNew) {
    Contador nuevo;
    store::Ficha ficha = Tarjeta({"a"});
    ASSERT_FALSE(store::GuardarFichaCon(nuevo, ficha));
    EXPECT_EQ(nuevo.escrituras, 1);
    EXPECT_EQ(nuevo.sincronizaciones, 2);
    EXPECT_TRUE(nuevo.carpeta_sincronizada);

    prueba::Escribir(kSinFinal); // the missing line end goes in the same write
    Contador existente;
    ASSERT_FALSE(store::GuardarFichaCon(existente, ficha));
    EXPECT_EQ(existente.escrituras, 1);
    EXPECT_EQ(existente.sincronizaciones, 1);
    EXPECT_FALSE(existente.carpeta_sincronizada);
}

TEST_F(Guardar, ANewFileGetsTheUsualPermissions) {
    const mode_t antes = umask(027);
    store::Ficha ficha = Tarjeta({"a"});
    const store::Error error = store::GuardarFicha(ficha);
    umask(antes);
    ASSERT_FALSE(error);
    struct stat datos {};
    ASSERT_EQ(stat("fichas.dat", &datos), 0);
    EXPECT_TRUE(S_ISREG(datos.st_mode));
    EXPECT_EQ(datos.st_mode & 0777, 0640u);
}

TEST_F(Guardar, ADanglingLinkIsFollowedLikeAnyAppend) {
    ASSERT_EQ(symlink("otro.dat", "fichas.dat"), 0);
    store::Ficha ficha = Tarjeta({"a"});
    ASSERT_FALSE(store::GuardarFicha(ficha));
    EXPECT_EQ(ficha.Numero, 1);
    EXPECT_EQ(Contenido("otro.dat"), store::Linea(ficha));
}

} // namespace

namespace {

// Every text of `parte` is the start of the same text of `entera`.
bool EsPrincipio(const prueba::Resumen& parte, const prueba::Resumen& entera) {
    for (std::size_t i = 1; i < parte.size(); ++i) {
        if (!entera[i].starts_with(parte[i])) {
            return false;
        }
    }
    return true;
}

// A save killed halfway leaves part of its line. Whatever byte it stopped at,
// the next save makes that card whole and its own card reads back after it;
// not a byte already there changes.
TEST_F(Guardar, AfterACardCutShortAnywhereTheNextCardStandsOnItsOwn) {
    std::string previas;
    for (int n = 1; n <= 9; ++n) {
        previas += prueba::Fila(std::to_string(n));
    }
    const store::Ficha tarjetas[] = {
        Tarjeta({"Don \"Q\"", "Cervantes, M.", "", "1605", "", "", "", "", "a\r\nb"}, 10),
        Tarjeta({}, 11),
        Tarjeta({"\xC1rbol", "", "", "", "", "", "", "", "fin, y \"\""}, 12),
    };
    std::string completo;
    std::vector<std::size_t> inicios, finales; // each card's first byte; just past its last quote
    for (const store::Ficha& t : tarjetas) {
        inicios.push_back(completo.size());
        completo += store::Linea(t);
        finales.push_back(completo.size() - 2);
    }
    const store::Ficha nueva = Tarjeta({"nueva \"n\"", "", "", "", "", "", "", "", "x\r\ny"});
    for (std::size_t corte = 0; corte <= completo.size(); ++corte) {
        SCOPED_TRACE("cut at " + std::to_string(corte));
        const std::string antes = previas + completo.substr(0, corte);
        prueba::Escribir(antes);
        const auto enteras = static_cast<std::size_t>(std::count_if(
            finales.begin(), finales.end(), [&](std::size_t f) { return f <= corte; }));
        const bool cortada = enteras < 3 && corte > inicios[enteras];

        store::Ficha ficha = nueva;
        const store::Error error = store::GuardarFicha(ficha);
        ASSERT_FALSE(error) << error.causa;
        const std::string despues = Contenido();
        ASSERT_TRUE(despues.starts_with(antes)) << "bytes already in the file changed";
        ASSERT_TRUE(despues.ends_with(store::Linea(ficha)));

        const auto fichas = prueba::Todas();
        ASSERT_EQ(fichas.size(), 9 + enteras + (cortada ? 1 : 0) + 1);
        for (std::size_t i = 0; i < enteras; ++i) {
            EXPECT_EQ(fichas[9 + i], prueba::Resumir(tarjetas[i]));
        }
        if (cortada) {
            const auto& hecha = fichas[9 + enteras];
            EXPECT_EQ(hecha[0], std::to_string(10 + enteras)) << "the cut card keeps its number";
            EXPECT_TRUE(EsPrincipio(hecha, prueba::Resumir(tarjetas[enteras])))
                << ::testing::PrintToString(hecha);
        }
        EXPECT_EQ(ficha.Numero, static_cast<std::int64_t>(fichas.size()));
        EXPECT_EQ(fichas.back(), prueba::Resumir(ficha));
        EXPECT_EQ(store::SiguienteNumero(), ficha.Numero + 1);
    }
}

} // namespace
